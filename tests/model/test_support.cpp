#include "test_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace velmora::model::testing {

std::string modelText(std::initializer_list<std::string_view> lines) {
    std::string text;
    for (std::string_view line : lines) {
        text += line;
        text += '\n';
    }
    text += "        end\n";
    return text;
}

std::unique_ptr<ModelDescription> compileText(std::string_view text) {
    auto model = std::make_unique<ModelDescription>();
    model->compileText(text);
    return model;
}

std::unique_ptr<ModelDescription> compileLines(std::initializer_list<std::string_view> lines) {
    return compileText(modelText(lines));
}

std::vector<std::uint8_t> imageBytes(const ModelDescription& model) {
    return {model.modelImage.begin(), model.modelImage.begin() + static_cast<long>(model.imageLength())};
}

std::vector<std::string> errorLines(const ModelDescription& model) {
    std::vector<std::string> lines;
    std::istringstream stream(model.errorText);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

TemporaryDirectory::TemporaryDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "velmora-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern + "/";
}

TemporaryDirectory::~TemporaryDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void TemporaryDirectory::write(const std::string& name, std::string_view contents) const {
    std::ofstream file(path_ + name, std::ios::binary);
    file << contents;
}

}  // namespace velmora::model::testing
