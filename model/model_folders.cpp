#include "model/model_folders.h"

#include <filesystem>
#include <utility>

#include "platform/files.h"

namespace velmora::model {

namespace {

std::string asFolder(std::string path) {
    path = std::filesystem::path(path).lexically_normal().string();
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

}  // namespace

ModelFolders::ModelFolders(std::string directory) : programDirectory(std::move(directory)) {
    searchOrder.push_back(programDirectory);
}

ModelFolders::ModelFolders(std::string directory, std::vector<std::string> furtherFolders)
    : ModelFolders(std::move(directory)) {
    for (std::string& folder : furtherFolders) searchOrder.push_back(std::move(folder));
}

ModelFolders programModelFolders(const std::string& programDirectory, const std::string& userDataHome) {
    std::vector<std::string> further{asFolder(programDirectory + std::string(kInstalledModelFolder))};
    if (!userDataHome.empty()) further.push_back(asFolder(userDataHome + "/" + std::string(kUserModelFolder)));
    return ModelFolders(programDirectory, std::move(further));
}

std::optional<std::string> firstFolderWithModels(const ModelFolders& folders) {
    for (const std::string& folder : folders.searchOrder) {
        if (!platform::listFilesWithExtension(folder, ".mdl").empty()) return folder;
    }
    return std::nullopt;
}

std::optional<std::string> findModelFile(const std::string& nameOrPath, const ModelFolders& folders) {
    if (nameOrPath.empty()) return std::nullopt;
    std::error_code error;
    if (nameOrPath.find('/') != std::string::npos || std::filesystem::is_regular_file(nameOrPath, error)) {
        return nameOrPath;
    }
    const std::string withExtension = nameOrPath + ".mdl";
    for (const std::string& folder : folders.searchOrder) {
        const auto files = platform::listFilesWithExtension(folder, ".mdl");
        // An exact name wins over one that differs only in case.
        for (const std::string& wanted : {nameOrPath, withExtension}) {
            for (const std::string& file : files) {
                if (file == wanted) return folder + file;
            }
        }
        for (const std::string& file : files) {
            if (sameIgnoringCase(file, nameOrPath) || sameIgnoringCase(file, withExtension)) return folder + file;
        }
    }
    return std::nullopt;
}

}  // namespace velmora::model
