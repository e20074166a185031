#include "platform/x11/xrandr_mode_setter.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>

namespace velmora::platform {

namespace {

// Xlib reports protocol errors through one process-wide handler; the
// setter's calls are synchronous (XSync after each), so the last error
// belongs to the call just made.
int lastXError = 0;
int recordXError(Display*, XErrorEvent* event) {
    lastXError = event->error_code;
    return 0;
}

struct ErrorTrap {
    XErrorHandler previous;
    Display* display;
    explicit ErrorTrap(Display* d) : previous(XSetErrorHandler(recordXError)), display(d) { lastXError = 0; }
    int finish() {
        XSync(display, False);
        XSetErrorHandler(previous);
        return lastXError;
    }
};

using Resources = std::unique_ptr<XRRScreenResources, decltype(&XRRFreeScreenResources)>;
using OutputInfo = std::unique_ptr<XRROutputInfo, decltype(&XRRFreeOutputInfo)>;
using CrtcInfo = std::unique_ptr<XRRCrtcInfo, decltype(&XRRFreeCrtcInfo)>;

}  // namespace

struct XrandrModeSetter::State {
    Display* display = nullptr;
    Window root = 0;
    std::string failure;
    // What the first setMode found, to be put back.
    bool saved = false;
    std::string outputName;
    RROutput output = 0;
    RRCrtc crtc = 0;
    RRMode previousMode = 0;
    int x = 0, y = 0;
    Rotation rotation = RR_Rotate_0;
    std::vector<RROutput> crtcOutputs;
    int screenWidth = 0, screenHeight = 0, screenWidthMm = 0, screenHeightMm = 0;
    RRMode addedMode = 0;  // the mode this setter created and shows now

    Resources resources() const { return Resources(XRRGetScreenResourcesCurrent(display, root), &XRRFreeScreenResources); }

    RROutput findOutput(XRRScreenResources& res, const std::string& name, bool* connected) const {
        for (int i = 0; i < res.noutput; ++i) {
            OutputInfo info(XRRGetOutputInfo(display, &res, res.outputs[i]), &XRRFreeOutputInfo);
            if (info && name == info->name) {
                *connected = info->connection == RR_Connected;
                return res.outputs[i];
            }
        }
        return 0;
    }

    // Takes the mode this setter added off the output and out of the server.
    void dropAdded(RRMode mode) {
        if (mode == 0) return;
        ErrorTrap trap(display);
        XRRDeleteOutputMode(display, output, mode);
        XRRDestroyMode(display, mode);
        (void)trap.finish();
    }
};

XrandrModeSetter::XrandrModeSetter(const char* displayName) : state_(std::make_unique<State>()) {
    state_->display = XOpenDisplay(displayName);
    if (state_->display == nullptr) {
        state_->failure = "cannot open the X11 display " + std::string(XDisplayName(displayName));
        return;
    }
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XRRQueryExtension(state_->display, &event, &error) || !XRRQueryVersion(state_->display, &major, &minor) ||
        major * 100 + minor < 102) {
        state_->failure = "the X server has no RandR 1.2 or later, which setting modes needs";
        return;
    }
    state_->root = DefaultRootWindow(state_->display);
}

XrandrModeSetter::~XrandrModeSetter() {
    if (state_->display == nullptr) return;
    (void)restore();
    XCloseDisplay(state_->display);
}

const std::string& XrandrModeSetter::failure() const { return state_->failure; }

std::vector<std::string> XrandrModeSetter::connectedOutputs() {
    std::vector<std::string> names;
    if (!state_->failure.empty()) return names;
    Resources res = state_->resources();
    if (!res) return names;
    for (int i = 0; i < res->noutput; ++i) {
        OutputInfo info(XRRGetOutputInfo(state_->display, res.get(), res->outputs[i]), &XRRFreeOutputInfo);
        if (info && info->connection == RR_Connected) names.emplace_back(info->name);
    }
    return names;
}

std::optional<std::vector<std::uint8_t>> XrandrModeSetter::outputEdid(const std::string& name) {
    if (!state_->failure.empty()) return std::nullopt;
    Resources res = state_->resources();
    bool connected = false;
    const RROutput output = res ? state_->findOutput(*res, name, &connected) : 0;
    const Atom edidAtom = XInternAtom(state_->display, "EDID", True);
    if (output == 0 || edidAtom == None) return std::nullopt;
    unsigned char* data = nullptr;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    if (XRRGetOutputProperty(state_->display, output, edidAtom, 0, 256, False, False, AnyPropertyType, &type, &format,
                             &count, &remaining, &data) != Success ||
        data == nullptr) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> edid;
    if (format == 8 && count >= 128) edid.assign(data, data + count);
    XFree(data);
    if (edid.empty()) return std::nullopt;
    return edid;
}

