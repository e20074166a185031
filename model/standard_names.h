#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

namespace velmora::model {

// The built-in display names of VCP controls (rows 1..42) and of the
// built-in functions (rows 43..58); row 0 is "NO VCP". Function names keep
// their stored leading and trailing blanks.
struct StandardName {
    std::string_view name;
    std::int32_t code;
};

inline constexpr std::size_t kStandardNameRows = 59;
inline constexpr std::size_t kFirstVcpNameRow = 1;
inline constexpr std::size_t kLastVcpNameRow = 42;
inline constexpr std::size_t kFirstFunctionNameRow = 43;
inline constexpr std::size_t kLastFunctionNameRow = 58;

inline constexpr std::string_view kNoVcpName = "NO VCP";
inline constexpr std::string_view kUnknownVcpName = "I Don't know";

const StandardName& standardName(std::size_t row);

// The VCP control's standard name, or nothing for a code outside rows 1..42.
std::optional<std::string_view> standardVcpName(std::uint8_t code);
// The built-in function's standard name (rows 43..58), or "NO VCP".
std::string_view standardFunctionName(std::uint8_t code);

}  // namespace velmora::model
