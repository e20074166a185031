#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace velmora::model {

// Finds symbol table rows by name. Labels are unique without regard to case
// (a second "Foo" for "FOO" is refused), yet a reference must match the case
// exactly; one map keyed on the case-folded name serves both questions.
class SymbolIndex {
public:
    void clear() { rows_.clear(); }
    void add(std::string_view name, std::size_t row) { rows_.emplace(std::string(name), row); }
    // Row whose name equals `name` without regard to case.
    std::optional<std::size_t> findIgnoringCase(std::string_view name) const;

private:
    struct FoldedHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const;
    };
    struct FoldedEqual {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const;
    };
    std::unordered_map<std::string, std::size_t, FoldedHash, FoldedEqual> rows_;
};

}  // namespace velmora::model
