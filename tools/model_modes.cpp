#include "tools/model_modes.h"

#include <libxcvt/libxcvt.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "model/model_description.h"

namespace velmora::tools {

namespace {

// The standard timings of the preset table that VESA's Display Monitor
// Timing list (and IBM's VGA for the 70 Hz text modes) defines in full,
// by the table's row. Polarities here are the standard's.
struct StandardTiming {
    std::size_t presetRow;
    std::uint32_t clockKHz;
    std::uint16_t h[4];
    std::uint16_t v[4];
    bool hPositive, vPositive, interlaced;
};

constexpr StandardTiming kStandardTimings[] = {
    {0, 25175, {640, 656, 752, 800}, {350, 387, 389, 449}, true, false, false},
    {1, 28322, {720, 738, 846, 900}, {400, 412, 414, 449}, false, true, false},
    {2, 25175, {640, 656, 752, 800}, {480, 490, 492, 525}, false, false, false},
    {3, 44900, {1024, 1032, 1208, 1264}, {768, 768, 776, 817}, true, true, true},
    {4, 31500, {640, 672, 736, 832}, {350, 382, 385, 445}, true, false, false},
    {5, 31500, {640, 672, 736, 832}, {400, 401, 404, 445}, false, true, false},
    {6, 35500, {720, 756, 828, 936}, {400, 401, 404, 446}, false, true, false},
    {7, 108000, {1152, 1216, 1344, 1600}, {864, 865, 868, 900}, true, true, false},
    {8, 31500, {640, 664, 704, 832}, {480, 489, 492, 520}, false, false, false},
    {9, 36000, {800, 824, 896, 1024}, {600, 601, 603, 625}, true, true, false},
    {10, 40000, {800, 840, 968, 1056}, {600, 601, 605, 628}, true, true, false},
    {11, 50000, {800, 856, 976, 1040}, {600, 637, 643, 666}, true, true, false},
    {12, 65000, {1024, 1048, 1184, 1344}, {768, 771, 777, 806}, false, false, false},
    {13, 75000, {1024, 1048, 1184, 1328}, {768, 771, 777, 806}, false, false, false},
    {14, 31500, {640, 656, 720, 840}, {480, 481, 484, 500}, false, false, false},
    {15, 49500, {800, 816, 896, 1056}, {600, 601, 604, 625}, true, true, false},
    {16, 78750, {1024, 1040, 1136, 1312}, {768, 769, 772, 800}, true, true, false},
    {17, 135000, {1280, 1296, 1440, 1688}, {1024, 1025, 1028, 1066}, true, true, false},
    {30, 202500, {1600, 1664, 1856, 2160}, {1200, 1201, 1204, 1250}, true, true, false},
    {31, 36000, {640, 696, 752, 832}, {480, 481, 484, 509}, false, false, false},
    {32, 56250, {800, 832, 896, 1048}, {600, 601, 604, 631}, true, true, false},
    {33, 94500, {1024, 1072, 1168, 1376}, {768, 769, 772, 808}, true, true, false},
    {34, 157500, {1280, 1344, 1504, 1728}, {1024, 1025, 1028, 1072}, true, true, false},
    {35, 229500, {1600, 1664, 1856, 2160}, {1200, 1201, 1204, 1250}, true, true, false},
    {36, 108000, {1280, 1328, 1440, 1688}, {1024, 1025, 1028, 1066}, true, true, false},
    {37, 162000, {1600, 1664, 1856, 2160}, {1200, 1201, 1204, 1250}, true, true, false},
    {38, 175500, {1600, 1664, 1856, 2160}, {1200, 1201, 1204, 1250}, true, true, false},
    {39, 189000, {1600, 1664, 1856, 2160}, {1200, 1201, 1204, 1250}, true, true, false},
};

// GTF's default curve: C' = ((C - J) K / 256) + J and M' = K / 256 M, with
// C 40 %, M 600 %/kHz, K 128, J 20 %.
constexpr double kGtfC = 30.0;
constexpr double kGtfM = 300.0;
constexpr int kCellPixels = 8;
constexpr double kGtfSyncPercent = 8.0;
constexpr int kGtfFrontPorchLines = 1;
constexpr int kGtfSyncLines = 3;
constexpr double kGtfMinSyncAndBackPorchUs = 550.0;

bool withinTolerance(double value, double target) {
    return target > 0 && std::fabs(value - target) <= kRateTolerance * target;
}

std::string modeName(int width, int height, double vFreqHz) {
    char text[40];
    std::snprintf(text, sizeof text, "%dx%d_%.2f", width, height, vFreqHz);
    return text;
}

// GTF's horizontal blanking for a line period, in whole character pairs.
void gtfHorizontal(platform::VideoMode& mode, int width, double hPeriodUs) {
    const double duty = kGtfC - kGtfM * hPeriodUs / 1000.0;
    const int blank =
        static_cast<int>(std::lround(width * duty / (100.0 - duty) / (2 * kCellPixels))) * 2 * kCellPixels;
    const int total = width + blank;
    const int sync = static_cast<int>(std::lround(kGtfSyncPercent / 100.0 * total / kCellPixels)) * kCellPixels;
    mode.hDisplay = static_cast<std::uint16_t>(width);
    mode.hSyncStart = static_cast<std::uint16_t>(width + blank / 2 - sync);
    mode.hSyncEnd = static_cast<std::uint16_t>(width + blank / 2);
    mode.hTotal = static_cast<std::uint16_t>(total);
}

// GTF's vertical timing: the front porch and sync of the standard, the
// frame's total lines, and GTF's sync polarities (horizontal negative,
// vertical positive).
void gtfVertical(platform::VideoMode& mode, int height, int totalLines) {
    mode.vDisplay = static_cast<std::uint16_t>(height);
    mode.vSyncStart = static_cast<std::uint16_t>(height + kGtfFrontPorchLines);
    mode.vSyncEnd = static_cast<std::uint16_t>(mode.vSyncStart + kGtfSyncLines);
    mode.vTotal = static_cast<std::uint16_t>(totalLines);
    mode.hSyncPositive = false;
    mode.vSyncPositive = true;
}

std::optional<platform::VideoMode> standardMode(std::size_t presetRow) {
    for (const StandardTiming& timing : kStandardTimings) {
        if (timing.presetRow != presetRow) continue;
        const model::PresetTiming& preset = model::PresetTimingTable[presetRow];
        platform::VideoMode mode;
        mode.name = modeName(preset.width, preset.height, preset.vFreqHz * (preset.interlaced + 1));
        mode.pixelClockKHz = timing.clockKHz;
        mode.hDisplay = timing.h[0], mode.hSyncStart = timing.h[1], mode.hSyncEnd = timing.h[2], mode.hTotal = timing.h[3];
        mode.vDisplay = timing.v[0], mode.vSyncStart = timing.v[1], mode.vSyncEnd = timing.v[2], mode.vTotal = timing.v[3];
        mode.hSyncPositive = timing.hPositive;
        mode.vSyncPositive = timing.vPositive;
        mode.interlaced = timing.interlaced;
        return mode;
    }
    return std::nullopt;
}

}  // namespace

platform::VideoMode cvtMode(int width, int height, double vFreqHz) {
    std::unique_ptr<libxcvt_mode_info, decltype(&std::free)> info(
        libxcvt_gen_mode_info(width, height, static_cast<float>(vFreqHz), false, false), &std::free);
    platform::VideoMode mode;
    if (!info) return mode;
    mode.name = modeName(width, height, vFreqHz);
    mode.pixelClockKHz = static_cast<std::uint32_t>(info->dot_clock);
    mode.hDisplay = static_cast<std::uint16_t>(info->hdisplay);
    mode.hSyncStart = info->hsync_start, mode.hSyncEnd = info->hsync_end, mode.hTotal = info->htotal;
    mode.vDisplay = static_cast<std::uint16_t>(info->vdisplay);
    mode.vSyncStart = info->vsync_start, mode.vSyncEnd = info->vsync_end, mode.vTotal = info->vtotal;
    mode.hSyncPositive = (info->mode_flags & LIBXCVT_MODE_FLAG_HSYNC_POSITIVE) != 0;
    mode.vSyncPositive = (info->mode_flags & LIBXCVT_MODE_FLAG_VSYNC_POSITIVE) != 0;
    return mode;
}

namespace {

bool ratesMatch(const platform::VideoMode& mode, const model::TimingEntry& entry) {
    return mode.hTotal != 0 && withinTolerance(mode.hFreqKHz(), entry.hFreqKHz) &&
           withinTolerance(mode.vFreqHz(), entry.vFreqHz);
}

void applyPolarities(platform::VideoMode& mode, const model::TimingEntry& entry) {
    if (entry.hPolarity != model::kPolarityEither) mode.hSyncPositive = entry.hPolarity == model::kPolarityPositive;
    if (entry.vPolarity != model::kPolarityEither) mode.vSyncPositive = entry.vPolarity == model::kPolarityPositive;
}

std::string rateText(double hKHz, double vHz) {
    char text[60];
    std::snprintf(text, sizeof text, "%.2f kHz, %.2f Hz", hKHz, vHz);
    return text;
}

}  // namespace

std::string_view modeSourceName(ModeSource source) {
    switch (source) {
    case ModeSource::Standard: return "standard";
    case ModeSource::Cvt: return "CVT";
    case ModeSource::Gtf: return "GTF";
    case ModeSource::GtfFitted: return "GTF fitted";
    }
    return "";
}

platform::VideoMode gtfMode(int width, int height, double vFreqHz) {
    platform::VideoMode mode;
    width = width / kCellPixels * kCellPixels;
    const double periodEstimate =
        (1e6 / vFreqHz - kGtfMinSyncAndBackPorchUs) / (height + kGtfFrontPorchLines);
    const int syncAndBackPorch = static_cast<int>(std::lround(kGtfMinSyncAndBackPorchUs / periodEstimate));
    const int totalLines = height + syncAndBackPorch + kGtfFrontPorchLines;
    const double rateEstimate = 1e6 / periodEstimate / totalLines;
    const double period = periodEstimate / (vFreqHz / rateEstimate);
    gtfHorizontal(mode, width, period);
    mode.pixelClockKHz = static_cast<std::uint32_t>(std::lround(mode.hTotal / period * 1000.0));
    gtfVertical(mode, height, totalLines);
    mode.name = modeName(width, height, vFreqHz);
    return mode;
}

std::optional<std::pair<int, int>> entryResolution(const model::TimingEntry& entry) {
    if (entry.resolutionIndex > 0 && entry.resolutionIndex < model::ResolutionNames.size()) {
        int width = 0, height = 0;
        const std::string label(model::ResolutionNames[entry.resolutionIndex]);
        if (std::sscanf(label.c_str(), "%d x %d", &width, &height) == 2) return std::pair{width, height};
        return std::nullopt;  // " Video Mode": no pixel size
    }
    if (entry.resolutionIndex == 0 && entry.presetIndex < model::kPresetTimingCount) {
        const model::PresetTiming& preset = model::PresetTimingTable[entry.presetIndex];
        return std::pair{int(preset.width), int(preset.height)};
    }
    return std::nullopt;
}

ModelMode modeForEntry(const model::TimingEntry& entry, int number) {
    ModelMode result;
    result.number = number;
    result.entry = entry;
    if (entry.hFreqKHz >= model::kUnknownPresetKHz) {
        result.unavailable = "its preset number is not in the standard table";
        return result;
    }
    if (entry.hFreqKHz >= 255.0) {
        result.unavailable = "the model marks this record unused";
        return result;
    }
    if (entry.hFreqKHz <= 0.0 || entry.vFreqHz <= 0.0) {
        result.unavailable = "it has no horizontal or vertical frequency";
        return result;
    }
    const auto resolution = entryResolution(entry);
    if (!resolution) {
        result.unavailable = entry.resolutionIndex == 0 ? "it names no resolution and matches no standard timing"
                                                        : "its resolution is a video mode without a pixel size";
        return result;
    }
    const auto [width, height] = *resolution;
    if (entry.presetIndex < model::kPresetTimingCount) {
        const model::PresetTiming& preset = model::PresetTimingTable[entry.presetIndex];
        auto standard = standardMode(entry.presetIndex);
        if (standard && preset.width == width && preset.height == height) {
            applyPolarities(*standard, entry);
            result.mode = std::move(standard);
            result.source = ModeSource::Standard;
            result.standardName = std::string(preset.name);
            return result;
        }
    }
    platform::VideoMode mode = cvtMode(width, height, entry.vFreqHz);
    result.source = ModeSource::Cvt;
    if (!ratesMatch(mode, entry)) {
        mode = gtfMode(width, height, entry.vFreqHz);
        result.source = ModeSource::Gtf;
    }
    if (!ratesMatch(mode, entry)) {
        // GTF's blanking for the entry's line period; the frame takes as
        // many lines as the two rates leave, the retrace at least GTF's.
        const double periodUs = 1000.0 / entry.hFreqKHz;
        const int totalLines = static_cast<int>(std::lround(entry.hFreqKHz * 1000.0 / entry.vFreqHz));
        const int retraceLines = static_cast<int>(std::ceil(kGtfMinSyncAndBackPorchUs / periodUs));
        const int neededLines = height + kGtfFrontPorchLines + retraceLines;
        if (totalLines < neededLines) {
            result.unavailable = rateText(entry.hFreqKHz, entry.vFreqHz) + " give " + std::to_string(totalLines) +
                                 " lines a frame, fewer than the " + std::to_string(neededLines) + " that " +
                                 std::to_string(height) + " lines and the retrace need";
            return result;
        }
        mode = platform::VideoMode{};
        gtfHorizontal(mode, width / kCellPixels * kCellPixels, periodUs);
        mode.pixelClockKHz = static_cast<std::uint32_t>(std::lround(mode.hTotal * entry.hFreqKHz));
        gtfVertical(mode, height, totalLines);
        mode.name = modeName(width, height, entry.vFreqHz);
        result.source = ModeSource::GtfFitted;
    }
    applyPolarities(mode, entry);
    result.mode = std::move(mode);
    return result;
}

std::vector<ModelMode> modelModes(const model::ModelDescription& model) {
    std::vector<ModelMode> modes;
    for (std::size_t i = 0; i < model::ModelDescription::kTimingCapacity; ++i) {
        const model::TimingEntry& entry = model.timingEntries[i];
        if (entry.hFreqKHz == 0.0) break;
        modes.push_back(modeForEntry(entry, static_cast<int>(i)));
    }
    return modes;
}

std::string modelModeLine(const ModelMode& mode) {
    std::string line = std::to_string(mode.number) + ": ";
    if (!mode.mode) return line + "not available: " + mode.unavailable;
    const platform::VideoMode& video = *mode.mode;
    char text[120];
    std::snprintf(text, sizeof text, "%dx%d%s %.2f kHz %.2f Hz %ch %cv", video.hDisplay, video.vDisplay,
                  video.interlaced ? "i" : "", video.hFreqKHz(), video.vFreqHz(), video.hSyncPositive ? '+' : '-',
                  video.vSyncPositive ? '+' : '-');
    line += text;
    line += " (" + (mode.source == ModeSource::Standard ? mode.standardName : std::string(modeSourceName(mode.source))) + ")";
    return line;
}

}  // namespace velmora::tools
