#pragma once
#include <memory>

#include "platform/mode_setter.h"

namespace velmora::platform {

// Modes through X11's RandR extension on one connection, held for the
// setter's life: the X server drops a mode that a client created when the
// client goes, unless an output shows it, so the mode is created, added to
// the output and set on its CRTC here, and deleted here after restore().
// The destructor restores.
class XrandrModeSetter : public ModeSetter {
public:
    // Connects to the display (nullptr: $DISPLAY); failure() tells why not.
    explicit XrandrModeSetter(const char* displayName = nullptr);
    ~XrandrModeSetter() override;
    XrandrModeSetter(const XrandrModeSetter&) = delete;
    XrandrModeSetter& operator=(const XrandrModeSetter&) = delete;

    // Empty when connected to a display with RandR 1.2 or later.
    [[nodiscard]] const std::string& failure() const;

    std::vector<std::string> connectedOutputs() override;
    std::optional<std::vector<std::uint8_t>> outputEdid(const std::string& output) override;
    std::string setMode(const std::string& output, const VideoMode& mode) override;
    std::string restore() override;

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace velmora::platform
