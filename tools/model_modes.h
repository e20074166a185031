#pragma once
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/timing_tables.h"
#include "platform/video_mode.h"

namespace velmora::model {
class ModelDescription;
}

namespace velmora::tools {

// Where a mode's blanking and sync come from.
enum class ModeSource {
    Standard,   // the VESA (or IBM VGA) standard timing the entry matches
    Cvt,        // VESA CVT at the entry's resolution and vertical rate
    Gtf,        // VESA GTF at the entry's resolution and vertical rate
    GtfFitted,  // GTF's horizontal blanking at the entry's line rate, the
                // frame's line count from the entry's two rates
};
std::string_view modeSourceName(ModeSource source);

// One line of the model's timing list turned into a mode the graphics card
// can drive, or the reason why it cannot.
struct ModelMode {
    int number = 0;  // the line's number in the Preset Timing list, from 0
    model::TimingEntry entry;
    std::optional<platform::VideoMode> mode;
    ModeSource source = ModeSource::Standard;
    std::string standardName;  // the matched standard's name, when Standard
    std::string unavailable;   // why there is no mode
};

// How far the mode's line and field rates may lie from the entry's.
inline constexpr double kRateTolerance = 0.005;

// The mode for one entry: the standard timing where the entry matches a
// standard of the table (its resolution too) and one is known, otherwise
// CVT, then GTF, when their rates come within kRateTolerance of the entry's,
// otherwise GTF's blanking fitted to the entry's rates. The sync polarities
// are the entry's ("either" keeps the computed ones).
ModelMode modeForEntry(const model::TimingEntry& entry, int number);

// Every entry of the model's list up to its end mark, usable or not.
std::vector<ModelMode> modelModes(const model::ModelDescription& model);

// VESA CVT (libxcvt) at a vertical rate, blanking not reduced.
platform::VideoMode cvtMode(int width, int height, double vFreqHz);

// VESA GTF at a vertical rate (non-interlaced, no margins): -hsync +vsync.
platform::VideoMode gtfMode(int width, int height, double vFreqHz);

// The resolution of an entry: its label, else its matched standard's size.
std::optional<std::pair<int, int>> entryResolution(const model::TimingEntry& entry);

// "0: 1024x768 68.68 kHz 85.00 Hz -h +v (VESA 1024 85Hz)", or the reason.
std::string modelModeLine(const ModelMode& mode);

}  // namespace velmora::tools
