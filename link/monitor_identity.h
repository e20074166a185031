#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace velmora::link {

// A monitor as its EDID names it: the three-letter manufacturer code and
// the product code (EDID bytes 8 to 11), the key a model file gives for the
// monitors it is made for.
struct MonitorIdentity {
    std::array<char, 3> manufacturer{};
    std::uint16_t product = 0;
    bool operator==(const MonitorIdentity&) const = default;
};

// The most monitors one model names.
inline constexpr std::size_t kMaxModelMonitors = 8;

// "VLM 1734h".
std::string identityText(const MonitorIdentity& identity);

// The identity in EDID bytes 8 to 11: the manufacturer in three 5-bit
// letters, big-endian, the product code little-endian.
MonitorIdentity identityFromEdid(std::span<const std::uint8_t, 4> bytes);

// Whether a request is a factory request: anything but reading a VCP value,
// setting a standard one (below E0h, where the makers' own codes begin), and
// the capabilities request every DDC/CI monitor takes. A service command,
// one byte, is one whatever its code. Such requests go only to a monitor
// the model is made for.
bool isFactoryRequest(std::span<const std::uint8_t> request);

}  // namespace velmora::link
