#include "bench/capabilities_answer.h"

#include <algorithm>
#include <cctype>

namespace velmora::bench {

std::string_view defaultBenchCapabilities() {
    return "(prot(monitor)type(crt)model(VELMORA CRT)cmds(01 02 03 07 0C E3 F3)"
           "vcp(01 02 04 05 06 08 10 12 14(01 02 03) 16 18 1A 20 22 24 26 30 32 3A 40 42 44 46 56 58 6C 6E 70 DF)"
           "mccs_ver(2.1))";
}

std::string malformedCapabilities(std::string_view wellFormed) {
    std::string text(wellFormed);
    // model(NAME) -> model NAME (a blank after it, so it stays one word).
    if (const auto model = text.find("model("); model != std::string::npos) {
        const auto close = text.find(')', model);
        if (close != std::string::npos) {
            std::string name = text.substr(model + 6, close - model - 6);
            std::replace(name.begin(), name.end(), ' ', '_');
            text.replace(model, close - model + 1, "model " + name + " ");
        }
    }
    // vcp(10 12 ...) -> VCP(1010 12...): upper case, run together, the first code twice.
    if (const auto vcp = text.find("vcp("); vcp != std::string::npos) {
        std::size_t close = vcp + 4;
        for (int depth = 1; close < text.size() && depth > 0; ++close) {
            if (text[close] == '(') ++depth;
            if (text[close] == ')') --depth;
        }
        std::string list = text.substr(vcp + 4, close - 1 - (vcp + 4));
        const std::string first = list.substr(0, std::min<std::size_t>(2, list.size()));
        list.erase(std::remove(list.begin(), list.end(), ' '), list.end());
        text.replace(vcp, close - vcp, "VCP(" + first + list + ")");
    }
    text.push_back('\0');
    text += "~~";
    return text;
}

std::vector<std::uint8_t> capabilitiesFragment(std::string_view capabilities, std::span<const std::uint8_t> request) {
    if (request.size() < 3) return {};
    const std::size_t offset = (std::size_t{request[1]} << 8) | request[2];
    std::vector<std::uint8_t> reply{0xE3, request[1], request[2]};
    if (offset >= capabilities.size()) return reply;
    const std::size_t count = std::min(kCapabilitiesFragmentBytes, capabilities.size() - offset);
    for (std::size_t i = 0; i < count; ++i) reply.push_back(static_cast<std::uint8_t>(capabilities[offset + i]));
    return reply;
}

}  // namespace velmora::bench
