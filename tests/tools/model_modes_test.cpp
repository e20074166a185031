// The model's timing list as modes a graphics card can drive: standard
// timings where an entry names one, otherwise CVT (checked against the
// cvt program) or GTF, always within half a percent of the entry's rates.
#include "tools/model_modes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <sstream>

#include "model/model_description.h"

namespace velmora::tools {
namespace {

using model::TimingEntry;
using platform::VideoMode;

// What `cvt W H V` prints as its modeline, or nothing when cvt is missing.
std::optional<VideoMode> cvtProgram(int width, int height, double vFreqHz) {
    char command[80];
    std::snprintf(command, sizeof command, "cvt %d %d %.3f 2>/dev/null", width, height, vFreqHz);
    std::unique_ptr<FILE, decltype(&pclose)> pipe(popen(command, "r"), &pclose);
    if (!pipe) return std::nullopt;
    char line[256];
    while (std::fgets(line, sizeof line, pipe.get()) != nullptr) {
        char name[64], hPolarity[8], vPolarity[8];
        double clockMHz = 0;
        unsigned h[4], v[4];
        if (std::sscanf(line, "Modeline %63s %lf %u %u %u %u %u %u %u %u %7s %7s", name, &clockMHz, &h[0], &h[1], &h[2],
                        &h[3], &v[0], &v[1], &v[2], &v[3], hPolarity, vPolarity) != 12) {
            continue;
        }
        VideoMode mode;
        mode.pixelClockKHz = static_cast<std::uint32_t>(std::lround(clockMHz * 1000));
        mode.hDisplay = std::uint16_t(h[0]), mode.hSyncStart = std::uint16_t(h[1]);
        mode.hSyncEnd = std::uint16_t(h[2]), mode.hTotal = std::uint16_t(h[3]);
        mode.vDisplay = std::uint16_t(v[0]), mode.vSyncStart = std::uint16_t(v[1]);
        mode.vSyncEnd = std::uint16_t(v[2]), mode.vTotal = std::uint16_t(v[3]);
        mode.hSyncPositive = hPolarity[0] == '+';
        mode.vSyncPositive = vPolarity[0] == '+';
        return mode;
    }
    return std::nullopt;
}

bool polarityAgrees(std::uint8_t entryPolarity, bool positive) {
    return entryPolarity == model::kPolarityEither || (entryPolarity == model::kPolarityPositive) == positive;
}

class SampleModelModes : public ::testing::TestWithParam<const char*> {};

// Every entry of every sample model: a usable mode at the entry's size and
// rates with its polarities, and its blanking from the source it names.
TEST_P(SampleModelModes, EveryEntryIsAModeAtItsRatesOrSaysWhyNot) {
    auto model = std::make_unique<model::ModelDescription>();
    model->modelPath = std::string(VELMORA_SAMPLE_MODELS_DIR) + GetParam();
    ASSERT_EQ(model->loadModelFile(), 1) << model->lastLoadFailure();
    const std::vector<ModelMode> modes = modelModes(*model);
    ASSERT_EQ(modes.size(), model->timingCount());
    int usable = 0;
    for (const ModelMode& mode : modes) {
        SCOPED_TRACE(modelModeLine(mode));
        const TimingEntry& entry = mode.entry;
        if (!mode.mode) {
            EXPECT_FALSE(mode.unavailable.empty());
            continue;
        }
        ++usable;
        const VideoMode& video = *mode.mode;
        const auto resolution = entryResolution(entry);
        ASSERT_TRUE(resolution);
        EXPECT_EQ(video.hDisplay, resolution->first);
        EXPECT_EQ(video.vDisplay, resolution->second);
        EXPECT_NEAR(video.hFreqKHz(), entry.hFreqKHz, kRateTolerance * entry.hFreqKHz);
        EXPECT_NEAR(video.vFreqHz(), entry.vFreqHz, kRateTolerance * entry.vFreqHz);
        EXPECT_TRUE(polarityAgrees(entry.hPolarity, video.hSyncPositive));
        EXPECT_TRUE(polarityAgrees(entry.vPolarity, video.vSyncPositive));
        EXPECT_TRUE(video.hDisplay < video.hSyncStart && video.hSyncStart < video.hSyncEnd &&
                    video.hSyncEnd < video.hTotal && video.vDisplay <= video.vSyncStart &&
                    video.vSyncStart < video.vSyncEnd && video.vSyncEnd < video.vTotal);
        // CVT at the entry's size and rate as libxcvt gives it here and as
        // the cvt program prints it, whatever source the mode took.
        const VideoMode cvt = cvtMode(resolution->first, resolution->second, entry.vFreqHz);
        const auto printed = cvtProgram(resolution->first, resolution->second, entry.vFreqHz);
        ASSERT_TRUE(printed) << "the cvt program (Debian xcvt) is needed";
        VideoMode unnamed = cvt;
        unnamed.name.clear();
        EXPECT_NEAR(unnamed.pixelClockKHz, printed->pixelClockKHz, 5u);  // cvt prints MHz with two decimals
        unnamed.pixelClockKHz = printed->pixelClockKHz;
        EXPECT_EQ(unnamed, *printed) << modelineText(*printed);
        switch (mode.source) {
        case ModeSource::Standard: {
            ASSERT_LT(entry.presetIndex, model::kPresetTimingCount);
            const model::PresetTiming& preset = model::PresetTimingTable[entry.presetIndex];
            EXPECT_EQ(mode.standardName, preset.name);
            EXPECT_NEAR(video.hFreqKHz(), preset.hFreqKHz, 0.0015);
            EXPECT_NEAR(video.vFreqHz(), preset.vFreqHz * (preset.interlaced + 1), 0.0015 * preset.vFreqHz);
            EXPECT_EQ(video.interlaced, preset.interlaced == 1);
            break;
        }
        case ModeSource::Cvt: {
            VideoMode compared = cvtMode(resolution->first, resolution->second, entry.vFreqHz);
            compared.hSyncPositive = video.hSyncPositive;  // the entry's polarities win
            compared.vSyncPositive = video.vSyncPositive;
            EXPECT_EQ(video, compared);
            break;
        }
        case ModeSource::Gtf:
        case ModeSource::GtfFitted: EXPECT_FALSE(video.interlaced); break;
        }
    }
    EXPECT_GT(usable, 0);
}

INSTANTIATE_TEST_SUITE_P(Models, SampleModelModes,
                         ::testing::Values("tutorial.mdl", "vm1495.mdl", "vm1595.mdl", "vm1795.mdl", "vm1995pro.mdl",
                                           "vm2195.mdl"));

// GTF against the modelines the GTF spreadsheet's rules give for three
// common modes (as the X server's gtf program prints them).
TEST(GtfMode, MatchesPublishedGtfModelines) {
    struct Row {
        int width, height;
        double vFreqHz;
        std::uint32_t clockKHz;
        std::uint16_t h[4], v[4];
    };
    const Row rows[] = {
        {1024, 768, 85.0, 94390, {1024, 1088, 1200, 1376}, {768, 769, 772, 807}},
        {800, 600, 60.0, 38220, {800, 832, 912, 1024}, {600, 601, 604, 622}},
        {640, 480, 60.0, 23860, {640, 656, 720, 800}, {480, 481, 484, 497}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.width) + "x" + std::to_string(row.height));
        const VideoMode mode = gtfMode(row.width, row.height, row.vFreqHz);
        EXPECT_NEAR(mode.pixelClockKHz, row.clockKHz, 10u);
        EXPECT_EQ((std::array{mode.hDisplay, mode.hSyncStart, mode.hSyncEnd, mode.hTotal}),
                  (std::array{row.h[0], row.h[1], row.h[2], row.h[3]}));
        EXPECT_EQ((std::array{mode.vDisplay, mode.vSyncStart, mode.vSyncEnd, mode.vTotal}),
                  (std::array{row.v[0], row.v[1], row.v[2], row.v[3]}));
    }
}

TimingEntry entryOf(double hKHz, double vHz, std::uint16_t resolution, std::uint8_t h, std::uint8_t v) {
    TimingEntry entry{hKHz, vHz, resolution, h, v, model::kNoPreset};
    entry.presetIndex = model::presetLookup(entry);
    return entry;
}

// Entries the firmware keeps but the card cannot be given, and how the
// mode's source is chosen for those it can.
TEST(ModeForEntry, ChoosesTheSourceOrSaysWhyNot) {
    struct Row {
        const char* what;
        TimingEntry entry;
        std::optional<ModeSource> source;  // none: not available
        const char* reasonPart;
    };
    const Row rows[] = {
        {"a vacant record", entryOf(1000.0, 60.0, 3, 0, 0), std::nullopt, "unused"},
        {"a preset number outside the table", entryOf(65535.0, 60.0, 3, 0, 0), std::nullopt, "not in the standard"},
        {"the video-mode label", entryOf(15.7, 59.94, 18, 0, 0), std::nullopt, "video mode"},
        {"no resolution, no standard", entryOf(40.0, 61.0, 0, 0, 0), std::nullopt, "names no resolution"},
        {"more lines than the rates leave", entryOf(31.5, 70.0, 16, 0, 0), std::nullopt, "fewer than"},
        {"VGA at 60 Hz", entryOf(31.469, 59.94, 3, 0, 0), ModeSource::Standard, ""},
        {"a standard's rates with another size", entryOf(31.469, 59.94, 2, 0, 0), ModeSource::GtfFitted, ""},
        {"no resolution, the standard's size", entryOf(48.363, 60.004, 0, 0, 0), ModeSource::Standard, ""},
        {"CVT's own rates", entryOf(68.68, 84.89, 9, 0, 1), ModeSource::Cvt, ""},
        {"GTF's own rates (CVT's clock steps miss 60 Hz)", entryOf(29.82, 60.0, 3, 0, 1), ModeSource::Gtf, ""},
        {"neither: fitted", entryOf(64.0, 75.0, 9, 1, 1), ModeSource::GtfFitted, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const ModelMode mode = modeForEntry(row.entry, 4);
        ASSERT_EQ(mode.mode.has_value(), row.source.has_value()) << mode.unavailable;
        if (!row.source) {
            EXPECT_NE(mode.unavailable.find(row.reasonPart), std::string::npos) << mode.unavailable;
            EXPECT_EQ(modelModeLine(mode), "4: not available: " + mode.unavailable);
            continue;
        }
        EXPECT_EQ(mode.source, *row.source) << modelModeLine(mode);
        EXPECT_NEAR(mode.mode->hFreqKHz(), row.entry.hFreqKHz, kRateTolerance * row.entry.hFreqKHz);
        EXPECT_NEAR(mode.mode->vFreqHz(), row.entry.vFreqHz, kRateTolerance * row.entry.vFreqHz);
    }
}

}  // namespace
}  // namespace velmora::tools
