#pragma once
#include <cstdint>
#include <string>

namespace velmora::platform {

// One display mode as the graphics card is programmed with it: the pixel
// clock and, per direction, where the picture ends, the sync pulse starts
// and ends, and the line or frame ends (X11's modeline order). Vertical
// counts are lines of a frame, also for an interlaced mode.
struct VideoMode {
    std::string name;  // "1024x768_85.00" as cvt names its modes
    std::uint32_t pixelClockKHz = 0;
    std::uint16_t hDisplay = 0, hSyncStart = 0, hSyncEnd = 0, hTotal = 0;
    std::uint16_t vDisplay = 0, vSyncStart = 0, vSyncEnd = 0, vTotal = 0;
    bool hSyncPositive = false;
    bool vSyncPositive = false;
    bool interlaced = false;

    // Lines per second, in kHz.
    [[nodiscard]] double hFreqKHz() const { return hTotal == 0 ? 0.0 : double(pixelClockKHz) / hTotal; }
    // Fields per second (twice the frames of an interlaced mode), in Hz.
    [[nodiscard]] double vFreqHz() const {
        if (hTotal == 0 || vTotal == 0) return 0.0;
        const double frames = 1000.0 * pixelClockKHz / (double(hTotal) * vTotal);
        return interlaced ? 2 * frames : frames;
    }
    friend bool operator==(const VideoMode&, const VideoMode&) = default;
};

// The modeline as xrandr --newmode and cvt write it:
// "1024x768_85.00" 94.50 1024 1096 1200 1376 768 771 775 809 -hsync +vsync
std::string modelineText(const VideoMode& mode);

}  // namespace velmora::platform
