#include "platform/x11/display_session.h"

#include <cstdlib>
#include <string_view>

namespace velmora::platform {

std::string displayModeObstacle() {
    const char* type = std::getenv("XDG_SESSION_TYPE");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    // Under Wayland the compositor alone sets modes; its X11 compatibility
    // server (Xwayland) answers RandR but changes nothing on the monitor.
    if ((type != nullptr && std::string_view(type) == "wayland") || (wayland != nullptr && *wayland != '\0')) {
        return "this is a Wayland session, where programs cannot set display modes; log out and choose an X11 "
               "session at the login screen (\"GNOME on Xorg\", \"Plasma (X11)\"), then run again";
    }
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        return "no X11 display (DISPLAY is not set); run this in the X11 session of the screen the monitor hangs on";
    }
    return {};
}

}  // namespace velmora::platform
