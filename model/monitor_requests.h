#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

// The request vocabulary the program speaks to the monitor's
// microcontroller: the payload bytes of each request, how long the monitor
// is given before its reply is read (the reply argument of
// MonitorLink::transact, in milliseconds; 0 reads no reply) and the fixed
// waits between the steps of the built-in functions.
namespace velmora::model::request {

// --- waits before a reply is read ---
inline constexpr std::int32_t kNoReply = 0;
inline constexpr std::int32_t kReadVcpWaitMs = 30;
inline constexpr std::int32_t kServiceWaitMs = 1000;
inline constexpr std::int32_t kTableWaitMs = 100;
inline constexpr std::int32_t kMemoryWaitMs = 20;
inline constexpr std::int32_t kOnTimeWaitMs = 100;  // the monitor looks its count up

// --- waits between steps ---
inline constexpr std::int32_t kSettleWaitMs = 30;         // after a Set VCP that is read back
inline constexpr std::int32_t kStepWaitMs = 10;           // between the steps of a dump, a table, a colour test
inline constexpr std::int32_t kUserDeleteWaitMs = 100;    // USER DELETE2 before brightness is read back
inline constexpr std::int32_t kScriptDelayUnitMs = 10;    // __TESTVCP and __TESTCOLOR count in tens of ms

// --- VCP requests ---
inline constexpr std::uint8_t kGetVcp = 0x01;
inline constexpr std::uint8_t kGetVcpReply = 0x02;
inline constexpr std::uint8_t kSetVcp = 0x03;
inline constexpr std::uint8_t kNoVcp = 0xFF;  // a script's VCP code for "no control"

// --- service commands and their results ---
inline constexpr std::uint8_t kServiceFailed = 0xEE;  // reply byte 4 of a refused command
inline constexpr std::uint8_t kModeSaveOld = 0x0C;
inline constexpr std::uint8_t kModeSave = 0x58;
inline constexpr std::uint8_t kUserDelete = 0x50;
inline constexpr std::uint8_t kColorSave = 0x7D;
inline constexpr std::uint8_t kChannelOneOld = 0x7B;  // channels 2..4 count down by two

// --- controls the built-in functions set ---
inline constexpr std::uint8_t kBrightness = 0x10;
inline constexpr std::uint8_t kColorChannel = 0x14;
inline constexpr std::uint8_t kDegaussStep1 = 0x01;
inline constexpr std::uint8_t kDegaussStep2 = 0x00;
// __TESTCOLOR's controls: blue, green, red cut-off, then blue, green, red gain.
inline constexpr std::array<std::uint8_t, 6> kTestColors{0x70, 0x6E, 0x6C, 0x1A, 0x18, 0x16};

// --- table requests ---
inline constexpr std::uint8_t kTableRequest = 0x52;
inline constexpr std::uint8_t kTableReplyOpcode = 0x53;
inline constexpr std::uint8_t kUserTableOpcode = 0xC0;
inline constexpr std::uint8_t kUserTableSubCode = 0x07;

// --- one-byte memory access ---
inline constexpr std::uint8_t kMemoryReadByPage = 0xC1;
inline constexpr std::uint8_t kMemoryWriteByPage = 0xC0;
inline constexpr std::uint8_t kMemorySubCode = 0x09;
inline constexpr std::uint8_t kMemorySubCodeBlock = 0x89;
inline constexpr std::uint8_t kMemoryReadByDevice = 0x60;
inline constexpr std::uint8_t kMemoryWriteByDevice = 0x62;
inline constexpr std::uint8_t kEepromDevice = 0xA0;
inline constexpr std::size_t kMemoryReplyByte = 4;  // payload position of the byte read

// --- the picture tube's on-time ---
inline constexpr std::uint8_t kOnTimeRequest = 0xC0;
inline constexpr std::uint8_t kOnTimeReply = 0xC1;
inline constexpr std::uint8_t kOnTimeSubCode = 0x0B;
inline constexpr std::size_t kOnTimeCountFirst = 2;  // payload position of the count, high byte first

// Payload positions in a Get VCP reply: the VCP code, and the low bytes of
// the 16-bit maximum and present value (high byte first).
inline constexpr std::size_t kVcpReplyCode = 2;
inline constexpr std::size_t kVcpReplyMaximumLow = 5;
inline constexpr std::size_t kVcpReplyCurrentLow = 7;

// Payload bytes a reply must carry to be read: opcode, result, VCP code,
// type, maximum (2), current (2); opcode and result (the byte that says
// EEh for a refused command or echoes a table's mode); opcode, sub-code
// or count, page or device, address, the byte read; and C1 0B with the
// three bytes of the on-time count.
inline constexpr std::size_t kVcpReplyPayload = 8;
inline constexpr std::size_t kResultReplyPayload = 2;
inline constexpr std::size_t kMemoryReplyPayload = 5;
inline constexpr std::size_t kOnTimeReplyPayload = 5;

}  // namespace velmora::model::request
