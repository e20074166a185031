#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "link/monitor_link.h"

namespace velmora::link {

// The hex grid of a 256-byte block, as the data box of the Memory & Edid
// window and velmora-jigctl show it: 16 rows of 16 cells, one row per 16
// addresses; a cell is two upper-case hex digits and a blank, or "XX " for a
// byte that could not be read (48 characters a row). Rows are separated by
// CR LF.
inline constexpr int kGridRows = 16;
inline constexpr int kGridCellsPerRow = 16;
inline constexpr int kGridCellWidth = 3;

// "%02X " of a byte that was read, "XX " of one that was not.
std::string gridCell(std::optional<std::uint8_t> byte);

// A block that was read: every row, the last included, ends in CR LF.
std::string blockRowsText(std::span<const std::uint8_t, kEepromBlockBytes> block);

// A block that could not be read: "XX " in every cell, CR LF between the rows
// and none after the last.
std::string unreadBlockText();

// "Read EDID(DDC2B)": reads block `block` and gives the data box's new text.
std::string readEdidBlockText(MonitorLink& link, std::int32_t block);

}  // namespace velmora::link
