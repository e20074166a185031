#include "tools/memory_image.h"

#include <cstdio>
#include <optional>

namespace velmora::tools {

namespace {

std::optional<int> hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return std::nullopt;
}

// Strict hexadecimal number of exactly text.size() digits, either case.
std::optional<int> hexNumber(std::string_view text) {
    int value = 0;
    for (char c : text) {
        auto digit = hexDigit(c);
        if (!digit) return std::nullopt;
        value = value * 16 + *digit;
    }
    return value;
}

}  // namespace

MemoryRange MemoryRange::fromLocations(int start, int end) {
    return MemoryRange{start / 256, end / 256, start % 256, end % 256};
}

std::string_view rangeFault(const MemoryRange& range) {
    if (range.endLocation() > kLastMemoryLocation || range.startLocation() > kLastMemoryLocation) {
        return kRangeBeyondMemory;
    }
    if (range.endLocation() < range.startLocation()) return kRangeBackwards;
    return {};
}

std::string formatMemoryImage(int start, int end, std::span<const std::uint8_t> bytes) {
    char header[16];
    std::snprintf(header, sizeof header, "_%03X_%03X", static_cast<unsigned>(start) & 0xFFFu,
                  static_cast<unsigned>(end) & 0xFFFu);
    std::string text(header);
    text.reserve(kMemoryHeaderLength + 2 * bytes.size());
    for (std::uint8_t byte : bytes) {
        char cell[3];
        std::snprintf(cell, sizeof cell, "%02X", byte);
        text += cell;
    }
    return text;
}

std::variant<MemoryImage, std::string> parseMemoryImage(std::string_view text) {
    if (text.size() > kMaxMemoryFileLength) return std::string(kNotAMemoryFile);
    if (text.size() < kMemoryHeaderLength || text[0] != '_' || text[4] != '_') {
        return std::string(kHeaderCorrupt);
    }
    auto start = hexNumber(text.substr(1, 3));
    auto end = hexNumber(text.substr(5, 3));
    if (!start || !end) return std::string(kHeaderCorrupt);

    auto fault = rangeFault(MemoryRange::fromLocations(*start, *end));
    if (!fault.empty()) return std::string(fault);

    const std::size_t count = static_cast<std::size_t>(*end - *start + 1);
    if (text.size() != kMemoryHeaderLength + 2 * count) return std::string(kDataCorrupt);

    MemoryImage image{*start, *end, {}};
    image.bytes.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        auto byte = hexNumber(text.substr(kMemoryHeaderLength + 2 * i, 2));
        if (!byte) return std::string(kDataCorrupt);
        image.bytes.push_back(static_cast<std::uint8_t>(*byte));
    }
    return image;
}

}  // namespace velmora::tools