std::string XrandrModeSetter::setMode(const std::string& name, const VideoMode& mode) {
    State& s = *state_;
    if (!s.failure.empty()) return s.failure;
    if (s.saved && name != s.outputName) return "modes are already set on " + s.outputName + "; end those first";
    Resources res = s.resources();
    if (!res) return "the X server lists no screen resources";
    bool connected = false;
    const RROutput output = s.findOutput(*res, name, &connected);
    if (output == 0) return "the X server has no output " + name;
    OutputInfo outputInfo(XRRGetOutputInfo(s.display, res.get(), output), &XRRFreeOutputInfo);
    if (!connected || !outputInfo || outputInfo->crtc == 0) {
        return "output " + name + " is not connected or not switched on (xrandr --output " + name + " --auto)";
    }
    CrtcInfo crtc(XRRGetCrtcInfo(s.display, res.get(), outputInfo->crtc), &XRRFreeCrtcInfo);
    if (!crtc) return "the X server does not describe the CRTC of " + name;
    if (!s.saved) {
        s.saved = true;
        s.outputName = name;
        s.output = output;
        s.crtc = outputInfo->crtc;
        s.previousMode = crtc->mode;
        s.x = crtc->x, s.y = crtc->y;
        s.rotation = crtc->rotation;
        s.crtcOutputs.assign(crtc->outputs, crtc->outputs + crtc->noutput);
        const int screen = DefaultScreen(s.display);
        s.screenWidth = DisplayWidth(s.display, screen), s.screenHeight = DisplayHeight(s.display, screen);
        s.screenWidthMm = DisplayWidthMM(s.display, screen), s.screenHeightMm = DisplayHeightMM(s.display, screen);
    }

    const std::string modeName = "jig " + mode.name;
    XRRModeInfo info{};
    info.width = mode.hDisplay;
    info.height = mode.vDisplay;
    info.dotClock = static_cast<unsigned long>(mode.pixelClockKHz) * 1000;
    info.hSyncStart = mode.hSyncStart, info.hSyncEnd = mode.hSyncEnd, info.hTotal = mode.hTotal;
    info.vSyncStart = mode.vSyncStart, info.vSyncEnd = mode.vSyncEnd, info.vTotal = mode.vTotal;
    info.name = const_cast<char*>(modeName.c_str());
    info.nameLength = static_cast<unsigned int>(modeName.size());
    info.modeFlags = (mode.hSyncPositive ? RR_HSyncPositive : RR_HSyncNegative) |
                     (mode.vSyncPositive ? RR_VSyncPositive : RR_VSyncNegative) | (mode.interlaced ? RR_Interlace : 0);
    // A mode of this name left by an earlier run that could not clean up
    // (killed outright) is taken away first, unless an output still shows it.
    for (int i = 0; i < res->nmode; ++i) {
        if (modeName == res->modes[i].name && res->modes[i].id != s.addedMode) {
            ErrorTrap trap(s.display);
            XRRDeleteOutputMode(s.display, output, res->modes[i].id);
            XRRDestroyMode(s.display, res->modes[i].id);
            (void)trap.finish();
        }
    }

    ErrorTrap trap(s.display);
    const RRMode created = XRRCreateMode(s.display, s.root, &info);
    if (const int error = trap.finish(); error != 0 || created == 0) {
        return "the X server refused to create mode " + mode.name + " (X error " + std::to_string(error) + ")";
    }
    ErrorTrap addTrap(s.display);
    XRRAddOutputMode(s.display, output, created);
    if (const int error = addTrap.finish(); error != 0) {
        ErrorTrap destroyTrap(s.display);
        XRRDestroyMode(s.display, created);
        (void)destroyTrap.finish();
        return "output " + name + " does not take mode " + mode.name + " (X error " + std::to_string(error) + ")";
    }
    // The screen must hold the CRTC's picture; it grows for a larger mode.
    const int neededWidth = std::max(s.screenWidth, crtc->x + int(mode.hDisplay));
    const int neededHeight = std::max(s.screenHeight, crtc->y + int(mode.vDisplay));
    const int screen = DefaultScreen(s.display);
    if (neededWidth > DisplayWidth(s.display, screen) || neededHeight > DisplayHeight(s.display, screen)) {
        ErrorTrap sizeTrap(s.display);
        XRRSetScreenSize(s.display, s.root, neededWidth, neededHeight, s.screenWidthMm, s.screenHeightMm);
        (void)sizeTrap.finish();
    }
    ErrorTrap crtcTrap(s.display);
    const Status status = XRRSetCrtcConfig(s.display, res.get(), s.crtc, CurrentTime, crtc->x, crtc->y, created,
                                           crtc->rotation, crtc->outputs, crtc->noutput);
    const int error = crtcTrap.finish();
    if (status != RRSetConfigSuccess || error != 0) {
        const RRMode previous = s.addedMode;
        s.addedMode = created;
        s.dropAdded(created);
        s.addedMode = previous;
        return "the X server did not set mode " + mode.name + " on " + name + " (" +
               (error != 0 ? "X error " + std::to_string(error) : "status " + std::to_string(status)) +
               "); the card may not reach its pixel clock";
    }
    s.dropAdded(s.addedMode);  // the one shown before this mode
    s.addedMode = created;
    return {};
}

std::string XrandrModeSetter::restore() {
    State& s = *state_;
    if (!s.saved) return {};
    s.saved = false;
    Resources res = s.resources();
    std::string problem;
    if (res) {
        ErrorTrap trap(s.display);
        const Status status = XRRSetCrtcConfig(s.display, res.get(), s.crtc, CurrentTime, s.x, s.y, s.previousMode,
                                               s.rotation, s.crtcOutputs.data(), int(s.crtcOutputs.size()));
        if (trap.finish() != 0 || status != RRSetConfigSuccess) {
            problem = "the X server did not put back the previous mode of " + s.outputName +
                      "; set it with your display settings or xrandr --output " + s.outputName + " --auto";
        }
    } else {
        problem = "the X server lists no screen resources to put back " + s.outputName;
    }
    const int screen = DefaultScreen(s.display);
    if (DisplayWidth(s.display, screen) != s.screenWidth || DisplayHeight(s.display, screen) != s.screenHeight) {
        ErrorTrap sizeTrap(s.display);
        XRRSetScreenSize(s.display, s.root, s.screenWidth, s.screenHeight, s.screenWidthMm, s.screenHeightMm);
        (void)sizeTrap.finish();
    }
    s.dropAdded(s.addedMode);
    s.addedMode = 0;
    return problem;
}

}  // namespace velmora::platform
