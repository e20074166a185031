#pragma once
#include <cstdint>

namespace velmora::link {

// How the jig connects the bus to the port: a set data bit makes the board
// pull its line low (open collector); the status bit reads the line's real
// level, set when high.
enum class BusLine : std::uint8_t { Scl, Sda };

struct LineWiring {
    BusLine line;
    std::uint8_t dataMask;    // data register 0x378
    std::uint8_t statusMask;  // status register 0x379
};

inline constexpr LineWiring kJigWiring[] = {
    {BusLine::Scl, 0x08, 0x08},
    {BusLine::Sda, 0x80, 0x80},
};

constexpr const LineWiring& wiringOf(BusLine line) {
    return kJigWiring[static_cast<std::uint8_t>(line)];
}

inline constexpr std::uint8_t kSclData = wiringOf(BusLine::Scl).dataMask;
inline constexpr std::uint8_t kSdaData = wiringOf(BusLine::Sda).dataMask;
inline constexpr std::uint8_t kSclStatus = wiringOf(BusLine::Scl).statusMask;
inline constexpr std::uint8_t kSdaStatus = wiringOf(BusLine::Sda).statusMask;

}  // namespace velmora::link
