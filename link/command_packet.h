#pragma once
#include <cstddef>
#include <cstdint>
#include <span>

namespace velmora::link {

// DDC2Bi command packets: destination, source, 0x80 | payload length,
// payload, XOR checksum over everything before it.
inline constexpr std::uint8_t kMonitorAddress = 0x6E;      // write; 0x6F reads
inline constexpr std::uint8_t kHostAddress = 0x50;         // the PC as receiver
inline constexpr std::uint8_t kHostAddressMasterRead = 0x51;
inline constexpr std::uint8_t kLengthFlag = 0x80;
inline constexpr std::size_t kHeaderBytes = 3;             // destination, source, length
inline constexpr std::size_t kReplyBufferSize = 1000;

// Payload length carried by a length byte: only the low 7 bits count.
constexpr std::size_t payloadLength(std::uint8_t lengthByte) { return lengthByte & 0x7F; }

// Bytes a request array needs for its length byte: header, payload, checksum.
constexpr std::size_t requestSize(std::uint8_t lengthByte) {
    return kHeaderBytes + payloadLength(lengthByte) + 1;
}

// XOR of all bytes.
std::uint8_t xorChecksum(std::span<const std::uint8_t> bytes);

// The VCP control that only write-enabled mode may set (and that the
// console never lists).
inline constexpr std::uint8_t kProtectedVcp = 0xE6;

// Requests that change the monitor's memory, mode tables or protected
// controls: sent only in write-enabled mode. `payload` is the request's
// payload (opcode first); a payload too short to carry a sub-code is judged
// on what it has.
//   opcode 0x62 (memory write by device), whatever follows;
//   opcode 0xC0 with a sub-code other than 0x0B (0x0B reads the on-time);
//   opcode 0x03 (Set VCP) of VCP code 0xE6.
bool isProtectedPayload(std::span<const std::uint8_t> payload);

// Whether a whole request (destination, source, length byte, payload...)
// carries a protected payload, reading no further than the request holds.
bool isProtectedRequest(std::span<const std::uint8_t> request);

}  // namespace velmora::link
