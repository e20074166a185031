#pragma once
#include <cstdint>
#include <string_view>

// Character rules of the model language, shared by the reader, the
// directives and the catalogue.
namespace velmora::model {

// Blanks separate a label from its statement: space, tab and line feed.
// A carriage return is an ordinary character.
constexpr bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }

constexpr char toLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
constexpr char toUpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool equalsIgnoringCase(std::string_view a, std::string_view b);
bool startsWithIgnoringCase(std::string_view text, std::string_view prefix);
// Negative, zero or positive as a sorts before, with or after b, letters
// compared without regard to case.
int compareIgnoringCase(std::string_view a, std::string_view b);

// The integer at the start of a text as the C library's atoi reads it:
// leading white space, an optional sign, then decimal digits; 0 when there
// are none. Overlong numbers wrap at 32 bits instead of being undefined.
std::int32_t leadingInteger(std::string_view text);

// The floating-point number at the start of a text after leading blanks;
// 0 when there is none. Independent of the process locale.
double leadingFloat(std::string_view text);

}  // namespace velmora::model
