// Runs the annotated model files in cases/. Beside a line, "; => 41 42 00"
// gives the bytes that line emits; all of them in file order are the whole
// expected image. A comment line "; error: TEXT" gives the next expected
// line of the error report (trailing blanks not compared).
#include <filesystem>
#include <sstream>

#include <gtest/gtest.h>

#include "test_support.h"

namespace velmora::model::testing {
namespace {

struct Expectations {
    std::vector<std::uint8_t> image;
    std::vector<std::string> errors;
};

std::string trimRight(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\r')) text.pop_back();
    return text;
}

Expectations readExpectations(const std::string& text) {
    Expectations expected;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (const auto bytes = line.find("; =>"); bytes != std::string::npos) {
            std::istringstream hex(line.substr(bytes + 4));
            for (std::string byte; hex >> byte;) {
                expected.image.push_back(static_cast<std::uint8_t>(std::stoul(byte, nullptr, 16)));
            }
        }
        if (const auto error = line.find("; error:"); error != std::string::npos) {
            std::string message = line.substr(error + 8);
            if (!message.empty() && message.front() == ' ') message.erase(0, 1);
            expected.errors.push_back(trimRight(message));
        }
    }
    return expected;
}

std::vector<std::string> caseFiles() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(VELMORA_MODEL_CASES_DIR)) {
        if (entry.path().extension() == ".mdl") names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class AnnotatedModel : public ::testing::TestWithParam<std::string> {};

TEST_P(AnnotatedModel, EmitsTheAnnotatedBytesAndErrors) {
    const std::string text = readFile(VELMORA_MODEL_CASES_DIR + GetParam());
    ASSERT_FALSE(text.empty()) << GetParam();
    const Expectations expected = readExpectations(text);
    const auto model = compileText(text);

    EXPECT_EQ(imageBytes(*model), expected.image) << GetParam();
    std::vector<std::string> errors;
    for (const std::string& line : errorLines(*model)) errors.push_back(trimRight(line));
    EXPECT_EQ(errors, expected.errors) << GetParam() << "\n" << model->errorText;
    EXPECT_EQ(model->errorFlag, !expected.errors.empty()) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Cases, AnnotatedModel, ::testing::ValuesIn(caseFiles()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param.substr(0, info.param.find('.'));
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             }
                             return name;
                         });

}  // namespace
}  // namespace velmora::model::testing
