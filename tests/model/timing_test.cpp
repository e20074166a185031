// Timing decoding per microcontroller family, and the standard timing table.
#include <gtest/gtest.h>

#include "model/timing_tables.h"
#include "test_support.h"

namespace velmora::model::testing {
namespace {

// A model whose chunk 05 describes one mode table at MODES.
std::string modesModel(std::string_view timing, int columns, const std::vector<std::string>& records) {
    std::string text = "; [TIMING," + std::string(timing) + "]\n";
    text += "     db __ALL_GD,0,1\n";
    text += "     db " + std::to_string(columns) + "," + std::to_string(records.size()) + "\n";
    text += "     dw 0,MODES,0\n";
    for (std::size_t i = 0; i < records.size(); ++i) text += (i == 0 ? "MODES db " : "      db ") + records[i] + "\n";
    text += "     end\n";
    return text;
}

struct FamilyRow {
    std::string_view family;
    std::string_view bytes;
    double hFreqKHz;
    double vFreqHz;
    int hPolarity;
    int vPolarity;
    int resolutionIndex;
    int presetIndex;
};

void PrintTo(const FamilyRow& row, std::ostream* out) { *out << row.family << " " << row.bytes; }

class FamilyDecoding : public ::testing::TestWithParam<FamilyRow> {};

TEST_P(FamilyDecoding, DecodesOneRecord) {
    const FamilyRow& row = GetParam();
    const auto model = compileText(modesModel(std::string(row.family) + ",MODES,0", 7, {std::string(row.bytes)}));
    const std::string input = std::string(row.family) + " " + std::string(row.bytes);
    ASSERT_FALSE(model->errorFlag) << input << "\n" << model->errorText;
    ASSERT_EQ(model->timingCount(), 1u) << input;
    const TimingEntry& entry = model->timingEntries[0];
    EXPECT_NEAR(entry.hFreqKHz, row.hFreqKHz, 1e-9) << input;
    EXPECT_NEAR(entry.vFreqHz, row.vFreqHz, 1e-9) << input;
    EXPECT_EQ(entry.hPolarity, row.hPolarity) << input;
    EXPECT_EQ(entry.vPolarity, row.vPolarity) << input;
    EXPECT_EQ(entry.resolutionIndex, row.resolutionIndex) << input;
    EXPECT_EQ(entry.presetIndex, row.presetIndex) << input;
    EXPECT_EQ(model->timingEntries[1].hFreqKHz, 0.0) << input;
}

INSTANTIATE_TEST_SUITE_P(
    Families, FamilyDecoding,
    ::testing::Values(
        FamilyRow{"SGS_1", "1Fh,80h,3Ch,0,5", 31.5, 60.0, 0, 1, 1, 0xFF},
        FamilyRow{"SGS_1", "0FFh,80h,3Ch,0,5", 1000.0, 60.0, 0, 1, 1, 0xFF},
        FamilyRow{"sgs_1", "1Fh,78h,3Bh,0F1h,0Ch", 31.46875, 59.94140625, 0, 0, 3, 2},
        FamilyRow{"SGS_2", "31h,47h,70h,08h,0C0h,02h", 31.47, 70.08, 1, 1, 4, 0xFF},
        FamilyRow{"SGS_2", "31h,47h,70h,08h,22h,02h", 31.47, 70.08, 2, 2, 4, 0},
        FamilyRow{"SGS_2", "31h,47h,70h,08h,0C0h,25", 31.47, 70.08, 1, 1, 0, 0xFF},
        FamilyRow{"SGS_3", "31h,47h,59h,94h,01h", 31.47, 59.94, 0, 0, 3, 2},
        FamilyRow{"SGS_4", "40h,0,7Dh,0,80h,02h,55h", 31.25, 62.5, 1, 0, 4, 0xFF},
        FamilyRow{"SGS_4", "40h,0,7Dh,0,80h,02h,0", 1000.0, 62.5, 1, 0, 4, 0xFF},
        FamilyRow{"SGS_4", "0,0,7Dh,0,0C0h,02h,55h", 1000.0, 0.0, 0, 0, 0, 0xFF},
        FamilyRow{"SGS_4", "40h,0,0,0,0C0h,02h,55h", 1000.0, 0.0, 0, 0, 0, 0xFF},
        FamilyRow{"MOTOROLA_1", "41h,3Ah,3Ch,01h", 31.4, 60.0, 1, 0, 3, 0xFF},
        FamilyRow{"MOTOROLA_1", "0FFh,3Ah,3Ch,01h", 1000.0, 60.0, 1, 1, 3, 0xFF},
        FamilyRow{"MOTOROLA_2", "41h,3Ah,3Ch,01h", 31.4, 60.0, 1, 0, 0, 0xFF},
        FamilyRow{"VELMORA_1", "41h,3Ah,3Ch", 31.4, 60.0, 0, 1, 0, 0xFF},
        FamilyRow{"VELMORA_1", "01h,3Bh,3Ch", 31.5, 60.0, 0, 0, 0, 2},
        FamilyRow{"VELMORA_2", "3", 31.469, 59.94, 0, 0, 0, 2},
        FamilyRow{"VELMORA_2", "12", 35.156, 56.25, 2, 2, 0, 9},
        FamilyRow{"VELMORA_2", "99", 65535.0, 0.0, 0, 0, 0, 0xFF},
        FamilyRow{"SGS_9", "1Fh,80h,3Ch,0,5", 1000.0, 0.0, 0, 0, 0, 0xFF}));

TEST(DecodeTimings, TakesEachRecordAtItsOffset) {
    // Three columns of geometry offsets, then the VELMORA_1 bytes.
    const auto model = compileText(modesModel("VELMORA_1,MODES,3", 6,
                                              {"1,2,3, 01h,3Bh,3Ch", "4,5,6, 0FFh,0,0", "7,8,9, 0C1h,0D5h,4Bh"}));
    ASSERT_EQ(model->timingCount(), 3u);
    EXPECT_NEAR(model->timingEntries[0].hFreqKHz, 31.5, 1e-9);
    EXPECT_EQ(model->timingEntries[1].hFreqKHz, 1000.0);
    EXPECT_EQ(model->timingEntries[1].presetIndex, 0xFF);
    EXPECT_NEAR(model->timingEntries[2].hFreqKHz, 46.9, 1e-9);
    EXPECT_EQ(model->timingEntries[2].presetIndex, 15);
}

TEST(DecodeTimings, NothingWithoutAMatchingTable) {
    const struct {
        std::string_view timing;
        std::string_view error;
    } rows[] = {
        {"SGS_1,OTHER,0", ""},                   // names a label that is no mode table
        {"SGS_1,NOWHERE,0", "NOWHERE is not found \n"},
        {"SGS_1", ""},                           // no label: nothing decoded, nothing reported
    };
    for (const auto& row : rows) {
        std::string text = modesModel(row.timing, 5, {"1Fh,80h,3Ch,0,5"});
        text.insert(text.rfind("     end"), "OTHER db 0\n");
        const auto model = compileText(text);
        EXPECT_EQ(model->timingCount(), 0u) << row.timing;
        EXPECT_EQ(model->errorText, row.error) << row.timing;
    }
}

TEST(DecodeTimings, KeepsAtMost32Modes) {
    const auto model = compileText(modesModel("VELMORA_2,MODES,0", 1, std::vector<std::string>(40, "3")));
    EXPECT_EQ(model->timingCount(), 32u);
    EXPECT_EQ(model->timingEntries[32].hFreqKHz, 0.0);
    EXPECT_EQ(model->errorText, "timing table MODES has 40 modes: only the first 32 are decoded\n");
}

TEST(DecodeTimings, EmptiesThePreviousList) {
    ModelDescription model;
    model.compileText(modesModel("VELMORA_2,MODES,0", 1, {"3", "13"}));
    ASSERT_EQ(model.timingCount(), 2u);
    model.compileText(modelText({"     db 0"}));
    EXPECT_EQ(model.timingCount(), 0u);
}

TimingEntry timing(double hFreqKHz, double vFreqHz, int hPolarity, int vPolarity) {
    TimingEntry entry;
    entry.hFreqKHz = hFreqKHz;
    entry.vFreqHz = vFreqHz;
    entry.hPolarity = static_cast<std::uint8_t>(hPolarity);
    entry.vPolarity = static_cast<std::uint8_t>(vPolarity);
    return entry;
}

TEST(PresetLookup, MatchesWithinTolerancesAndFirstRowWins) {
    const struct {
        TimingEntry entry;
        int row;
    } rows[] = {
        {timing(31.469, 59.94, 0, 0), 2},       // not the later "Mac 640 60Hz"
        {timing(31.469, 59.94, 2, 2), 2},
        {timing(31.469, 59.94, 1, 0), 0xFF},
        {timing(35.156, 56.25, 0, 1), 9},       // the row accepts either polarity
        {timing(35.522, 86.958, 1, 1), 3},      // the interlaced row counts fields
        {timing(35.522, 43.479, 1, 1), 0xFF},
        {timing(31.569, 59.94, 0, 0), 2},       // 0.1 kHz off
        {timing(31.579, 59.94, 0, 0), 0xFF},    // 0.11 kHz off
        {timing(31.469, 60.44, 0, 0), 2},       // 0.5 Hz off
        {timing(31.469, 60.45, 0, 0), 0xFF},    // 0.51 Hz off
        {timing(269.8, 200.0, 0, 1), 64},
        {timing(999.0, 0.0, 0, 0), 0xFF},
        {timing(1000.0, 59.94, 0, 0), 0xFF},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(presetLookup(row.entry), row.row)
            << row.entry.hFreqKHz << " kHz " << row.entry.vFreqHz << " Hz " << int(row.entry.hPolarity) << "/"
            << int(row.entry.vPolarity);
    }
}

TEST(PresetTimingTable, NumbersNameLengthsAndTerminator) {
    EXPECT_EQ(findPresetByNumber(1), 0u);
    EXPECT_EQ(findPresetByNumber(31), 24u);
    EXPECT_EQ(findPresetByNumber(75), 64u);
    EXPECT_EQ(findPresetByNumber(9), std::nullopt);
    EXPECT_EQ(findPresetByNumber(0), std::nullopt);
    EXPECT_EQ(PresetTimingTable[kPresetTimingCount].number, 0);
    for (const PresetTiming& row : PresetTimingTable) EXPECT_LE(row.name.size(), 20u) << row.name;
    for (std::string_view name : ResolutionNames) EXPECT_EQ(name.size(), 11u) << "'" << name << "'";
}

}  // namespace
}  // namespace velmora::model::testing
