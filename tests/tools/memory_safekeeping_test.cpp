// Comparing memory images, writes read back as they go, and which monitor
// operations count as writes to the EEPROM.
#include <gtest/gtest.h>

#include "interpreter_on_bench.h"
#include "tools/memory_compare.h"
#include "tools/memory_writing_functions.h"

namespace velmora::tools {
namespace {

TEST(CompareImages, ListsEveryDifferingByteOrRefusesOtherRanges) {
    const MemoryImage page1{0x100, 0x103, {0x10, 0x11, 0x12, 0x13}};
    struct Row {
        const char* name;
        MemoryImage other;
        std::vector<ByteDifference> differences;
        const char* refusal;
    };
    const Row rows[] = {
        {"Equal", page1, {}, ""},
        {"OneByte", {0x100, 0x103, {0x10, 0x11, 0xAB, 0x13}}, {{0x102, 0x12, 0xAB}}, ""},
        {"FirstAndLast", {0x100, 0x103, {0x00, 0x11, 0x12, 0xFF}}, {{0x100, 0x10, 0x00}, {0x103, 0x13, 0xFF}}, ""},
        {"OtherStart", {0x101, 0x104, {0x10, 0x11, 0x12, 0x13}}, {}, "the ranges differ (_100_103 and _101_104)"},
        {"Shorter", {0x100, 0x102, {0x10, 0x11, 0x12}}, {}, "the ranges differ"},
    };
    for (const Row& row : rows) {
        const auto result = compareImages(page1, row.other);
        if (*row.refusal != '\0') {
            ASSERT_TRUE(std::holds_alternative<std::string>(result)) << row.name;
            EXPECT_NE(std::get<std::string>(result).find(row.refusal), std::string::npos) << row.name;
            continue;
        }
        ASSERT_TRUE(std::holds_alternative<std::vector<ByteDifference>>(result)) << row.name;
        EXPECT_EQ(std::get<std::vector<ByteDifference>>(result), row.differences) << row.name;
    }
    EXPECT_EQ(differenceText({0x13F, 0x0A, 0xAB}), "page 1 address 3F: 0A -> AB");
}

TEST(VerifiedWrite, StopsAtTheFirstByteThatDidNotTake) {
    struct Row {
        const char* name;
        const char* fault;
        VerifiedRangeWrite::Outcome outcome;
        int endedAt;
        int bytesTaken;  // of the four, from the start
    };
    for (const Row& row : {Row{"AllTake", "", VerifiedRangeWrite::Outcome::Done, 0, 4},
                           Row{"ThirdIsLost", "write-lost=1:3F", VerifiedRangeWrite::Outcome::Mismatch, 0x13F, 2},
                           Row{"LostBeforeTheRange", "write-lost=1:3C", VerifiedRangeWrite::Outcome::Done, 0, 4},
                           Row{"NoMonitor", "no-monitor", VerifiedRangeWrite::Outcome::WriteFailed, 0x13D, 0}}) {
        model::testing::InterpreterOnBench rig;
        if (*row.fault != '\0') {
            ASSERT_EQ(rig.bench.applyFault(row.fault), "") << row.name;
        }
        const std::vector<std::uint8_t> bytes{0xA1, 0xA2, 0xA3, 0xA4};
        const VerifiedRangeWrite write = writeVerifiedRange(rig.interpreter, 0x13D, bytes);
        EXPECT_EQ(write.outcome, row.outcome) << row.name;
        if (row.outcome != VerifiedRangeWrite::Outcome::Done) {
            EXPECT_EQ(write.location, row.endedAt) << row.name;
        }
        for (int i = 0; i < 4; ++i) {
            const std::uint8_t held = rig.bench.monitor.memory[1][static_cast<std::size_t>(0x3D + i)];
            if (i < row.bytesTaken) {
                EXPECT_EQ(held, bytes[static_cast<std::size_t>(i)]) << row.name << " byte " << i;
            } else {
                EXPECT_NE(held, bytes[static_cast<std::size_t>(i)]) << row.name << ": byte " << i << " was written";
            }
        }
        if (row.outcome == VerifiedRangeWrite::Outcome::Mismatch) {
            EXPECT_EQ(mismatchText(write.mismatch), "page 1 address 3F holds 0A after A3 was written") << row.name;
        }
    }
}

TEST(MemoryWritingFunctions, SavesDeletesAndMemoryScriptsCountVcpScriptsDoNot) {
    model::ModelDescription model;
    model.modelPath = std::string(VELMORA_SAMPLE_MODELS_DIR) + "vm1995pro.mdl";
    ASSERT_EQ(model.LoadModelFile(), 1);
    ASSERT_FALSE(model.errorFlag) << model.errorText;
    struct Row {
        int item;
        const char* name;
        bool writes;
    };
    for (const Row& row : {Row{0x18, "MODE SAVE", true}, Row{0x19, "STND MODE DUMP", false},
                           Row{0x1A, "ALL MODE SAVE", true}, Row{0x1B, "USER DELETE", true},
                           Row{0x1C, "GEOMETRY CENTRE (__SETVCP)", false}, Row{0x1D, "MODE 5 GEOMETRY (__USER_TBL_S)", true},
                           Row{0x3B, "USER DELETE2", true}, Row{0x54, "CHANNEL 1", false}, Row{0x58, "COLOR SAVE", true},
                           Row{0x5A, "ALL COLOR SAVE", true}, Row{0x5C, "WHITE BALANCE 9300K (__USER_TBL)", true},
                           Row{0x5D, "Test COlor", false}, Row{0x8C, "EEPROM INIT (__SET_REPLY C0 06)", true},
                           Row{0xD1, "MOIRE CANCEL OFF (__SETVCP_ONLY)", false}, Row{0xD2, "Degauss", false}}) {
        const model::ItemEntry& entry = model.itemTable[static_cast<std::size_t>(row.item)];
        EXPECT_EQ(functionWritesMemory(model, entry.kind, entry.arg), row.writes) << row.name;
    }
    struct ServiceRow {
        std::uint8_t code;
        bool writes;
    };
    for (const ServiceRow row : {ServiceRow{0x0C, true}, ServiceRow{0x58, true}, ServiceRow{0x7D, true},
                                 ServiceRow{0x50, true}, ServiceRow{0x7B, false}, ServiceRow{0x01, false}}) {
        EXPECT_EQ(serviceCodeWritesMemory(row.code), row.writes) << int(row.code);
    }
}

}  // namespace
}  // namespace velmora::tools
