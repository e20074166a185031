#include "platform/port_choice.h"

#include "platform/display_adapters.h"

#include <algorithm>
#include <cctype>
#include <string>

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace velmora::platform {

namespace {

bool hasNumberedName(std::string_view name, std::string_view prefix) {
    if (!name.starts_with(prefix) || name.size() == prefix.size()) return false;
    const std::string_view digits = name.substr(prefix.size());
    return std::all_of(digits.begin(), digits.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
}

}  // namespace

PortChoice choosePort(std::string_view text, const std::string& sysfsRoot) {
    if (text.empty()) return {};
    const bool bareName = text.find('/') == std::string_view::npos;
    std::string device = bareName ? "/dev/" + std::string(text) : std::string(text);
    struct stat status {};
    if (::stat(device.c_str(), &status) == 0) {
        if (!S_ISCHR(status.st_mode)) return {PortKind::Unknown, device};
        const unsigned majorNumber = major(status.st_rdev);
        if (majorNumber == kI2cDevMajor) return {PortKind::DisplayChannel, device};
        if (majorNumber == kPpdevMajor) return {PortKind::Jig, device};
        return {PortKind::Unknown, device};
    }
    const std::size_t slash = device.rfind('/');
    const std::string_view name = std::string_view(device).substr(slash + 1);
    if (hasNumberedName(name, "i2c-")) return {PortKind::DisplayChannel, device};
    if (hasNumberedName(name, "parport")) return {PortKind::Jig, device};
    if (bareName) {
        if (const auto adapter = adapterOfConnector(text, sysfsRoot)) {
            return {PortKind::DisplayChannel, "/dev/i2c-" + std::to_string(*adapter)};
        }
    }
    return {PortKind::Unknown, device};
}

std::string_view portKindName(PortKind kind) {
    switch (kind) {
    case PortKind::Jig: return "parallel port (interface board)";
    case PortKind::DisplayChannel: return "display channel (i2c-dev)";
    case PortKind::Unknown: return "unknown";
    }
    return "unknown";
}

}  // namespace velmora::platform
