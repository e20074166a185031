#pragma once
#include <cstdint>
#include <optional>

#include "link/monitor_link.h"

namespace velmora::tools {

// A VCP value with the full 16 bits a Get VCP reply carries (the jig's
// requests keep the low bytes only), and the reply's type byte (0 set
// parameter, 1 momentary).
struct WideVcpReading {
    std::uint16_t current = 0;
    std::uint16_t maximum = 0;
    std::uint8_t type = 0;
};

// Get VCP of `code` through `link`: the same request the interpreter sends,
// the reply read whole. Nothing when there is no reply, it is too short,
// not a VCP reply for `code`, or the monitor does not support the code.
std::optional<WideVcpReading> readWideVcp(link::MonitorLink& link, std::uint8_t code);

// Set VCP of `code` to a 16-bit value, high byte first; no reply.
[[nodiscard]] bool setWideVcp(link::MonitorLink& link, std::uint8_t code, std::uint16_t value);

}  // namespace velmora::tools
