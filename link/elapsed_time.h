#pragma once
#include <cstdint>

namespace velmora::link {

// Milliseconds from `then` to `now` on the program's 32-bit clock; right
// across the wrap of the count.
constexpr std::int32_t millisecondsSince(std::int32_t now, std::int32_t then) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(now) - static_cast<std::uint32_t>(then));
}

}  // namespace velmora::link
