// Each command of the model image against the simulated monitor: the
// requests it sends, in order, and its outcome.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "interpreter_on_bench.h"

namespace velmora::model::testing {
namespace {

using Payloads = std::vector<std::string>;

// A model whose image holds the command at label CMD.
std::string modelWithCommand(const std::string& command, bool oldFirmware) {
    std::string text = "; [MODEL,TEST]\n";
    if (oldFirmware) text += "; [VER,0.9]\n";
    text +=
        "DIR   db __PAGE,3,2\n"
        "      db __KEY,0\n"
        "      db 0FFh\n"
        "CMD   db " + command + "\n"
        "      end\n";
    return text;
}

struct CommandRow {
    std::string name;
    std::string command;
    bool oldFirmware;
    Payloads payloads;
    bool succeeds;
};

void PrintTo(const CommandRow& row, std::ostream* out) { *out << row.command; }

class Command : public ::testing::TestWithParam<CommandRow> {};

TEST_P(Command, SendsItsRequestsInOrder) {
    const CommandRow& row = GetParam();
    InterpreterOnBench f;
    f.compile(modelWithCommand(row.command, row.oldFirmware));
    const std::uint16_t at = f.model.lookupSymbol("CMD");
    const std::vector<std::uint16_t> script{at};

    EXPECT_EQ(f.interpreter.runScript(script), row.succeeds) << row.command;
    EXPECT_EQ(f.payloads(), row.payloads) << row.command;
    EXPECT_TRUE(f.messages.messages.empty()) << row.command;
}

// Bench defaults: brightness 10h is 50 of 100, contrast 12h 80 of 100,
// colour channel 14h 0 of 3, volume DEh 30 of 100; service codes E0h..EFh fail.
INSTANTIATE_TEST_SUITE_P(
    Interpreter, Command,
    ::testing::Values(
        CommandRow{"SetVcpReadsBack", "__SETVCP,V_CONTR,90", false, {"03 12 00 5A", "01 12"}, true},
        CommandRow{"SetVcpClampedToMaximumSucceeds", "__SETVCP,V_CONTR,200", false,
                   {"03 12 00 C8", "01 12"}, true},
        CommandRow{"SetVcpOnly", "__SETVCP_ONLY,V_HPOSI,40h", false, {"03 20 00 40"}, true},
        CommandRow{"KeysAndSoundSendNothing", "__SETVCP_UP,V_HPOSI,'X up',0", false, {}, true},
        CommandRow{"SetReplyServiceDone", "__SET_REPLY,81h,58h,0", false, {"58"}, true},
        CommandRow{"SetReplyServiceRefused", "__SET_REPLY,81h,0E5h,0", false, {"E5"}, false},
        CommandRow{"SetOnlyAwaitsNoReply", "__SETONLY,82h,0F5h,1,0", false, {"F5 01"}, true},
        CommandRow{"UserTableRelativeToPresentValue", "__USER_TBL,V_BRIGH,3,7,1,0FFh,7Fh,0", false,
                   {"01 10", "C0 07 10 07 33 31 64"}, true},
        CommandRow{"UserTableWithoutVcpSendsValuesAsTheyStand", "__USER_TBL,0FFh,2,1,5,0F0h,0",
                   false, {"C0 07 FF 01 05 F0"}, true},
        CommandRow{"UserTableToMode", "__USER_TBL_S,V_CONTR,2,9,1,2,0", false,
                   {"01 12", "52 09 51 52"}, true},
        CommandRow{"TestVcpStepsThroughValues", "__TESTVCP,V_VOLUM,5,3,10,20,30,0", false,
                   {"03 DE 00 0A", "03 DE 00 14", "03 DE 00 1E"}, true},
        CommandRow{"DelaySendsNothing", "__DELAY,1,2", false, {}, true},
        CommandRow{"ModeSave", "_GD_SAVE_", false, {"58"}, true},
        CommandRow{"ModeSaveOldFirmware", "_GD_SAVE_", true, {"0C"}, true},
        CommandRow{"UserDelete2", "_USER_DELETE2_", false, {"50", "03 10 00 FF", "01 10"}, true},
        CommandRow{"ColorSave", "_COLOR_SAVE_", false, {"7D"}, true},
        CommandRow{"UserDelete", "_USER_DELETE_", false, {"50"}, true},
        CommandRow{"ChannelTwo", "_CHANNEL2_", false, {"03 14 00 01", "01 14"}, true},
        CommandRow{"ChannelTwoOldFirmware", "_CHANNEL2_", true, {"79"}, true},
        CommandRow{"ChannelFourOldFirmware", "96h", true, {"75"}, true},
        CommandRow{"ChannelFourNewFirmware", "96h", false, {"03 14 00 03", "01 14"}, true},
        CommandRow{"Degauss", "_DEGAUSS_", false, {"03 01 00 01", "03 00 00 01"}, true},
        CommandRow{"StandardDumpWithoutChunkSucceeds", "_STD_GD_DUMP_", false, {}, true},
        CommandRow{"ModeTableSaveWithoutChunkSucceeds", "_ALL_GD_SAVE_", false, {}, true},
        CommandRow{"ShiftKeyFails", "0F0h", false, {}, false},
        CommandRow{"UnknownOpcodeFails", "90h", false, {}, false},
        CommandRow{"TruncatedCommandFails", "__SETVCP_ONLY,V_HPOSI", false, {}, false}),
    [](const ::testing::TestParamInfo<CommandRow>& info) { return info.param.name; });

TEST(CommandWaits, FollowTheCommandsOnTheVirtualClock) {
    InterpreterOnBench f;
    f.compile(modelWithCommand("__TESTVCP,V_VOLUM,5,3,10,20,30,0", false));
    const std::vector<std::uint16_t> testVcp{f.model.lookupSymbol("CMD")};
    ASSERT_TRUE(f.interpreter.runScript(testVcp));
    for (auto gap : f.gapsMilliseconds()) {
        EXPECT_GE(gap, 50);
        EXPECT_LT(gap, 55);
    }

    InterpreterOnBench delay;
    delay.compile(modelWithCommand("__DELAY,10,50", false));
    const std::vector<std::uint16_t> pause{delay.model.lookupSymbol("CMD")};
    const auto before = delay.bench.nowMicroseconds();
    ASSERT_TRUE(delay.interpreter.runScript(pause));
    EXPECT_GE(delay.bench.nowMicroseconds() - before, 500'000);
    EXPECT_LT(delay.bench.nowMicroseconds() - before, 501'000);

    InterpreterOnBench setVcp;
    setVcp.compile(modelWithCommand("__SETVCP,V_CONTR,90", false));
    const std::vector<std::uint16_t> set{setVcp.model.lookupSymbol("CMD")};
    ASSERT_TRUE(setVcp.interpreter.runScript(set));
    ASSERT_EQ(setVcp.gapsMilliseconds().size(), 1u);
    EXPECT_GE(setVcp.gapsMilliseconds()[0], 30);
    EXPECT_LT(setVcp.gapsMilliseconds()[0], 40);
}

TEST(TestColor, LightsEachGunInTurn) {
    InterpreterOnBench f;
    f.compile(modelWithCommand("__TESTCOLOR,2", false));
    const std::vector<std::uint16_t> script{f.model.lookupSymbol("CMD")};
    ASSERT_TRUE(f.interpreter.runScript(script));
    const Payloads expected{
        "03 70 00 00", "03 6E 00 00", "03 6C 00 00", "03 1A 00 00", "03 18 00 00", "03 16 00 00",
        "03 70 00 FF", "03 16 00 00", "03 6E 00 FF", "03 70 00 00", "03 6C 00 FF", "03 6E 00 00",
        "03 1A 00 FF", "03 6C 00 00", "03 18 00 FF", "03 1A 00 00", "03 16 00 FF", "03 18 00 00"};
    EXPECT_EQ(f.payloads(), expected);
}

TEST(Script, StopsAtTheFirstFailingCommand) {
    InterpreterOnBench f;
    f.compile(
        "DIR   db __PAGE,3,2\n"
        "      db __KEY,0\n"
        "      db PAGE1+18h,4\n"
        "      dw 0,ONE,TWO,THREE\n"
        "      db 0FFh\n"
        "ONE   db __SETVCP_ONLY,V_HPOSI,10,'first',0\n"
        "TWO   db __SET_REPLY,81h,0E7h,'refused',0\n"
        "THREE db __SETVCP_ONLY,V_HSIZE,20,'never',0\n"
        "      end\n");
    const ItemEntry& entry = f.model.itemTable[0x18];
    ASSERT_EQ(entry.kind, 0xFE);
    EXPECT_FALSE(f.interpreter.runItem(entry.kind, entry.arg));
    EXPECT_EQ(f.payloads(), (Payloads{"03 20 00 0A", "E7"}));
}

TEST(Script, RunsBuiltInFunctionItems) {
    InterpreterOnBench f;
    f.compile(modelWithCommand("0", false));
    // Default entry 19h is STND MODE DUMP; without chunk 03 it succeeds quietly.
    EXPECT_TRUE(f.interpreter.runItem(f.model.itemTable[0x19].kind, f.model.itemTable[0x19].arg));
    EXPECT_TRUE(f.interpreter.runItem(0x89, 0));
    EXPECT_EQ(f.payloads(), (Payloads{"50"}));
}

}  // namespace
}  // namespace velmora::model::testing

namespace velmora::model::testing {
namespace {

// A refusal sends nothing and says why in the transcript, on a line of its own.
struct RefusalRow {
    std::string name;
    std::string model;
    std::uint8_t function;  // a built-in function to run, or 0 for the command at CMD
    std::string note;
};

void PrintTo(const RefusalRow& row, std::ostream* out) { *out << row.name; }

class Refusal : public ::testing::TestWithParam<RefusalRow> {};

TEST_P(Refusal, IsNotedInTheTranscript) {
    const RefusalRow& row = GetParam();
    InterpreterOnBench f;
    f.compile(row.model);
    f.link.transcriptOn();
    const bool succeeded = row.function != 0 ? f.interpreter.runItem(row.function, 0)
                                             : f.interpreter.runScript(std::vector<std::uint16_t>{
                                                   f.model.lookupSymbol("CMD")});
    EXPECT_FALSE(succeeded);
    EXPECT_TRUE(f.payloads().empty());
    EXPECT_EQ(f.link.transcriptText(), "\r\n NOTE: " + row.note + ", nothing is sent\r\n");
}

std::string userTableOf(int values) {
    std::string command = "__USER_TBL,0FFh," + std::to_string(values) + ",1";
    for (int i = 0; i < values; ++i) command += ",0";
    return modelWithCommand(command, false);
}

INSTANTIATE_TEST_SUITE_P(
    Interpreter, Refusal,
    ::testing::Values(
        RefusalRow{"UnknownOpcode", modelWithCommand("90h", false), 0, "opcode 90h is no command"},
        RefusalRow{"OperandsPastTheImage", modelWithCommand("__SETVCP_ONLY,V_HPOSI", false), 0,
                   "the operands of the command at 0006h run past the end of the model image (8 bytes)"},
        RefusalRow{"UserTableLongerThanARequest", userTableOf(124), 0,
                   "the user table of 124 values is longer than a request can hold (123)"},
        RefusalRow{"ModeTableTooWide", "DIR db __ALL_GD,0,1\n    db 51,1\n    dw 0,0,0\n    end\n", 0x87,
                   "mode table 1 of chunk 05 has 51 columns, at most 50 can be sent"},
        RefusalRow{"ModeTablePastTheImage", "DIR db __ALL_COLOR,0,1\n    db 2,3\n    dw 0,0,100\n    end\n", 0x84,
                   "mode table 1 of chunk 06: its codes, values or mode numbers lie past the end of the model image"},
        RefusalRow{"StandardDumpPastTheImage", "DIR db __STD_GD,0,9\n    dw 0,0\n    end\n", 0x85,
                   "chunk 03: its codes or values lie past the end of the model image"}),
    [](const ::testing::TestParamInfo<RefusalRow>& info) { return info.param.name; });

TEST(Refusal, AUserTableThatFitsIsSent) {
    InterpreterOnBench f;
    f.compile(userTableOf(123));
    EXPECT_TRUE(f.interpreter.runScript(std::vector<std::uint16_t>{f.model.lookupSymbol("CMD")}));
    EXPECT_EQ(f.lengthBytes(), std::vector<int>{0x80 + 127});
}

}  // namespace
}  // namespace velmora::model::testing
