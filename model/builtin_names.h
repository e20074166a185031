#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace velmora::model {

// A name every model file may use in its expressions without defining it.
struct BuiltinName {
    std::string_view name;
    std::uint16_t value;
};

inline constexpr std::size_t kBuiltinNameCount = 146;

// VCP codes, item codes, chunk identifiers, command opcodes, status codes
// and page bases, in the order they are searched.
extern const std::array<BuiltinName, kBuiltinNameCount> BuiltinNames;

// Value of the first built-in name equal to `name` (case-sensitive).
std::optional<std::uint16_t> findBuiltinName(std::string_view name);

}  // namespace velmora::model
