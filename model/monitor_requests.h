#pragma once
#include <cstddef>
#include <cstdint>

// The request vocabulary the feature interpreter speaks to the monitor's
// microcontroller: reply arguments (how long the monitor is given before its
// reply is read, 0 for no reply) and the payload bytes of each request.
namespace velmora::model::request {

inline constexpr std::int32_t kReadVcpReply = 30;
inline constexpr std::int32_t kNoReply = 0;
inline constexpr std::int32_t kServiceReply = 1000;
inline constexpr std::int32_t kTableReply = 100;
inline constexpr std::int32_t kMemoryReply = 20;

inline constexpr std::uint8_t kGetVcp = 0x01;
inline constexpr std::uint8_t kGetVcpReply = 0x02;
inline constexpr std::uint8_t kSetVcp = 0x03;
inline constexpr std::uint8_t kServiceFailed = 0xEE;  // reply byte 4 of a refused command
inline constexpr std::uint8_t kTableRequest = 0x52;
inline constexpr std::uint8_t kTableReplyOpcode = 0x53;
inline constexpr std::uint8_t kUserTableOpcode = 0xC0;
inline constexpr std::uint8_t kUserTableSubCode = 0x07;

inline constexpr std::uint8_t kMemoryReadByPage = 0xC1;
inline constexpr std::uint8_t kMemoryWriteByPage = 0xC0;
inline constexpr std::uint8_t kMemorySubCode = 0x09;
inline constexpr std::uint8_t kMemorySubCodeBlock = 0x89;
inline constexpr std::uint8_t kMemoryReadByDevice = 0x60;
inline constexpr std::uint8_t kMemoryWriteByDevice = 0x62;
inline constexpr std::uint8_t kEepromDevice = 0xA0;
inline constexpr std::size_t kMemoryReplyByte = 4;  // payload position of the byte read

// Payload positions in a Get VCP reply: the VCP code, and the low bytes of
// the 16-bit maximum and present value (high byte first).
inline constexpr std::size_t kVcpReplyCode = 2;
inline constexpr std::size_t kVcpReplyMaximumLow = 5;
inline constexpr std::size_t kVcpReplyCurrentLow = 7;

// Payload bytes a reply must carry to be read: opcode, result, VCP code,
// type, maximum (2), current (2); opcode and result (the byte that says
// EEh for a refused command or echoes a table's mode); and opcode, sub-code
// or count, page or device, address, the byte read.
inline constexpr std::size_t kVcpReplyPayload = 8;
inline constexpr std::size_t kResultReplyPayload = 2;
inline constexpr std::size_t kMemoryReplyPayload = 5;

}  // namespace velmora::model::request
