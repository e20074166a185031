#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "link/monitor_link.h"

namespace velmora::link {

// The data box of the Memory & Edid window shows a 256-byte block as 16 rows
// of 16 cells; a cell is two upper-case hex digits and a blank (48 characters
// a row).

// A block that was read: every row, the last included, ends in CR LF.
std::string blockRowsText(std::span<const std::uint8_t, kEepromBlockBytes> block);

// A block that could not be read: "XX " in every cell, CR LF between the rows
// and none after the last.
std::string unreadBlockText();

// "Read EDID(DDC2B)": reads block `block` and gives the data box's new text.
std::string readEdidBlockText(MonitorLink& link, std::int32_t block);

}  // namespace velmora::link
