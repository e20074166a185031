#include "tools/box_readings.h"

#include <algorithm>
#include <limits>

#include "model/hex_text.h"
#include "model/text_rules.h"

namespace velmora::tools {

namespace {

constexpr std::int64_t kSaturation = std::numeric_limits<std::uint32_t>::max();

bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

std::optional<int> digitValue(char c, int base) {
    int value = -1;
    if (c >= '0' && c <= '9') value = c - '0';
    else if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
    if (value < 0 || value >= base) return std::nullopt;
    return value;
}

std::optional<std::int64_t> scanNumber(std::string_view text, int base) {
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const bool hexPrefix = base == 16 && i + 2 < text.size() && text[i] == '0' &&
                           (text[i + 1] == 'x' || text[i + 1] == 'X') && digitValue(text[i + 2], 16);
    if (hexPrefix) i += 2;
    std::int64_t value = 0;
    bool anyDigit = false;
    for (; i < text.size(); ++i) {
        const auto digit = digitValue(text[i], base);
        if (!digit) break;
        anyDigit = true;
        value = std::min(value * base + *digit, kSaturation);
    }
    if (!anyDigit) return std::nullopt;
    return negative ? -value : value;
}

}  // namespace

std::int32_t decimalReading(std::string_view text, std::size_t width) {
    return model::leadingInteger(text.substr(0, std::min(width, text.size())));
}

std::int32_t hexReading(std::string_view text) {
    // Two digits at most, so the 32-bit sum read as signed is the exact value.
    return static_cast<std::int32_t>(model::parseHexText(text.substr(0, std::min(kWindowReadingWidth, text.size()))));
}

std::optional<std::int32_t> strictHexReading(std::string_view text) {
    const std::string_view digits = text.substr(0, std::min(kWindowReadingWidth, text.size()));
    if (digits.empty()) return std::nullopt;
    std::int32_t value = 0;
    for (char c : digits) {
        const auto digit = digitValue(c, 16);
        if (!digit) return std::nullopt;
        value = value * 16 + *digit;
    }
    if (text.find_first_not_of(' ', digits.size()) != std::string_view::npos) return std::nullopt;
    return value;
}

std::optional<std::int64_t> scanDecimal(std::string_view text, std::size_t width) {
    return scanNumber(text.substr(0, std::min(width, text.size())), 10);
}

std::optional<std::int64_t> scanHex(std::string_view text, std::size_t width) {
    return scanNumber(text.substr(0, std::min(width, text.size())), 16);
}

}  // namespace velmora::tools
