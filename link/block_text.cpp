#include "link/block_text.h"

#include <cstdio>

namespace velmora::link {

namespace {

constexpr std::string_view kLineBreak = "\r\n";

// Every cell of the grid, `byteAt` giving the byte at an address (nothing:
// not read); a line break after the last row when asked.
template <typename ByteAt>
std::string gridText(ByteAt byteAt, bool lineBreakAfterLast) {
    std::string text;
    text.reserve(kGridRows * (kGridCellsPerRow * kGridCellWidth + kLineBreak.size()));
    for (int row = 0; row < kGridRows; ++row) {
        for (int column = 0; column < kGridCellsPerRow; ++column) {
            text += gridCell(byteAt(static_cast<std::size_t>(row * kGridCellsPerRow + column)));
        }
        if (row + 1 < kGridRows || lineBreakAfterLast) text += kLineBreak;
    }
    return text;
}

}  // namespace

std::string gridCell(std::optional<std::uint8_t> byte) {
    if (!byte) return "XX ";
    char cell[4];
    std::snprintf(cell, sizeof cell, "%02X ", *byte);
    return cell;
}

std::string blockRowsText(std::span<const std::uint8_t, kEepromBlockBytes> block) {
    return gridText([block](std::size_t address) { return std::optional<std::uint8_t>(block[address]); }, true);
}

std::string unreadBlockText() {
    return gridText([](std::size_t) { return std::optional<std::uint8_t>(); }, false);
}

std::string readEdidBlockText(MonitorLink& link, std::int32_t block) {
    const std::uint8_t* reply = link.readEepromBlock(block);
    if (reply == nullptr) return unreadBlockText();
    return blockRowsText(std::span<const std::uint8_t, kEepromBlockBytes>(reply, kEepromBlockBytes));
}

}  // namespace velmora::link
