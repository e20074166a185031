#pragma once
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/display_adapters.h"
#include "platform/i2c_kernel.h"

namespace velmora::console {

// A graphics card's display channel where a monitor answers: what the
// console offers when it was started without --port and the interface
// board's parallel port cannot be had.
struct ChannelOffer {
    std::string device;     // /dev/i2c-N
    std::string connector;  // "DVI-I-1", empty when sysfs names none
    std::string monitor;    // the EDID's monitor name, or its manufacturer and product code
};

// The display channels among `adapters` whose EDID answers at 0x50, in
// order. Only graphics cards' channels are opened (the adapter is asked for
// plain I2C first); nothing but the EDID is read. `devices` is where the
// i2c-N nodes are (/dev).
std::vector<ChannelOffer> findAnsweringChannels(std::span<const platform::I2cAdapterInfo> adapters,
                                                platform::I2cKernel& kernel, platform::Clock& clock,
                                                const std::string& devices = "/dev");

// "Use the display channel /dev/i2c-3 (DVI-I-1), where VELMORA CRT answers?"
std::string offerQuestion(const ChannelOffer& offer, const std::string& jigPort);

// The channel the technician chose last time, kept in
// `configHome`/velmora-jig/port (a node or a connector name): read, or
// nothing when none was kept; written whole, false when it cannot be.
std::optional<std::string> rememberedPort(const std::string& configHome);
bool rememberPort(const std::string& configHome, const std::string& port);

}  // namespace velmora::console
