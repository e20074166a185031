#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::tools {

// EDID bytes as technicians keep and share them: the raw block (128 bytes
// or more, extension blocks following), or a hex text, pairs of hex digits
// with any blanks and line breaks between and around them.
struct EdidBytes {
    bool ok = false;
    std::vector<std::uint8_t> bytes;
    std::string refusal;  // why the input is no EDID, when not ok
};

// At most the base block and 255 extension blocks are kept.
inline constexpr std::size_t kEdidBytesCapacity = 256 * 128;

// Reads file contents: hex text when every character is a hex digit or
// white space, otherwise raw bytes. Refused: a hex text with a lone digit,
// fewer than 128 bytes, more than kEdidBytesCapacity, no EDID header.
[[nodiscard]] EdidBytes edidBytesFromContents(std::string_view contents);

// The same for a file; a file that cannot be read is refused with the
// reason. Every refusal begins with the path.
[[nodiscard]] EdidBytes readEdidFile(const std::string& path);

}  // namespace velmora::tools
