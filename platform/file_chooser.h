#pragma once
#include <optional>
#include <string>
#include <vector>

namespace velmora::platform {

// The open-file dialog: returns the chosen full path, or nothing on Cancel.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    virtual std::optional<std::string> chooseOpenFile(const std::string& title,
                                                      const std::string& initialName,
                                                      const std::string& defaultExtension) = 0;
};

// Answers with a scripted path (or Cancel) and keeps the arguments it was
// opened with; used by tests.
class ScriptedFileChooser : public FileChooser {
public:
    std::optional<std::string> chooseOpenFile(const std::string& title, const std::string& initialName,
                                              const std::string& defaultExtension) override {
        calls.push_back(title + "|" + initialName + "|" + defaultExtension);
        return answer;
    }
    std::optional<std::string> answer;
    std::vector<std::string> calls;
};

}  // namespace velmora::platform
