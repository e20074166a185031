#include "model/symbol_index.h"

#include "model/text_rules.h"

namespace velmora::model {

std::size_t SymbolIndex::FoldedHash::operator()(std::string_view text) const {
    // FNV-1a over the lower-case letters.
    std::size_t hash = 14695981039346656037ull;
    for (char c : text) {
        hash ^= static_cast<unsigned char>(toLowerAscii(c));
        hash *= 1099511628211ull;
    }
    return hash;
}

bool SymbolIndex::FoldedEqual::operator()(std::string_view a, std::string_view b) const {
    return equalsIgnoringCase(a, b);
}

std::optional<std::size_t> SymbolIndex::findIgnoringCase(std::string_view name) const {
    const auto found = rows_.find(name);
    if (found == rows_.end()) return std::nullopt;
    return found->second;
}

}  // namespace velmora::model
