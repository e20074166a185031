// EDID blocks of CRT monitors decoded field by field. The blocks in edid/
// are hex texts laid out like analog monitors of the late nineties (versions
// 1.1 to 1.3); the expected values are those `edid-decode` reads from the
// same files.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "bench/edid_eeprom.h"
#include "tools/edid_decoder.h"
#include "tools/edid_input.h"
#include "tools/edid_text.h"

namespace velmora::tools {
namespace {

std::string blockFile(const std::string& name) { return std::string(VELMORA_EDID_BLOCKS_DIR) + name + ".hex"; }

std::vector<std::uint8_t> blockBytes(const std::string& name) {
    if (name == "bench") {
        const auto block = bench::benchEdidBaseBlock();
        return {block.begin(), block.end()};
    }
    const EdidBytes input = readEdidFile(blockFile(name));
    EXPECT_TRUE(input.ok) << input.refusal;
    return input.bytes;
}

struct Detailed {
    double clockMHz;
    int hActive, hBlank, vActive, vBlank, hFront, hSync, vFront, vSync, widthMm, heightMm;
    bool interlaced;
    double hKHz, vHz;
};

struct BlockRow {
    std::string name;
    std::string version, manufacturer;
    int productCode;
    std::uint32_t serialNumber;
    int week, year;
    bool checksumValid;
    int widthCm, heightCm;
    double gamma;
    std::size_t establishedCount;
    std::vector<std::string> standard;  // "WxH@R"
    Detailed detailed;
    std::optional<std::string> name_, serial;
    std::array<int, 5> limits;  // V min, V max, H min, H max, pixel clock
    int extensionCount;
};

void PrintTo(const BlockRow& row, std::ostream* out) { *out << row.name; }

class DecodedBlocks : public testing::TestWithParam<BlockRow> {};

TEST_P(DecodedBlocks, ReadAsTheReferenceReaderReadsThem) {
    const BlockRow& row = GetParam();
    const EdidDecoding decoding = decodeEdid(blockBytes(row.name));
    ASSERT_TRUE(decoding.edid) << decoding.refusal;
    const DecodedEdid& e = *decoding.edid;
    EXPECT_TRUE(e.headerValid);
    EXPECT_EQ(e.checksumValid, row.checksumValid);
    EXPECT_EQ(std::to_string(e.version) + "." + std::to_string(e.revision), row.version);
    EXPECT_EQ(e.manufacturer, row.manufacturer);
    EXPECT_EQ(e.productCode, row.productCode);
    EXPECT_EQ(e.serialNumber, row.serialNumber);
    EXPECT_EQ(e.week, row.week);
    EXPECT_EQ(e.year, row.year);
    EXPECT_TRUE(e.analog);
    EXPECT_EQ(e.screenWidthCm, row.widthCm);
    EXPECT_EQ(e.screenHeightCm, row.heightCm);
    ASSERT_TRUE(e.gamma);
    EXPECT_NEAR(*e.gamma, row.gamma, 1e-9);
    EXPECT_TRUE(e.dpmsStandby && e.dpmsSuspend && e.dpmsActiveOff);
    EXPECT_EQ(e.establishedTimings.size(), row.establishedCount);
    std::vector<std::string> standard;
    for (const auto& t : e.standardTimings) {
        standard.push_back(std::to_string(t.mode.width) + "x" + std::to_string(t.mode.height) + "@" +
                           std::to_string(t.mode.refreshHz));
    }
    EXPECT_EQ(standard, row.standard);

    ASSERT_EQ(e.descriptors[0].kind, EdidDescriptorKind::DetailedTiming);
    const EdidDetailedTiming& t = e.descriptors[0].timing;
    const Detailed& d = row.detailed;
    EXPECT_NEAR(t.pixelClockMHz, d.clockMHz, 1e-9);
    EXPECT_EQ((std::array{t.hActive, t.hBlank, t.vActive, t.vBlank, t.hFrontPorch, t.hSyncWidth, t.vFrontPorch,
                          t.vSyncWidth, t.widthMm, t.heightMm}),
              (std::array{d.hActive, d.hBlank, d.vActive, d.vBlank, d.hFront, d.hSync, d.vFront, d.vSync, d.widthMm,
                          d.heightMm}));
    EXPECT_EQ(t.interlaced, d.interlaced);
    EXPECT_NEAR(t.hFreqKHz, d.hKHz, 0.0005);
    EXPECT_NEAR(t.vFreqHz, d.vHz, 0.0005);

    EXPECT_EQ(e.displayName, row.name_);
    EXPECT_EQ(e.displaySerial, row.serial);
    ASSERT_TRUE(e.rangeLimits);
    const EdidRangeLimits& r = *e.rangeLimits;
    EXPECT_EQ((std::array{r.minVFreqHz, r.maxVFreqHz, r.minHFreqKHz, r.maxHFreqKHz, r.maxPixelClockMHz}), row.limits);
    EXPECT_EQ(e.extensionCount, row.extensionCount);
}

INSTANTIATE_TEST_SUITE_P(
    CrtMonitors, DecodedBlocks,
    testing::Values(
        BlockRow{"bench", "1.3", "VLM", 5940, 74565, 12, 2001, true, 32, 24, 2.20, 15,
                 {"1024x768@85", "1280x1024@60", "1600x1200@75", "1152x864@75"},
                 {157.5, 1280, 448, 1024, 48, 64, 160, 1, 3, 320, 240, false, 91.146, 85.024},
                 "VELMORA CRT", "VB0012345", {50, 160, 30, 110, 230}, 0},
        // Before version 1.3 aspect code 0 is 1:1.
        BlockRow{"crt17_v11", "1.1", "NEC", 17767, 123456, 26, 1997, true, 32, 24, 2.60, 10,
                 {"1024x768@75", "1280x1024@60", "1024x1024@60"},
                 {78.75, 1024, 288, 768, 32, 16, 96, 1, 3, 310, 230, false, 60.023, 75.029},
                 "MULTISYNC E17", "2701234", {50, 120, 30, 70, 110}, 0},
        // The name is split over two descriptors.
        BlockRow{"crt19_v12_split_name", "1.2", "IVM", 6404, 0, 44, 1999, true, 36, 27, 2.20, 13,
                 {"1600x1200@75", "1280x1024@85", "1152x864@75", "1024x768@100"},
                 {202.5, 1600, 560, 1200, 50, 64, 192, 1, 3, 350, 262, false, 93.750, 75.000},
                 "VISION MASTER PRO 454", std::nullopt, {50, 160, 30, 96, 210}, 0},
        // Two descriptors filled with 01h; no week; aspect code 0 is 16:10.
        BlockRow{"crt15_v13_ones", "1.3", "SNY", 336, 12345, 0, 2001, true, 28, 21, 2.30, 3,
                 {"800x600@85", "1280x800@60"},
                 {56.25, 800, 248, 600, 31, 32, 64, 1, 3, 270, 200, false, 53.674, 85.061},
                 std::nullopt, std::nullopt, {48, 120, 30, 70, 60}, 0},
        // Wrong checksum, model year, interlaced timing (field rate), one extension.
        BlockRow{"crt21_v13_bad_checksum", "1.3", "DEL", 40993, 892350512, 255, 2002, false, 40, 30, 2.25, 17,
                 {"1600x1200@85", "1920x1440@75", "1280x1024@100", "1024x768@120", "640x480@85"},
                 {44.9, 1024, 240, 384, 24, 8, 176, 0, 4, 400, 300, true, 35.522, 86.958},
                 std::nullopt, std::nullopt, {48, 160, 30, 121, 340}, 1}),
    [](const auto& info) { return info.param.name; });

TEST(EdidDescriptors, EachKindReadFromItsTag) {
    const auto kinds = [](const std::string& name) {
        std::vector<EdidDescriptorKind> result;
        const EdidDecoding decoding = decodeEdid(blockBytes(name));
        for (const auto& d : decoding.edid->descriptors) result.push_back(d.kind);
        return result;
    };
    using K = EdidDescriptorKind;
    EXPECT_EQ(kinds("crt15_v13_ones"), (std::vector{K::DetailedTiming, K::FilledWithOnes, K::FilledWithOnes, K::RangeLimits}));
    EXPECT_EQ(kinds("crt21_v13_bad_checksum"),
              (std::vector{K::DetailedTiming, K::RangeLimits, K::WhitePoints, K::StandardTimings}));

    const DecodedEdid e = *decodeEdid(blockBytes("crt21_v13_bad_checksum")).edid;
    const EdidRangeLimits& r = e.descriptors[1].limits;
    EXPECT_EQ((std::array{int(r.timingSupport), r.gtfStartKHz, r.gtfM, r.gtfK}), (std::array{2, 120, 600, 128}));
    EXPECT_DOUBLE_EQ(r.gtfC, 40.0);
    EXPECT_DOUBLE_EQ(r.gtfJ, 20.0);
    const auto& points = e.descriptors[2].whitePoints;
    ASSERT_EQ(points.size(), 2u);
    EXPECT_NEAR(points[0].point.x, 0.3125, 1e-4);
    EXPECT_NEAR(points[0].point.y, 0.3281, 1e-4);
    EXPECT_EQ(points[0].gamma, 2.2);
    EXPECT_EQ(points[1].gamma, std::nullopt);
    ASSERT_EQ(e.descriptors[3].standard.size(), 2u);
    EXPECT_EQ(e.descriptors[3].standard[0].mode.width, 1856);
    EXPECT_EQ(e.descriptors[3].standard[0].mode.height, 1392);
    EXPECT_EQ(e.extensionTags, std::vector<std::uint8_t>{0x02});
}

struct StandardRow {
    std::uint8_t first, second;
    int revision;
    std::optional<std::array<int, 3>> mode;  // width, height, rate
};

TEST(EdidStandardTimings, UnusedEntriesAndAspectCodes) {
    const StandardRow rows[] = {
        {0x01, 0x01, 3, std::nullopt},       {0x00, 0x00, 3, std::nullopt},       {0x01, 0x40, 3, std::nullopt},
        {0x61, 0x00, 2, {{1024, 1024, 60}}}, {0x61, 0x00, 3, {{1024, 640, 60}}},  {0x61, 0x59, 3, {{1024, 768, 85}}},
        {0x81, 0x80, 0, {{1280, 1024, 60}}}, {0xD1, 0xC0, 3, {{1920, 1080, 60}}}, {0xFF, 0x3F, 3, {{2288, 1430, 123}}},
    };
    for (const StandardRow& row : rows) {
        const auto entry = decodeStandardTiming(row.first, row.second, 1, row.revision);
        const std::string shown = testing::PrintToString(row.first) + " " + testing::PrintToString(row.second);
        ASSERT_EQ(entry.has_value(), row.mode.has_value()) << shown;
        if (entry) {
            EXPECT_EQ((std::array{entry->mode.width, entry->mode.height, entry->mode.refreshHz}), *row.mode) << shown;
        }
    }
}

TEST(EdidText, SaysWhatATechnicianLooksFor) {
    const struct {
        std::string block;
        std::vector<std::string> lines;
    } rows[] = {
        {"crt21_v13_bad_checksum",
         {"Checksum: WRONG (C7h, should be A6h)\n", "Model year: 2002\n",
          "  1024x768i (two fields a frame, field rate) @ 86.958 Hz, 35.522 kHz, pixel clock 44.90 MHz\n",
          "Chromaticity (x, y): red 0.6103, 0.3398; green 0.2900, 0.5996;\n  blue 0.1503, 0.0703; white 0.3134, 0.3291\n",
          "  block 1: CTA-861 (tag 02h), not decoded\n"}},
        {"crt15_v13_ones",
         {"Descriptor 2: unused (filled with 01h)\n", "Made in: 2001\n", "Display name: not given\n",
          "Range limits: vertical 48-120 Hz, horizontal 30-70 kHz, pixel clock up to 60 MHz, default GTF\n"}},
        {"crt19_v12_split_name",
         {"Descriptor 4: product name \" PRO 454\"\n", "Display name: \"VISION MASTER PRO 454\"\n",
          "Checksum: valid (EFh)\n"}},
        {"crt17_v11",
         {"Input: analog, 0.714/0.286 V (1.000 V p-p), blank-to-black setup\nSync: separate, composite, serrated V sync\n",
          "  1024x1024 @ 60 Hz (1:1)\n", "Made in: week 26 of 1997\n"}},
    };
    for (const auto& row : rows) {
        const std::string text = edidText(*decodeEdid(blockBytes(row.block)).edid);
        for (const auto& line : row.lines) EXPECT_NE(text.find(line), std::string::npos) << row.block << ": " << line << text;
    }
}

// The bench block with a few bytes changed: fields at the edges of their
// codings, each with a line the text must show.
TEST(EdidFieldEdges, ChangedBytesReadAsTheirCodingSays) {
    const struct {
        std::vector<std::pair<std::size_t, std::uint8_t>> changes;
        std::string line;
    } rows[] = {
        {{{16, 0xFF}}, "Model year: 2001\n"},
        {{{16, 0x00}}, "Made in: 2001\n"},
        {{{8, 0x00}, {9, 0x00}}, "Manufacturer: ???\n"},
        {{{23, 0xFF}}, "Gamma: not given\n"},
        {{{20, 0x81}}, "Input: digital, DFP 1.x compatible\n"},
        {{{24, 0x00}}, "DPMS: none\n"},
        {{{37, 0x7F}}, "Manufacturer's timings: 7Fh\n"},
        // From version 1.4 the offsets byte adds 255 to the rate limits.
        {{{19, 4}, {76, 0x0F}}, "Range limits: vertical 305-415 Hz, horizontal 285-365 kHz"},
        {{{76, 0x0F}}, "Range limits: vertical 50-160 Hz, horizontal 30-110 kHz"},
        {{{19, 4}, {21, 79}, {22, 0}}, "Maximum image size: aspect ratio 1.78:1 (landscape)\n"},
        {{{21, 0}, {22, 0}}, "Maximum image size: not given (0 x 0 cm)\n"},
        {{{126, 2}}, "Extension blocks: 2\n  2 of them not in the data\n"},
        // A descriptor of text with a byte outside ASCII and trailing blanks.
        {{{111, 0xFE}, {113, 'A'}, {114, 0xE9}, {115, ' '}, {116, ' '}, {117, 0x0A}}, "Descriptor 4: text \"A?\"\n"},
        {{{93, 0x42}}, "Descriptor 3: tag 42h, not decoded\n"},
        {{{93, 0x05}}, "Descriptor 3: manufacturer's data (tag 05h)\n"},
    };
    for (const auto& row : rows) {
        auto bytes = blockBytes("bench");
        for (const auto& [at, value] : row.changes) bytes[at] = value;
        const EdidDecoding decoding = decodeEdid(bytes);
        ASSERT_TRUE(decoding.edid) << row.line;
        const std::string text = edidText(*decoding.edid);
        EXPECT_NE(text.find(row.line), std::string::npos) << row.line << "\n" << text;
    }
}

}  // namespace
}  // namespace velmora::tools
