#pragma once
#include <cstddef>
#include <cstdint>
#include <span>

namespace velmora::bench {

// The command packets as the simulated monitor reads them off the wire,
// stated here apart from the link's encoder so that the two check each
// other: destination, source, 0x80 | payload length, payload, and a checksum
// that makes the XOR of every byte of the packet 0.
inline constexpr std::uint8_t kMonitorWriteAddress = 0x6E;  // requests
inline constexpr std::uint8_t kMonitorReadAddress = 0x6F;   // replies read by the PC
inline constexpr std::uint8_t kPcAddress = 0x50;            // the PC as receiver; replies go to it
inline constexpr std::uint8_t kPcMasterReadSource = 0x51;   // source of a request whose reply the PC reads
inline constexpr std::uint8_t kLengthFlag = 0x80;           // always set in the length byte
inline constexpr std::uint8_t kLengthBits = 0x7F;           // the payload length

constexpr std::size_t packetPayloadLength(std::uint8_t lengthByte) { return lengthByte & kLengthBits; }

// XOR of the bytes, starting from 0.
constexpr std::uint8_t packetChecksum(std::span<const std::uint8_t> bytes) {
    std::uint8_t sum = 0;
    for (std::uint8_t byte : bytes) sum = static_cast<std::uint8_t>(sum ^ byte);
    return sum;
}

}  // namespace velmora::bench
