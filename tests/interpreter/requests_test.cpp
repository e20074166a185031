// The interpreter's monitor requests, the value computation, the memory
// request forms and the table functions against the simulated monitor.
#include <gtest/gtest.h>

#include "interpreter_on_bench.h"

namespace velmora::model::testing {
namespace {

using Payloads = std::vector<std::string>;

TEST(ReadVcp, TakesMaximumAndValueFromTheReply) {
    InterpreterOnBench f;
    EXPECT_EQ(f.interpreter.readVcp(0x10), (VcpReading{0x32, 0x64}));
    EXPECT_EQ(f.interpreter.heldValue(), (VcpReading{0x32, 0x64}));
    ASSERT_EQ(f.bench.log.requests().size(), 1u);
    EXPECT_EQ(f.bench.log.requests()[0], (std::vector<std::uint8_t>{0x6E, 0x51, 0x82, 0x01, 0x10, 0xAC}));
}

TEST(ReadVcp, FailedReadKeepsTheHeldValue) {
    InterpreterOnBench f;
    f.bench.monitor.vcp[0x12].current = 7;
    f.bench.monitor.vcp[0x12].maximum = 9;
    ASSERT_TRUE(f.interpreter.readVcp(0x12).has_value());
    f.bench.monitor.vcp[0x21].supported = false;  // answered with result 01
    EXPECT_EQ(f.interpreter.readVcp(0x21), std::nullopt);
    EXPECT_EQ(f.interpreter.heldValue(), (VcpReading{7, 9}));

    ASSERT_TRUE(f.bench.applyFault("no-monitor").empty());
    EXPECT_EQ(f.interpreter.readVcp(0x10), std::nullopt);
    EXPECT_EQ(f.interpreter.heldValue(), (VcpReading{7, 9}));
    ASSERT_EQ(f.messages.messages.size(), 1u);
    EXPECT_EQ(f.messages.messages[0].text, "Monitor is not Connected");
    // A write is held as the value last sent, whatever became of it.
    EXPECT_FALSE(f.interpreter.setVcp(0x10, 0x44));
    EXPECT_EQ(f.interpreter.heldValue(), (VcpReading{0x44, 9}));
}

struct ComputeRow {
    std::uint8_t vcpCode, current, maximum, delta, expected;
};

void PrintTo(const ComputeRow& row, std::ostream* out) {
    *out << "code " << int(row.vcpCode) << " current " << int(row.current) << " maximum " << int(row.maximum)
         << " delta " << int(row.delta);
}

class RelativeValue : public ::testing::TestWithParam<ComputeRow> {};

TEST_P(RelativeValue, AppliesTheRelativeByte) {
    const ComputeRow& row = GetParam();
    EXPECT_EQ(relativeValue(row.vcpCode, VcpReading{row.current, row.maximum}, row.delta), row.expected)
        << "vcp " << int(row.vcpCode) << " current " << int(row.current) << " maximum "
        << int(row.maximum) << " delta " << int(row.delta);
}

INSTANTIATE_TEST_SUITE_P(
    Interpreter, RelativeValue,
    ::testing::Values(ComputeRow{0x20, 0x10, 0x64, 0x05, 0x15},   // increase
                      ComputeRow{0x20, 0x10, 0x64, 0xF0, 0x00},   // decrease by 10h reaches 0
                      ComputeRow{0x20, 0x10, 0x64, 0xF1, 0x01},   // decrease by 0Fh
                      ComputeRow{0x20, 0x10, 0x64, 0x7F, 0x64},   // capped at the maximum
                      ComputeRow{0x20, 0x10, 0x64, 0x80, 0x00},   // decrease by 80h, clamped to 0
                      ComputeRow{0x20, 0x90, 0xFF, 0x80, 0x10},   // decrease by 80h
                      ComputeRow{0x20, 0x10, 0x64, 0x00, 0x10},   // unchanged
                      ComputeRow{0xFF, 0x10, 0x64, 0xF0, 0xF0},   // no VCP: the byte itself
                      ComputeRow{0xFF, 0x10, 0x64, 0x7F, 0x7F},
                      ComputeRow{0xFF, 0x10, 0x64, 0x05, 0x05},   // no VCP: not added to current
                      ComputeRow{0xFE, 0x10, 0x64, 0x05, 0x15},   // only FFh means no VCP
                      ComputeRow{0x20, 0x10, 0x64, 0xEF, 0x00},   // decrease by 11h exceeds current
                      ComputeRow{0x20, 0x10, 0x64, 0xFF, 0x0F},   // decrease by 1
                      ComputeRow{0x20, 0x00, 0x64, 0xFF, 0x00},   // nothing below 0
                      ComputeRow{0x20, 0x10, 0x20, 0x10, 0x20},   // sum equals the maximum
                      ComputeRow{0x20, 0x10, 0x20, 0x11, 0x20},   // one past the maximum
                      ComputeRow{0x20, 0x10, 0x20, 0x0F, 0x1F},   // one below the maximum
                      ComputeRow{0x20, 0xF0, 0xFF, 0x7F, 0xFF},   // sum beyond 8 bits stays capped
                      ComputeRow{0x20, 0x70, 0x64, 0x00, 0x64}));  // present value above the maximum

struct MemoryRow {
    std::string name;
    link::EepromAccessMode mode;
    std::string read;
    std::string write;
};

void PrintTo(const MemoryRow& row, std::ostream* out) { *out << row.name; }

class MemoryForms : public ::testing::TestWithParam<MemoryRow> {};

TEST_P(MemoryForms, FollowTheAccessMode) {
    const MemoryRow& row = GetParam();
    InterpreterOnBench f;
    f.flags.eepromAccessMode = row.mode;
    ASSERT_TRUE(f.bench.applyFault("memory-form=both").empty());

    EXPECT_EQ(f.interpreter.readMemory(2, 0x34), f.bench.monitor.memory[2][0x34]);
    EXPECT_TRUE(f.interpreter.writeMemory(2, 0x34, 0xA5));
    EXPECT_EQ(f.bench.monitor.memory[2][0x34], 0xA5);
    EXPECT_EQ(f.payloads(), (Payloads{row.read, row.write}));
    EXPECT_EQ(f.lengthBytes(), (std::vector<int>{0x84, 0x85}));
}

INSTANTIATE_TEST_SUITE_P(
    Interpreter, MemoryForms,
    ::testing::Values(MemoryRow{"ByPage", link::EepromAccessMode::ByPage, "C1 09 02 34", "C0 09 02 34 A5"},
                      MemoryRow{"ByDevice", link::EepromAccessMode::ByDevice, "60 01 A4 34",
                                "62 01 A4 34 A5"}),
    [](const ::testing::TestParamInfo<MemoryRow>& info) { return info.param.name; });

TEST(MemoryForms, MultiByteRequestsUseTheOtherSubCodes) {
    InterpreterOnBench f;
    (void)f.interpreter.readMemory(1, 0x10, 4);
    f.flags.eepromAccessMode = link::EepromAccessMode::ByDevice;
    (void)f.interpreter.writeMemory(1, 0x10, 0x55, 2);
    EXPECT_EQ(f.payloads(), (Payloads{"C1 89 01 10", "62 02 01 10 55"}));
}

TEST(MemoryForms, MonitorThatOnlyKnowsTheOtherFormGivesNoReply) {
    InterpreterOnBench f(link::ReplyMode::SlaveReceive);
    ASSERT_TRUE(f.bench.applyFault("memory-form=bydevice").empty());
    EXPECT_EQ(f.interpreter.readMemory(0, 0), std::nullopt);
    EXPECT_EQ(f.link.errorCode(), link::LinkError::NoResponse);
    EXPECT_TRUE(f.messages.messages.empty());
}

TEST(Protection, WritesAreRefusedWithoutWriteEnabledMode) {
    InterpreterOnBench f;
    f.flags.writeEnabled = 0;
    f.compile(
        "DIR   db __PAGE,3,2\n"
        "      db __KEY,0\n"
        "      db 0FFh\n"
        "TBL   db __USER_TBL,0FFh,1,0,5,0\n"
        "      end\n");
    EXPECT_FALSE(f.interpreter.writeMemory(0, 0x10, 1));
    f.flags.eepromAccessMode = link::EepromAccessMode::ByDevice;
    EXPECT_FALSE(f.interpreter.writeMemory(0, 0x10, 1));
    const std::vector<std::uint16_t> script{f.model.lookupSymbol("TBL")};
    EXPECT_FALSE(f.interpreter.runScript(script));
    EXPECT_FALSE(f.interpreter.setVcp(0xE6, 1));

    EXPECT_TRUE(f.bench.log.requests().empty());
    ASSERT_EQ(f.messages.messages.size(), 4u);
    for (const auto& message : f.messages.messages) EXPECT_EQ(message.text, "Password is required");

    // Reading stays possible.
    EXPECT_TRUE(f.interpreter.readMemory(0, 0x10).has_value());
}

const char* kTablesModel =
    "DIR   db __PAGE,3,2\n"
    "      db __STD_GD,7\n"
    "      db 2\n"
    "      dw GDCODE,GDVAL\n"
    "      db __ALL_GD,0\n"
    "      db 1\n"
    "      db 3,2\n"
    "      dw CODES,TABLE,MODES\n"
    "GDCODE db V_CONTR,V_VOLUM\n"
    "GDVAL db 90,200\n"
    "CODES db V_CONTR,V_BRIGH,0FFh\n"
    "TABLE db 1,2,3\n"
    "      db 0FEh,0,7Fh\n"
    "MODES db 5,6\n"
    "      end\n";

TEST(StandardDump, SetsAndChecksEachControl) {
    InterpreterOnBench f;
    f.compile(kTablesModel);
    EXPECT_TRUE(f.interpreter.runItem(0x85, 0));
    // Volume is clamped to 100 and read back as its maximum: accepted.
    EXPECT_EQ(f.payloads(), (Payloads{"03 12 00 5A", "01 12", "03 DE 00 C8", "01 DE"}));
    const auto gaps = f.gapsMilliseconds();
    ASSERT_EQ(gaps.size(), 3u);
    EXPECT_GE(gaps[0], 10);
    EXPECT_GE(gaps[1], 20);  // read, then 10 ms before the next control
    EXPECT_GE(gaps[2], 10);
}

TEST(StandardDump, FailsWhenAControlCannotBeReadBack) {
    InterpreterOnBench f;
    f.compile(kTablesModel);
    f.bench.monitor.vcp[0xDE].supported = false;
    EXPECT_FALSE(f.interpreter.runItem(0x85, 0));
    EXPECT_EQ(f.payloads().size(), 4u);
}

TEST(ModeTableSave, ReadsColumnsThenSendsOneTableRequestPerMode) {
    InterpreterOnBench f;
    f.compile(kTablesModel);
    EXPECT_TRUE(f.interpreter.runItem(0x87, 0));
    // Contrast 80 of 100 and brightness 50 of 100; the FFh column is sent as written.
    EXPECT_EQ(f.payloads(), (Payloads{"01 12", "01 10", "52 05 51 34 03", "52 06 4E 32 7F"}));
    EXPECT_EQ(f.lengthBytes(), (std::vector<int>{0x82, 0x82, 0x85, 0x85}));
    EXPECT_EQ(f.bench.monitor.modeTables[6].values, (std::vector<std::uint8_t>{0x4E, 0x32, 0x7F}));
}

TEST(ModeTableSave, RefusesDescriptorsWiderThanFiftyColumns) {
    InterpreterOnBench f;
    f.compile(
        "DIR   db __PAGE,3,2\n"
        "      db __ALL_COLOR,0\n"
        "      db 2\n"
        "      db 1,1\n"
        "      dw CODES,CODES,CODES\n"
        "      db 51,1\n"
        "      dw CODES,CODES,CODES\n"
        "CODES db 0FFh,0FFh,0FFh,0FFh,0FFh,0FFh,0FFh,0FFh,0FFh,0FFh\n"
        "      db 0FFh,0FFh,0FFh,0FFh,0FFh,0FFh,0FFh,0FFh,0FFh,0FFh\n"
        "      db 0FFh,0FFh,0FFh,0FFh,0FFh,0FFh,0FFh,0FFh,0FFh,0FFh\n"
        "      db 0FFh,0FFh,0FFh,0FFh,0FFh,0FFh,0FFh,0FFh,0FFh,0FFh\n"
        "      db 0FFh,0FFh,0FFh,0FFh,0FFh,0FFh,0FFh,0FFh,0FFh,0FFh\n"
        "      db 0FFh\n"
        "      end\n");
    EXPECT_FALSE(f.interpreter.runItem(0x84, 0));
    EXPECT_TRUE(f.bench.log.requests().empty());
}

}  // namespace
}  // namespace velmora::model::testing
