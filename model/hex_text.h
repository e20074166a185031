#pragma once
#include <cstdint>
#include <string_view>

namespace velmora::model {

// Reads a text as a hexadecimal number, most significant digit first, any
// case. Nothing is validated: a character that is no hexadecimal digit
// counts as its character code minus that of '0' (so 'G' counts 23), and
// the sum wraps at 32 bits.
std::uint32_t parseHexText(std::string_view text);

}  // namespace velmora::model
