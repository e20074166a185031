#pragma once
#include <optional>
#include <string>

namespace velmora::platform {

// The open-file dialog: returns the chosen full path, or nothing on Cancel.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    virtual std::optional<std::string> chooseOpenFile(const std::string& title,
                                                      const std::string& initialName,
                                                      const std::string& defaultExtension) = 0;
};

}  // namespace velmora::platform
