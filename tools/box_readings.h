#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace velmora::tools {

// How the memory tools read the numbers typed into their edit boxes.

// Characters of a box that the Memory & Edid window looks at; the rest of
// the text is ignored.
inline constexpr std::size_t kWindowReadingWidth = 2;
// Characters of a range box that the Save Memory dialog looks at.
inline constexpr std::size_t kRangeBoxWidth = 8;

// The leading decimal number of the first `width` characters (leading blanks
// and a sign allowed); 0 when there are no digits.
std::int32_t decimalReading(std::string_view text, std::size_t width = kWindowReadingWidth);

// The first two characters taken as hexadecimal digits after upper-casing:
// 0-9 and A-F count as usual, any other character counts as its code minus
// that of '0'. An empty box gives 0. The result can therefore lie below 0 or
// above FFh; callers that need a byte check it.
std::int32_t hexReading(std::string_view text);

// One or two hexadecimal digits of either case, strictly: nothing when the
// box is empty, one of its first two characters is no hexadecimal digit, or
// anything but blanks follows them ("1F0" is not the byte 1Fh). A box whose
// value is written to the monitor is read this way, so that a typo is
// refused instead of becoming a value; the trailing blank that the Data box
// gets from a byte read ("%02X ") is allowed.
std::optional<std::int32_t> strictHexReading(std::string_view text);

// A number in the first `width` characters as scanf reads one: leading
// blanks, an optional sign, then at least one digit (hexadecimal digits may
// follow a 0x prefix). Nothing when the box holds no number. Values beyond
// 32 bits saturate, which keeps them outside every valid range.
std::optional<std::int64_t> scanDecimal(std::string_view text, std::size_t width = kRangeBoxWidth);
std::optional<std::int64_t> scanHex(std::string_view text, std::size_t width = kRangeBoxWidth);

}  // namespace velmora::tools
