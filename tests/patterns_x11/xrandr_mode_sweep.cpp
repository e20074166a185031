// Sets every usable mode of every sample model on the X server's first
// connected output through RandR, reads back from the server what the CRTC
// shows, and checks that the output's own mode comes back each time.
//   xrandr_mode_sweep MODELS_DIRECTORY
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "model/model_description.h"
#include "platform/x11/xrandr_mode_setter.h"
#include "tools/model_modes.h"

namespace {

// The mode the output's CRTC shows, as the server describes it.
struct Shown {
    RRMode id = 0;
    unsigned width = 0, height = 0, hTotal = 0, vTotal = 0;
    unsigned long dotClock = 0;
    XRRModeFlags flags = 0;
};

Shown shownMode(Display* display, const std::string& output) {
    Shown shown;
    XRRScreenResources* res = XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display));
    for (int i = 0; i < res->noutput; ++i) {
        XRROutputInfo* info = XRRGetOutputInfo(display, res, res->outputs[i]);
        if (output == info->name && info->crtc != 0) {
            XRRCrtcInfo* crtc = XRRGetCrtcInfo(display, res, info->crtc);
            shown.id = crtc->mode;
            for (int m = 0; m < res->nmode; ++m) {
                const XRRModeInfo& mode = res->modes[m];
                if (mode.id != crtc->mode) continue;
                shown = {mode.id, mode.width, mode.height, mode.hTotal, mode.vTotal, mode.dotClock, mode.modeFlags};
            }
            XRRFreeCrtcInfo(crtc);
        }
        XRRFreeOutputInfo(info);
    }
    XRRFreeScreenResources(res);
    return shown;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: xrandr_mode_sweep MODELS_DIRECTORY\n");
        return 2;
    }
    Display* observer = XOpenDisplay(nullptr);
    velmora::platform::XrandrModeSetter setter;
    if (observer == nullptr || !setter.failure().empty()) {
        std::fprintf(stderr, "no X display: %s\n", setter.failure().c_str());
        return 1;
    }
    const std::string output = setter.connectedOutputs().at(0);
    const Shown desktop = shownMode(observer, output);
    int failures = 0, set = 0;
    for (const auto& file : std::filesystem::directory_iterator(argv[1])) {
        if (file.path().extension() != ".mdl") continue;
        velmora::model::ModelDescription model;
        model.modelPath = file.path().string();
        if (model.loadModelFile() != 1) {
            std::printf("FAIL: %s does not load\n", model.modelPath.c_str());
            ++failures;
            continue;
        }
        for (const auto& mode : velmora::tools::modelModes(model)) {
            if (!mode.mode) continue;
            const std::string what = file.path().filename().string() + " " + velmora::tools::modelModeLine(mode);
            if (const std::string failure = setter.setMode(output, *mode.mode); !failure.empty()) {
                std::printf("FAIL: %s: %s\n", what.c_str(), failure.c_str());
                ++failures;
                continue;
            }
            const Shown shown = shownMode(observer, output);
            const auto& want = *mode.mode;
            const XRRModeFlags wantFlags = (want.hSyncPositive ? RR_HSyncPositive : RR_HSyncNegative) |
                                           (want.vSyncPositive ? RR_VSyncPositive : RR_VSyncNegative) |
                                           (want.interlaced ? RR_Interlace : 0);
            if (shown.width != want.hDisplay || shown.height != want.vDisplay || shown.hTotal != want.hTotal ||
                shown.vTotal != want.vTotal || shown.dotClock != want.pixelClockKHz * 1000ul || shown.flags != wantFlags) {
                std::printf("FAIL: %s: the server shows %ux%u total %ux%u at %lu Hz, flags %lx\n", what.c_str(),
                            shown.width, shown.height, shown.hTotal, shown.vTotal, shown.dotClock, shown.flags);
                ++failures;
            }
            (void)setter.restore();
            if (shownMode(observer, output).id != desktop.id) {
                std::printf("FAIL: %s: the desktop mode did not come back\n", what.c_str());
                ++failures;
            }
            ++set;
        }
    }
    std::printf("%d modes set and taken back, %d failures\n", set, failures);
    XCloseDisplay(observer);
    return failures == 0 && set > 0 ? 0 : 1;
}
