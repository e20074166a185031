#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bench/edid_eeprom.h"
#include "link/block_text.h"
#include "link/ddc1_decoder.h"
#include "link_on_bench.h"

namespace velmora::link {
namespace {

using testing::hexBytes;
using testing::LinkOnBench;

std::vector<std::uint8_t> firstBytes(const JigLink& link, std::size_t count) {
    return {link.replyBuffer().begin(), link.replyBuffer().begin() + static_cast<std::ptrdiff_t>(count)};
}

// --- DDC2B blocks ---------------------------------------------------------------------

TEST(EepromBlock, BlockZeroIsTheEdidBaseBlockThenFF) {
    LinkOnBench f;
    ASSERT_NE(f.link.readEepromBlock(0), nullptr);
    const auto edid = bench::benchEdidBaseBlock();
    EXPECT_EQ(firstBytes(f.link, 128), std::vector<std::uint8_t>(edid.begin(), edid.end()));
    for (std::size_t i = 128; i < 256; ++i) EXPECT_EQ(f.link.replyBuffer()[i], 0xFF) << i;
    // Every byte but the last is acknowledged.
    EXPECT_EQ(f.bench.slaveBus().masterAcknowledges, 255u);
    EXPECT_EQ(f.bench.slaveBus().masterRefusals, 1u);
}

TEST(EepromBlock, DeviceAddressIsA0PlusTwiceTheBlockModulo256) {
    struct Row {
        std::int32_t block;
        std::size_t slot;  // which EEPROM answers
    };
    for (const Row row : {Row{0, 0}, Row{1, 1}, Row{3, 3}, Row{128, 0}, Row{131, 3}, Row{99, 0}}) {
        LinkOnBench f;
        for (std::size_t slot = 1; slot < 4; ++slot) f.bench.eeprom(slot).present = true;
        // 99: 0xA0 + 198 = 0x166 -> 0x66, where nobody answers.
        const bool answers = row.block != 99;
        const std::uint8_t* reply = f.link.readEepromBlock(row.block);
        EXPECT_EQ(reply != nullptr, answers) << "block " << row.block;
        if (!answers) continue;
        const auto& contents = f.bench.eeprom(row.slot).contents;
        EXPECT_EQ(firstBytes(f.link, 256), std::vector<std::uint8_t>(contents.begin(), contents.end()))
            << "block " << row.block;
    }
}

TEST(EepromBlock, AbsentBlockFailsQuietlyAndShowsTheGrid) {
    LinkOnBench f;
    f.link.transcriptOn();
    f.jig.bus().setBusDelayCount(60);
    EXPECT_EQ(f.link.readEepromBlock(3), nullptr);
    EXPECT_TRUE(f.messages.messages.empty());
    EXPECT_EQ(readEdidBlockText(f.link, 3), unreadBlockText());
    // The read begins with a bus reset, failed or not.
    EXPECT_EQ(f.link.transcriptLength(), -1);
    EXPECT_EQ(f.jig.bus().busDelayCount(), 100);
}

// --- Block texts --------------------------------------------------------------------------

TEST(BlockText, RowsOfSixteenCellsEachEndingInCrLf) {
    std::array<std::uint8_t, 256> block{};
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<std::uint8_t>(i);
    const std::string text = blockRowsText(block);
    ASSERT_EQ(text.size(), 16u * 50u);
    EXPECT_EQ(text.substr(0, 50), "00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F \r\n");
    EXPECT_EQ(text.substr(750), "F0 F1 F2 F3 F4 F5 F6 F7 F8 F9 FA FB FC FD FE FF \r\n");
}

TEST(BlockText, UnreadGridHasNoLineBreakAfterTheLastRow) {
    const std::string text = unreadBlockText();
    ASSERT_EQ(text.size(), 16u * 48u + 15u * 2u);
    for (std::size_t address = 0; address < 256; ++address) {
        EXPECT_EQ(text.substr((address % 16) * 3 + (address / 16) * 50, 3), "XX ") << address;
    }
    EXPECT_EQ(text.substr(text.size() - 3), "XX ");
}

// --- DDC1 decoding (pure) ---------------------------------------------------------------

// Runs of the stream of `edid` at bit time `bitTime` ms, starting at cycle
// cell `startCell`, `cells` cells long; each run lengthened by `jitter` ms.
std::vector<std::uint16_t> streamRuns(const std::array<std::uint8_t, 128>& edid, std::int32_t bitTime,
                                      std::int32_t startCell, std::int32_t cells, std::int32_t jitter) {
    const auto level = [&](std::int32_t cell) {
        cell %= kDdc1CycleCells;
        if (cell % 9 == 0) return true;
        return ((edid[static_cast<std::size_t>(cell / 9)] >> (8 - cell % 9)) & 1) != 0;
    };
    std::vector<std::uint16_t> runs;
    std::int32_t cell = startCell;
    while (cell < startCell + cells) {
        const bool high = level(cell);
        std::int32_t length = 0;
        while (cell < startCell + cells && level(cell) == high) {
            ++cell;
            ++length;
        }
        runs.push_back(static_cast<std::uint16_t>((length * bitTime + jitter) | (high ? kHighRun : 0)));
    }
    return runs;
}

std::size_t longestHighRun(const std::vector<std::uint16_t>& runs) {
    std::size_t best = 0;
    std::int32_t bestLength = 0;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        if ((runs[i] & kHighRun) != 0 && (runs[i] & 0x7FFF) > bestLength) {
            bestLength = runs[i] & 0x7FFF;
            best = i;
        }
    }
    return best;
}

TEST(Ddc1Decoder, CellsRoundToTheNearestWithHalvesUp) {
    struct Row {
        std::uint16_t run;
        std::int32_t bitTime;
        std::int32_t cells;
    };
    for (const Row row : {Row{7, 16, 0}, Row{8, 16, 1}, Row{23, 16, 1}, Row{24, 16, 2}, Row{880, 16, 55},
                          Row{0x8000 | 48, 16, 3}, Row{100, 20, 5}}) {
        EXPECT_EQ(ddc1CellsOfRun(row.run, row.bitTime), row.cells) << row.run << " / " << row.bitTime;
    }
}

TEST(Ddc1Decoder, RebuildsTheBlockWhereverTheCaptureStarts) {
    const auto edid = bench::benchEdidBaseBlock();
    struct Row {
        std::int32_t startCell;  // cycle cell at the capture's first run boundary
        std::int32_t cells;      // cells captured
        std::int32_t jitter;
    };
    // Capture starting just before the header, in the middle, and late (the
    // capture then ends before the cycle does and the cells before the
    // header are needed).
    for (const Row row : {Row{1, 1300, 0}, Row{1, 1152, 1}, Row{600, 1300, 0}, Row{1000, 1300, -1},
                          Row{1000, 1152, 0}, Row{64, 1300, 1}}) {
        const auto runs = streamRuns(edid, 16, row.startCell, row.cells, row.jitter);
        const auto decoded = decodeDdc1Runs(runs, longestHighRun(runs), 16);
        EXPECT_EQ(std::vector<std::uint8_t>(decoded.begin(), decoded.end()),
                  std::vector<std::uint8_t>(edid.begin(), edid.end()))
            << "start " << row.startCell << " cells " << row.cells << " jitter " << row.jitter;
    }
}

// --- DDC1 on the bench ------------------------------------------------------------------

struct Ddc1Row {
    std::int64_t phaseCells;  // where the stream stands when the bench starts
    std::int32_t bitTime;
};

void PrintTo(const Ddc1Row& row, std::ostream* out) { *out << "phase " << row.phaseCells << " bit time " << row.bitTime; }

class Ddc1CaptureTest : public ::testing::TestWithParam<Ddc1Row> {};

TEST_P(Ddc1CaptureTest, DecodesTheBenchEdid) {
    const Ddc1Row& row = GetParam();
    LinkOnBench f;
    f.bench.faults.ddc1BitTimeMs = row.bitTime;
    f.bench.ddc1().phaseCells = row.phaseCells;
    const std::uint8_t* reply = f.jig.readEdidDdc1();
    ASSERT_NE(reply, nullptr) << "phase " << row.phaseCells;
    const auto edid = bench::benchEdidBaseBlock();
    EXPECT_EQ(hexBytes(firstBytes(f.link, 128)), hexBytes({edid.begin(), edid.end()}))
        << "phase " << row.phaseCells;
}

// Header (cell 9) reached about 0.5 s, 9 s and 18 s into the capture.
INSTANTIATE_TEST_SUITE_P(Phases, Ddc1CaptureTest,
                         ::testing::Values(Ddc1Row{1130, 16}, Ddc1Row{599, 16}, Ddc1Row{36, 16},
                                           Ddc1Row{200, 12}),
                         [](const auto& info) {
                             return "Phase" + std::to_string(info.param.phaseCells) + "BitTime" +
                                    std::to_string(info.param.bitTime);
                         });

TEST(LoadedEdid, ReadByDdc2bAndStreamedByDdc1Alike) {
    // Another monitor's block (other vendor and product bytes), with and
    // without an extension block after it.
    auto block = bench::benchEdidBaseBlock();
    block[8] = 0x10;
    block[10] = 0x99;
    block[127] = static_cast<std::uint8_t>(block[127] - 0x10 + 0x59 - 0x99 + 0x34);
    ASSERT_EQ(bench::edidBlockSum(block), 0);
    for (const std::size_t size : {std::size_t{128}, std::size_t{256}}) {
        std::vector<std::uint8_t> bytes(block.begin(), block.end());
        bytes.resize(size, 0x02);
        LinkOnBench f;
        f.bench.eeprom(0).load(bytes);
        ASSERT_NE(f.link.readEepromBlock(0), nullptr);
        std::vector<std::uint8_t> expected = bytes;
        expected.resize(256, 0xFF);  // the rest of the EEPROM reads as erased
        EXPECT_EQ(hexBytes(firstBytes(f.link, 256)), hexBytes(expected)) << size;

        f.bench.faults.ddc1BitTimeMs = 16;
        f.bench.ddc1().phaseCells = 599;
        ASSERT_NE(f.jig.readEdidDdc1(), nullptr);
        EXPECT_EQ(hexBytes(firstBytes(f.link, 128)), hexBytes({block.begin(), block.end()})) << size;
    }
}

TEST(Ddc1Capture, ShortestRunLimitsTheCapture) {
    struct Row {
        std::int32_t bitTime;
        std::int64_t minimumMs;
        std::int64_t maximumMs;
    };
    // 16 ms: 1155 x 18 = 20790 ms; 18 ms: 1155 x 20 is past the 22000 ms
    // ceiling (from 19 ms on, the 55-cell header itself passes for silence).
    // The capture ends at the first run that finishes past the budget.
    for (const Row row : {Row{16, 20790, 21700}, Row{18, 22000, 23000}}) {
        LinkOnBench f;
        f.bench.faults.ddc1BitTimeMs = row.bitTime;
        const auto begin = f.bench.clock().elapsedMilliseconds();
        (void)f.jig.readEdidDdc1();
        const auto took = f.bench.clock().elapsedMilliseconds() - begin;
        EXPECT_GE(took, row.minimumMs) << "bit time " << row.bitTime;
        EXPECT_LE(took, row.maximumMs) << "bit time " << row.bitTime;
    }
}

TEST(Ddc1Capture, EndsWithNothingWhenSdaGoesQuiet) {
    struct Row {
        const char* name;
        std::int32_t bitTime;
        std::int32_t silentAfterMs;
    };
    for (const Row row : {Row{"no stream", 0, 0}, Row{"silent after 5 s", 16, 5000},
                          Row{"silent after 19 s", 16, 19000}}) {
        LinkOnBench f;
        f.bench.faults.ddc1BitTimeMs = row.bitTime;
        f.bench.faults.ddc1SilentAfterMs = row.silentAfterMs;
        EXPECT_EQ(f.jig.readEdidDdc1(), nullptr) << row.name;
    }
}

TEST(Ddc1Capture, NoHeaderLongEnoughGivesNothing) {
    // An all-zero block has one-cell high runs only: the bit time comes to 0.
    LinkOnBench f;
    f.bench.eeprom(0).contents.fill(0x00);
    f.bench.faults.ddc1BitTimeMs = 16;
    EXPECT_EQ(f.jig.readEdidDdc1(), nullptr);
}

}  // namespace
}  // namespace velmora::link
