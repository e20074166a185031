#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::bench {

// What the simulated monitor says to DDC/CI's Capabilities Request
// (F3 offset-high offset-low): E3, the offset echoed and the next 32 bytes
// of its capabilities string; past the end, E3 and the offset alone (the
// empty fragment that ends the string).
inline constexpr std::size_t kCapabilitiesFragmentBytes = 32;

// The bench monitor's string until a model's is given: a CRT with the
// standard geometry, colour and restore features.
std::string_view defaultBenchCapabilities();

// The same string as a careless firmware sends it, for the bench fault
// malformed-capabilities: the model without parentheses, the vcp segment's
// name in upper case and its codes run together, the first feature listed
// twice, and a NUL with garbage after the end.
std::string malformedCapabilities(std::string_view wellFormed);

// The reply payload to a capabilities request payload (F3 hi lo); empty
// for a request too short to carry its offset.
std::vector<std::uint8_t> capabilitiesFragment(std::string_view capabilities, std::span<const std::uint8_t> request);

}  // namespace velmora::bench
