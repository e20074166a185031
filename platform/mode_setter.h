#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/video_mode.h"

namespace velmora::platform {

// Sets display modes on the graphics card's outputs and puts back what it
// changed. One setter changes one output at a time: the first setMode
// remembers the output's mode as it was, later ones replace only what the
// setter itself set, and restore() brings back the remembered mode and
// takes away every mode the setter added.
class ModeSetter {
public:
    virtual ~ModeSetter() = default;

    // The outputs with a monitor connected, by their connector names
    // (DVI-I-1, VGA-1), in the card's order.
    [[nodiscard]] virtual std::vector<std::string> connectedOutputs() = 0;
    // The EDID that the output's monitor gave the card, if any.
    [[nodiscard]] virtual std::optional<std::vector<std::uint8_t>> outputEdid(const std::string& output) = 0;
    // Drives the output in the mode; empty on success, else why not (the
    // output is then as it was before the call).
    [[nodiscard]] virtual std::string setMode(const std::string& output, const VideoMode& mode) = 0;
    // Puts the output back as it was before the first setMode; does nothing
    // when nothing was set. Empty on success, else what could not be undone.
    virtual std::string restore() = 0;
};

}  // namespace velmora::platform
