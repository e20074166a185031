#pragma once
#include <cstdint>

namespace velmora::bench {

// The interface board's wiring as the simulation reads the hardware, kept
// apart from the link's own table on purpose: the bench is the second
// witness, so a wrong bit on either side makes the two disagree and shows in
// the tests instead of being mirrored.
//
// Data register 0x378, pins D0..D7 = bits 0..7. The board's open-collector
// drivers hang on D3 (pin 5) for SCL and on D7 (pin 9) for SDA; a set bit
// switches the driver on and pulls its line low.
inline constexpr std::uint8_t kSclDriveBit = 1u << 3;
inline constexpr std::uint8_t kSdaDriveBit = 1u << 7;

// Status register 0x379: bit 3 is the Error input (pin 15), bit 7 the Busy
// input (pin 11). The port itself inverts Busy on its way into the register,
// so the board feeds pin 11 with SDA through an inverter; both sense bits
// then read 1 for a high line.
inline constexpr std::uint8_t kSclSenseBit = 1u << 3;
inline constexpr std::uint8_t kSdaSenseBit = 1u << 7;
inline constexpr std::uint8_t kPortInvertedStatusBits = 1u << 7;  // Busy

// Status inputs the board leaves open float high on the port's pull-ups
// (and reserved bits 0-2 read 1): every pin but the two sense pins.
inline constexpr std::uint8_t kOpenStatusPins = static_cast<std::uint8_t>(~(kSclSenseBit | kSdaSenseBit));

// The status register for the levels on the status pins (bit set = pin high).
constexpr std::uint8_t statusRegister(std::uint8_t pins) {
    return static_cast<std::uint8_t>(pins ^ kPortInvertedStatusBits);
}

// Pins with the board on the port, for the two line levels (true = high).
constexpr std::uint8_t statusPinsWithBoard(bool scl, bool sda) {
    return static_cast<std::uint8_t>(kOpenStatusPins | (scl ? kSclSenseBit : 0) | (sda ? 0 : kSdaSenseBit));
}

// Without the board every status pin floats high.
inline constexpr std::uint8_t kStatusPinsWithoutBoard = 0xFF;

}  // namespace velmora::bench
