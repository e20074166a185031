#pragma once
#include <string>
#include <string_view>

namespace velmora::platform {

// The two ways to the monitor: the interface board on a parallel port, or
// a graphics card's display data channel through i2c-dev.
enum class PortKind { Jig, DisplayChannel, Unknown };

struct PortChoice {
    PortKind kind = PortKind::Unknown;
    std::string device;  // the node to open
};

inline constexpr unsigned kI2cDevMajor = 89;  // i2c-dev character devices
inline constexpr unsigned kPpdevMajor = 99;   // ppdev character devices

// What --port names: an existing character node by its major number; a
// missing node, or a bare name, by its name (i2c-N, parportN; a bare name
// is looked for in /dev); a DRM connector's name ("VGA-1", "DVI-I-1") by the
// display channel that serves it, as sysfs under `sysfsRoot` says. Anything
// else is Unknown.
PortChoice choosePort(std::string_view text, const std::string& sysfsRoot = "/sys");

std::string_view portKindName(PortKind kind);

}  // namespace velmora::platform
