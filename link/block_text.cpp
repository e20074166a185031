#include "link/block_text.h"

#include <cstdio>

namespace velmora::link {

namespace {
constexpr std::size_t kCellsPerRow = 16;
constexpr std::size_t kRows = kEepromBlockBytes / kCellsPerRow;
}  // namespace

std::string blockRowsText(std::span<const std::uint8_t, kEepromBlockBytes> block) {
    std::string text;
    text.reserve(kRows * (kCellsPerRow * 3 + 2));
    for (std::size_t row = 0; row < kRows; ++row) {
        for (std::size_t column = 0; column < kCellsPerRow; ++column) {
            char cell[4];
            std::snprintf(cell, sizeof cell, "%02X ", block[row * kCellsPerRow + column]);
            text += cell;
        }
        text += "\r\n";
    }
    return text;
}

std::string unreadBlockText() {
    std::string text;
    text.reserve(kRows * (kCellsPerRow * 3 + 2));
    for (std::size_t row = 0; row < kRows; ++row) {
        if (row > 0) text += "\r\n";
        for (std::size_t column = 0; column < kCellsPerRow; ++column) text += "XX ";
    }
    return text;
}

std::string readEdidBlockText(MonitorLink& link, std::int32_t block) {
    const std::uint8_t* reply = link.readEepromBlock(block);
    if (reply == nullptr) return unreadBlockText();
    return blockRowsText(std::span<const std::uint8_t, kEepromBlockBytes>(reply, kEepromBlockBytes));
}

}  // namespace velmora::link
