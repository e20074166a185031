// The Preset Timing window's two columns.
#include "tools/preset_timing_text.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "model/timing_tables.h"

namespace velmora::tools {
namespace {

using model::TimingEntry;

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return lines;
}

std::unique_ptr<model::ModelDescription> sampleModel(const std::string& file) {
    auto model = std::make_unique<model::ModelDescription>();
    model->modelPath = std::string(VELMORA_SAMPLE_MODELS_DIR) + file;
    EXPECT_EQ(model->loadModelFile(), 1) << model->lastLoadFailure();
    return model;
}

TEST(PresetTimingTexts, SampleModelListsEveryTimingBesideItsStandard) {
    const auto model = sampleModel("vm1795.mdl");
    const PresetTimingTexts texts = presetTimingTexts(*model);
    EXPECT_EQ(texts.modelName, "VM-1795");
    const auto left = linesOf(texts.left);
    const auto right = linesOf(texts.right);
    ASSERT_EQ(left.size(), model->timingCount());
    ASSERT_EQ(right.size(), left.size());  // line for line, a not-defined mode included
    EXPECT_EQ(left[0], "  0  31.47  70.09 NP  720 x  400");
    EXPECT_EQ(right[0], "  2: IBM VGA2 70Hz");
    EXPECT_EQ(left[1], "  1  31.47  59.94 NN  640 x  480");
    EXPECT_EQ(right[1], "  3: IBM VGA3 60Hz");
    EXPECT_EQ(left.back(), " 10             Not Defined...");
    EXPECT_EQ(right.back(), "");
}

TEST(PresetTimingTexts, ModelWithoutTimingsSaysSo) {
    model::ModelDescription model;
    model.compileText("; [MODEL,BARE]\n      end\n");
    const PresetTimingTexts texts = presetTimingTexts(model);
    EXPECT_EQ(texts.modelName, "BARE");
    EXPECT_EQ(texts.left, "\n\n\nTiming is not Defined");
    EXPECT_EQ(texts.right, "");
}

struct TimingRow {
    std::string name;
    TimingEntry entry;
    std::string left;
    std::string right;
};

void PrintTo(const TimingRow& row, std::ostream* out) { *out << row.name; }

class TimingLine : public ::testing::TestWithParam<TimingRow> {};

TEST_P(TimingLine, FormatsBothColumns) {
    const TimingRow& row = GetParam();
    auto model = std::make_unique<model::ModelDescription>();
    model->timingEntries[0] = row.entry;
    const PresetTimingTexts texts = presetTimingTexts(*model);
    EXPECT_EQ(texts.left, row.left + "\n") << row.name;
    EXPECT_EQ(texts.right, row.right + "\n") << row.name;
}

INSTANTIATE_TEST_SUITE_P(
    Entries, TimingLine,
    ::testing::Values(
        TimingRow{"StandardMatch", {31.469, 59.94, 3, 0, 0, 2}, "  0  31.47  59.94 NN  640 x  480",
                  "  3: IBM VGA3 60Hz"},
        TimingRow{"EitherPolarityAndNoMatch", {35.0, 56.0, 5, 2, 1, model::kNoPreset}, "  0  35.00  56.00 -P  800 x  600",
                  "     --------------"},
        TimingRow{"VacantMode", {model::kVacantModeKHz, 0.0, 0, 0, 0, model::kNoPreset},
                  "  0             Not Defined...", ""},
        TimingRow{"JustBelowTheLimit", {254.99, 60.0, 18, 1, 1, model::kNoPreset},
                  "  0 254.99  60.00 PP  Video Mode", "     --------------"},
        TimingRow{"AtTheLimit", {255.0, 60.0, 18, 1, 1, model::kNoPreset}, "  0             Not Defined...", ""},
        // Indexes the tables do not have show a blank label and no match.
        TimingRow{"ResolutionOutOfRange", {31.5, 60.0, 400, 0, 0, 200}, "  0  31.50  60.00 NN            ",
                  "     --------------"}),
    [](const auto& info) { return info.param.name; });

TEST(PresetTimingTexts, ShowsAtMostSixteenTimings) {
    auto model = std::make_unique<model::ModelDescription>();
    for (std::size_t i = 0; i < 20; ++i) model->timingEntries[i] = {31.469, 59.94, 3, 0, 0, 2};
    const PresetTimingTexts texts = presetTimingTexts(*model);
    const auto left = linesOf(texts.left);
    ASSERT_EQ(left.size(), 16u);
    EXPECT_EQ(left.back().substr(0, 3), " 15");
    EXPECT_EQ(linesOf(texts.right).size(), 16u);
}

}  // namespace
}  // namespace velmora::tools
