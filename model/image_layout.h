#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>

// Byte values of the model image: chunk identifiers, command opcodes and the
// item kinds of the item table. The model files name the same values through
// the built-in names (__KEY, __SETVCP_UP, _GD_SAVE_, ...).
namespace velmora::model {

namespace chunk {
inline constexpr std::uint8_t Name = 0x01;
inline constexpr std::uint8_t Page = 0x02;
inline constexpr std::uint8_t StandardGeometry = 0x03;
inline constexpr std::uint8_t StandardColor = 0x04;
inline constexpr std::uint8_t AllGeometry = 0x05;
inline constexpr std::uint8_t AllColor = 0x06;
inline constexpr std::uint8_t Vcp = 0x07;
inline constexpr std::uint8_t Key = 0x08;
}  // namespace chunk

namespace opcode {
inline constexpr std::uint8_t SetVcp = 0x20;
inline constexpr std::uint8_t SetVcpUp = 0x21;
inline constexpr std::uint8_t SetVcpDown = 0x22;
inline constexpr std::uint8_t SetReply = 0x23;
inline constexpr std::uint8_t SetVcpOnly = 0x24;
inline constexpr std::uint8_t Delay = 0x25;
inline constexpr std::uint8_t Sound = 0x26;
inline constexpr std::uint8_t UserTable = 0x27;
inline constexpr std::uint8_t UserTableS = 0x28;
inline constexpr std::uint8_t TestVcp = 0x29;
inline constexpr std::uint8_t TestColor = 0x2A;
inline constexpr std::uint8_t SetOnly = 0x2B;
inline constexpr std::uint8_t ModeSave = 0x81;
inline constexpr std::uint8_t UserDelete2 = 0x82;
inline constexpr std::uint8_t StandardColorDump = 0x83;
inline constexpr std::uint8_t AllColorSave = 0x84;
inline constexpr std::uint8_t StandardModeDump = 0x85;
inline constexpr std::uint8_t ColorSave = 0x86;
inline constexpr std::uint8_t AllModeSave = 0x87;
inline constexpr std::uint8_t UserDelete = 0x89;
inline constexpr std::uint8_t Channel1 = 0x93;
inline constexpr std::uint8_t Channel2 = 0x94;
inline constexpr std::uint8_t Channel3 = 0x95;
inline constexpr std::uint8_t Channel4 = 0x96;
inline constexpr std::uint8_t Degauss = 0xA1;
inline constexpr std::uint8_t ShiftKey = 0xF0;
}  // namespace opcode

// The factory functions: commands without operands that RUN carries out,
// each with a display name of its own.
constexpr bool isFunctionOpcode(std::uint8_t code) {
    switch (code) {
    case opcode::ModeSave:
    case opcode::UserDelete2:
    case opcode::StandardColorDump:
    case opcode::AllColorSave:
    case opcode::StandardModeDump:
    case opcode::ColorSave:
    case opcode::AllModeSave:
    case opcode::UserDelete:
    case opcode::Channel1:
    case opcode::Channel2:
    case opcode::Channel3:
    case opcode::Channel4:
    case opcode::Degauss:
        return true;
    default:
        return false;
    }
}

// The bytes a script command with operands takes in the image, its opcode
// included; `operand(i)` reads the i-th byte after the opcode (the counts of
// the variable-length commands sit there). Nothing for a command without
// operands or an unknown opcode.
template <class OperandReader>
constexpr std::optional<std::size_t> commandBytes(std::uint8_t code, OperandReader operand) {
    switch (code) {
    case opcode::SetVcp:
    case opcode::SetVcpOnly:
    case opcode::Delay:
        return 3;
    case opcode::SetVcpUp:
    case opcode::SetVcpDown:
    case opcode::TestColor:
        return 2;
    case opcode::SetReply:
    case opcode::SetOnly:
        return 2 + (operand(0) & 0x7F);
    case opcode::UserTable:
    case opcode::UserTableS:
        return 4 + (operand(1) & 0x7F);
    case opcode::TestVcp:
        return 4 + (operand(2) & 0x7F);
    default:
        return std::nullopt;
    }
}

// `kind` values of the item table besides the function opcodes.
namespace item_kind {
inline constexpr std::int16_t None = 0;
inline constexpr std::int16_t VcpUp = 0x21;
inline constexpr std::int16_t VcpDown = 0x22;
inline constexpr std::int16_t Script = 0xFE;
inline constexpr std::int16_t ServiceKey = 0xFD;
inline constexpr std::int16_t ServiceVcp = 0xFC;  // FC - k for memory type k
}  // namespace item_kind

// Flags of the name reference of script items.
namespace name_ref {
inline constexpr std::uint16_t ImageText = 0x8000;  // bits 0..13: position of the text
inline constexpr std::uint16_t KeyName = 0x4000;    // low byte: keyNames row
inline constexpr std::uint16_t PositionMask = 0x3FFF;
inline constexpr std::uint16_t Unnamed = 0x3FFF;    // __DELAY and __SOUND have no name
}  // namespace name_ref

inline constexpr std::uint8_t kItemListEnd = 0xFF;

// Service keys and service items share the even codes 88h..BEh of page 3.
inline constexpr std::uint8_t kFirstServiceSlot = 0x88;
inline constexpr std::uint8_t kLastServiceSlot = 0xBE;

}  // namespace velmora::model
