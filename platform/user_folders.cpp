#include "platform/user_folders.h"

#include <cstdlib>

namespace velmora::platform {

std::string userDataHome() {
    // A relative XDG_DATA_HOME is invalid and ignored, as the XDG base
    // directory rules say.
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && dataHome[0] == '/') return dataHome;
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return std::string(home) + "/.local/share";
    return {};
}

std::string userConfigHome() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome != nullptr && configHome[0] == '/') return configHome;
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return std::string(home) + "/.config";
    return {};
}

}  // namespace velmora::platform
