#include "model/hex_text.h"

#include "model/text_rules.h"

namespace velmora::model {

std::uint32_t parseHexText(std::string_view text) {
    std::uint32_t value = 0;
    for (char c : text) {
        const auto upper = static_cast<unsigned char>(toUpperAscii(c));
        const std::uint32_t digit = (upper >= 'A' && upper <= 'F')
                                        ? static_cast<std::uint32_t>(upper - 'A' + 10)
                                        : static_cast<std::uint32_t>(upper) - static_cast<std::uint32_t>('0');
        value = value * 16u + digit;
    }
    return value;
}

}  // namespace velmora::model
