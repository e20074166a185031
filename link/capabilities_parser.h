#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::link {

// A feature the monitor lists in its capabilities: its code and the values
// it names for it (the choices of a non-continuous feature), in the order
// given, each once.
struct CapabilityFeature {
    std::uint8_t code = 0;
    std::vector<std::uint8_t> values;
};

// What is wrong at one place of the string; the rest is read all the same.
struct CapabilityProblem {
    std::size_t offset = 0;  // bytes from the start of the string
    std::string text;
};

// A monitor's DDC/CI capabilities string as far as it could be read:
//   (prot(monitor)type(crt)model(VM1995)cmds(01 02 03 0C E3 F3)
//    vcp(02 04 10 12 14(05 06 08) 16 18 1A)mccs_ver(2.1))
struct Capabilities {
    std::string raw;
    std::optional<std::string> type;
    std::optional<std::string> model;
    std::optional<std::string> mccsVersion;
    std::vector<std::uint8_t> commands;  // each once, in the order given
    std::vector<CapabilityFeature> features;  // each code once, in the order first given
    std::vector<CapabilityProblem> problems;
};

// The string read, or why it is no capabilities string at all.
struct CapabilitiesReading {
    std::optional<Capabilities> capabilities;
    std::string refusal;  // set when `capabilities` is not
};

// Reads a capabilities string as real monitors send it: the model without
// parentheses or without its keyword, codes run together without blanks,
// keywords in any case, nested value lists, features listed twice, page
// segments (vcp_p02, cmds_c2) and unknown segments (passed over), text after
// the end, stray NUL bytes. Each deviation that loses or guesses something
// is a problem with its offset. Binary data (more than one byte in eight not
// text), an empty string and one without a single known segment are refused.
CapabilitiesReading parseCapabilities(std::string_view raw);

// "offset 12: TEXT".
std::string problemText(const CapabilityProblem& problem);

}  // namespace velmora::link
