#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace velmora::tools {

// A memory image file keeps a contiguous range of the monitor's EEPROM as
// text: "_SSS_EEE" (start and end location, three upper-case hex digits each)
// followed by two hex digits per byte. No line breaks, no terminator.
// A location is page * 256 + address, 000h to 3FFh for pages 0 to 3.
inline constexpr int kLastMemoryLocation = 0x3FF;
inline constexpr std::size_t kMemoryHeaderLength = 8;
inline constexpr std::size_t kMaxMemoryFileLength = 2156;

inline constexpr std::string_view kNotAMemoryFile = "This is not a memory File.";
inline constexpr std::string_view kHeaderCorrupt = "The header is currupt";
inline constexpr std::string_view kDataCorrupt = "Data is currupt";
inline constexpr std::string_view kRangeBackwards =
    "The range ends before it starts: the end location must not lie before the start location.";
inline constexpr std::string_view kRangeBeyondMemory =
    "The range goes beyond the monitor's memory: locations run from 000 to 3FF.";

// From (page, address) to (page, address), inclusive.
struct MemoryRange {
    int fromPage = 0;
    int toPage = 0;
    int fromAddress = 0;
    int toAddress = 0xFF;

    int startLocation() const { return fromPage * 256 + fromAddress; }
    int endLocation() const { return toPage * 256 + toAddress; }
    static MemoryRange fromLocations(int start, int end);
};

// The range's fault, if any: an empty view for a sound range, otherwise the
// message that refuses it. Pages and addresses must already lie in 0..3 and
// 0..FFh.
std::string_view rangeFault(const MemoryRange& range);

// The whole file text for bytes read from `start` on; bytes.size() is the
// number of locations in the range.
std::string formatMemoryImage(int start, int end, std::span<const std::uint8_t> bytes);

struct MemoryImage {
    int start = 0;
    int end = 0;
    std::vector<std::uint8_t> bytes;
};

// Reads a memory image file's text. Returns the image, or the message that
// refuses the file; nothing is converted when any check fails.
std::variant<MemoryImage, std::string> parseMemoryImage(std::string_view text);

}  // namespace velmora::tools
