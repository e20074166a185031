// The rules of every command and built-in function, one table row per case:
// the monitor's answer to chosen requests is replaced, and the row pins what
// reached the monitor (length byte and payload), every wait of the
// interpreter in milliseconds, in order, and the outcome.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "interpreter_on_bench.h"
#include "link/command_packet.h"

namespace velmora::model::testing {
namespace {

using Trace = std::vector<std::string>;
// Request payload ("01 12") -> reply payload the monitor gives instead
// ("02 00 12 ..."), or "garbled" for a reply whose checksum is wrong.
using Replies = std::map<std::string, std::string>;

std::vector<std::uint8_t> bytesOfHex(const std::string& text) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < text.size(); i += 3) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(text.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

// What the PC reads at 0x6F: source, length byte, payload, checksum.
std::vector<std::uint8_t> masterReadFrame(const std::string& reply) {
    const bool garbled = reply == "garbled";
    std::vector<std::uint8_t> frame{link::kMonitorAddress};
    const auto payload = bytesOfHex(garbled ? "00" : reply);
    frame.push_back(static_cast<std::uint8_t>(link::kLengthFlag | payload.size()));
    frame.insert(frame.end(), payload.begin(), payload.end());
    std::uint8_t checksum = link::kHostAddress;
    for (std::uint8_t byte : frame) checksum ^= byte;
    frame.push_back(garbled ? static_cast<std::uint8_t>(~checksum) : checksum);
    return frame;
}

// Chunks 03 to 06 for the dumps and mode-table saves, and the command at CMD.
std::string modelWithCommand(const std::string& command, bool oldFirmware) {
    std::string text = "; [MODEL,RULES]\n";
    if (oldFirmware) text += "; [VER,0.9]\n";
    return text +
           "DIR   db __PAGE,3,2\n"
           "      db __STD_GD,7,2\n"
           "      dw GDCODE,GDVAL\n"
           "      db __STD_COLOR,7,1\n"
           "      dw COLCODE,COLVAL\n"
           "      db __ALL_GD,11,1,3,2\n"
           "      dw CODES,TABLE,MODES\n"
           "      db __ALL_COLOR,11,1,1,1\n"
           "      dw CCODES,CTABLE,CMODES\n"
           "      db __KEY,0\n"
           "      db 0FFh\n"
           "GDCODE db V_CONTR,V_VOLUM\n"
           "GDVAL db 90,200\n"
           "COLCODE db 16h\n"
           "COLVAL db 40h\n"
           "CODES db V_CONTR,V_BRIGH,0FFh\n"
           "TABLE db 1,2,3\n"
           "      db 0FEh,0,7Fh\n"
           "MODES db 5,6\n"
           "CCODES db 16h\n"
           "CTABLE db 3\n"
           "CMODES db 20h\n"
           "CMD   db " + command + "\n"
           "      end\n";
}

struct RuleRow {
    std::string name;
    std::string command;
    bool oldFirmware = false;
    Replies replies;
    std::string fault;  // a bench fault for the whole row, or empty
    Trace trace;
    bool succeeds = true;
};

void PrintTo(const RuleRow& row, std::ostream* out) { *out << row.command; }

// The bench monitor gives these replies instead of its own (it must outlive
// the run).
void answerWith(InterpreterOnBench& f, const Replies& replies) {
    f.bench.monitorDevice().replyRule =
        [&replies](std::span<const std::uint8_t> payload) -> std::optional<std::vector<std::uint8_t>> {
        const auto match = replies.find(bench::hexBytes({payload.begin(), payload.end()}));
        if (match == replies.end()) return std::nullopt;
        return masterReadFrame(match->second);
    };
}

class CommandRule : public ::testing::TestWithParam<RuleRow> {};

TEST_P(CommandRule, SendsWaitsAndJudgesAsTheRuleSays) {
    const RuleRow& row = GetParam();
    InterpreterOnBench f;
    f.compile(modelWithCommand(row.command, row.oldFirmware));
    if (!row.fault.empty()) {
        ASSERT_EQ(f.bench.applyFault(row.fault), "");
    }
    answerWith(f, row.replies);
    const std::vector<std::uint16_t> script{f.model.lookupSymbol("CMD")};

    EXPECT_EQ(f.interpreter.runScript(script), row.succeeds) << row.command;
    EXPECT_EQ(f.trace(), row.trace) << row.command;
    if (row.fault.empty()) {
        EXPECT_TRUE(f.messages.messages.empty()) << row.command;
    }
}

// Bench defaults: brightness 10h 50 of 100 (32h of 64h), contrast 12h 80 of
// 100, colour channel 14h 0 of 3, volume DEh 30 of 100, 16h 128 of 255.
const Trace kReadContrastThrice{"84 03 12 00 5A", "wait 30", "82 01 12", "82 01 12", "82 01 12"};

INSTANTIATE_TEST_SUITE_P(
    SetVcp, CommandRule,
    ::testing::Values(
        RuleRow{"ReadsBackTheValue", "__SETVCP,V_CONTR,90", false, {}, "",
                {"84 03 12 00 5A", "wait 30", "82 01 12"}, true},
        RuleRow{"ClampedReadsBackTheMaximum", "__SETVCP,V_CONTR,200", false, {}, "",
                {"84 03 12 00 C8", "wait 30", "82 01 12"}, true},
        RuleRow{"ReadBackDiffers", "__SETVCP,V_CONTR,90", false, {{"01 12", "02 00 12 00 00 64 00 59"}}, "",
                {"84 03 12 00 5A", "wait 30", "82 01 12"}, false},
        RuleRow{"ReadBackIsTheMaximumRead", "__SETVCP,V_CONTR,90", false,
                {{"01 12", "02 00 12 00 00 50 00 50"}}, "", {"84 03 12 00 5A", "wait 30", "82 01 12"}, true},
        RuleRow{"LowBytesOfMaximumAndValueCount", "__SETVCP,V_CONTR,90", false,
                {{"01 12", "02 00 12 00 01 64 01 5A"}}, "", {"84 03 12 00 5A", "wait 30", "82 01 12"}, true},
        RuleRow{"MaximumIsNotTheValue", "__SETVCP,V_CONTR,90", false, {{"01 12", "02 00 12 00 00 5A 00 00"}},
                "", {"84 03 12 00 5A", "wait 30", "82 01 12"}, false},
        RuleRow{"ReplyOpcodeNotGetVcp", "__SETVCP,V_CONTR,90", false, {{"01 12", "03 00 12 00 00 64 00 5A"}},
                "", {"84 03 12 00 5A", "wait 30", "82 01 12"}, false},
        RuleRow{"ResultByteNotZero", "__SETVCP,V_CONTR,90", false, {{"01 12", "02 01 12 00 00 64 00 5A"}}, "",
                {"84 03 12 00 5A", "wait 30", "82 01 12"}, false},
        RuleRow{"OtherCodeEchoed", "__SETVCP,V_CONTR,90", false, {{"01 12", "02 00 13 00 00 64 00 5A"}}, "",
                {"84 03 12 00 5A", "wait 30", "82 01 12"}, false},
        RuleRow{"ReadFails", "__SETVCP,V_CONTR,90", false, {{"01 12", "garbled"}}, "", kReadContrastThrice,
                false},
        RuleRow{"SetNotAcknowledged", "__SETVCP,V_CONTR,90", false, {}, "no-monitor", {}, false},
        RuleRow{"OnlySetsAndNeverWaits", "__SETVCP_ONLY,V_HPOSI,40h", false, {}, "", {"84 03 20 00 40"}, true},
        RuleRow{"OnlyNotAcknowledged", "__SETVCP_ONLY,V_HPOSI,40h", false, {}, "no-monitor", {}, false},
        RuleRow{"UpKeySendsNothing", "__SETVCP_UP,V_HPOSI,'X up',0", false, {}, "", {}, true},
        RuleRow{"DownKeySendsNothing", "__SETVCP_DOWN,V_HPOSI,'X down',0", false, {}, "", {}, true},
        RuleRow{"SoundSendsNothing", "__SOUND", false, {}, "", {}, true}),
    [](const ::testing::TestParamInfo<RuleRow>& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    WrittenRequests, CommandRule,
    ::testing::Values(
        RuleRow{"SetReplyDone", "__SET_REPLY,82h,58h,7,0", false, {}, "", {"82 58 07"}, true},
        RuleRow{"SetReplyThreeBytes", "__SET_REPLY,83h,58h,7,9,0", false, {}, "", {"83 58 07 09"}, true},
        RuleRow{"SetReplyRefused", "__SET_REPLY,82h,58h,7,0", false, {{"58 07", "58 EE"}}, "", {"82 58 07"},
                false},
        RuleRow{"SetReplyOtherResultIsDone", "__SET_REPLY,82h,58h,7,0", false, {{"58 07", "58 01"}}, "",
                {"82 58 07"}, true},
        RuleRow{"SetReplyOpcodeNotJudged", "__SET_REPLY,82h,58h,7,0", false, {{"58 07", "EE 00"}}, "",
                {"82 58 07"}, true},
        RuleRow{"SetReplyWithoutResultByte", "__SET_REPLY,82h,58h,7,0", false, {{"58 07", "58"}}, "",
                {"82 58 07"}, false},
        RuleRow{"SetReplyWithoutReply", "__SET_REPLY,82h,58h,7,0", false, {}, "bad-checksum=3",
                {"82 58 07", "82 58 07", "82 58 07"}, false},
        RuleRow{"SetOnlyDone", "__SETONLY,82h,0F5h,1,0", false, {}, "", {"82 F5 01"}, true},
        RuleRow{"SetOnlyReadsNoReply", "__SETONLY,82h,0F5h,1,0", false, {}, "bad-checksum=3", {"82 F5 01"},
                true},
        RuleRow{"SetOnlyNotAcknowledged", "__SETONLY,82h,0F5h,1,0", false, {}, "no-monitor", {}, false},
        RuleRow{"DelayIsTheProduct", "__DELAY,10,50", false, {}, "", {"wait 500"}, true},
        RuleRow{"DelayDoesNotWrap", "__DELAY,0FFh,0FFh", false, {}, "", {"wait 65025"}, true},
        RuleRow{"DelayOfNothing", "__DELAY,3,0", false, {}, "", {"wait 0"}, true}),
    [](const ::testing::TestParamInfo<RuleRow>& info) { return info.param.name; });

const std::string kUserTable = "__USER_TBL,V_BRIGH,3,7,1,0FFh,7Fh,0";
const std::string kUserTableRequest = "C0 07 10 07 33 31 64";
const std::string kModeTable = "__USER_TBL_S,V_CONTR,2,9,1,2,0";

INSTANTIATE_TEST_SUITE_P(
    Tables, CommandRule,
    ::testing::Values(
        RuleRow{"UserTableFromThePresentValue", kUserTable, false, {}, "", {"82 01 10", "87 " + kUserTableRequest},
                true},
        RuleRow{"UserTableFromTheValueRead", kUserTable, false, {{"01 10", "02 00 10 00 00 20 00 10"}}, "",
                {"82 01 10", "87 C0 07 10 07 11 0F 20"}, true},
        RuleRow{"UserTableWithoutVcpReadsNothing", "__USER_TBL,0FFh,2,1,5,0F0h,0", false, {}, "",
                {"86 C0 07 FF 01 05 F0"}, true},
        RuleRow{"UserTableReadRefused", kUserTable, false, {{"01 10", "02 01 10 00 00 64 00 32"}}, "",
                {"82 01 10"}, false},
        RuleRow{"UserTableRefused", kUserTable, false, {{kUserTableRequest, "C1 EE"}}, "",
                {"82 01 10", "87 " + kUserTableRequest}, false},
        RuleRow{"UserTableOnlyByteFourRefuses", kUserTable, false, {{kUserTableRequest, "EE 00"}}, "",
                {"82 01 10", "87 " + kUserTableRequest}, true},
        RuleRow{"UserTableWithoutReply", kUserTable, false, {{kUserTableRequest, "garbled"}}, "",
                {"82 01 10", "87 " + kUserTableRequest, "87 " + kUserTableRequest, "87 " + kUserTableRequest},
                false},
        RuleRow{"UserTableReplyWithoutResultByte", kUserTable, false, {{kUserTableRequest, "C1"}}, "",
                {"82 01 10", "87 " + kUserTableRequest}, false},
        RuleRow{"ModeTableDone", kModeTable, false, {}, "", {"82 01 12", "84 52 09 51 52"}, true},
        RuleRow{"ModeTableWrongReplyOpcode", kModeTable, false, {{"52 09 51 52", "54 09"}}, "",
                {"82 01 12", "84 52 09 51 52"}, false},
        RuleRow{"ModeTableOtherModeEchoed", kModeTable, false, {{"52 09 51 52", "53 08"}}, "",
                {"82 01 12", "84 52 09 51 52"}, false},
        RuleRow{"ModeTableReplyWithoutMode", kModeTable, false, {{"52 09 51 52", "53"}}, "",
                {"82 01 12", "84 52 09 51 52"}, false},
        RuleRow{"ModeTableWithoutReply", kModeTable, false, {{"52 09 51 52", "garbled"}}, "",
                {"82 01 12", "84 52 09 51 52", "84 52 09 51 52", "84 52 09 51 52"}, false},
        RuleRow{"ModeTableReadFails", kModeTable, false, {{"01 12", "02 00 13 00 00 64 00 50"}}, "",
                {"82 01 12"}, false},
        RuleRow{"ModeTableWithoutVcp", "__USER_TBL_S,0FFh,1,9,0F0h,0", false, {}, "", {"83 52 09 F0"}, true},
        RuleRow{"TestVcpWaitsTenfold", "__TESTVCP,V_VOLUM,5,3,10,20,30,0", false, {}, "",
                {"84 03 DE 00 0A", "wait 50", "84 03 DE 00 14", "wait 50", "84 03 DE 00 1E", "wait 50"}, true},
        RuleRow{"TestVcpLongestWait", "__TESTVCP,V_VOLUM,0FFh,1,10,0", false, {}, "",
                {"84 03 DE 00 0A", "wait 2550"}, true},
        RuleRow{"TestVcpNotAcknowledged", "__TESTVCP,V_VOLUM,5,3,10,20,30,0", false, {}, "no-monitor", {},
                false},
        RuleRow{"TestColor", "__TESTCOLOR,2", false, {}, "",
                {"84 03 70 00 00", "wait 10", "84 03 6E 00 00", "wait 10", "84 03 6C 00 00", "wait 10",
                 "84 03 1A 00 00", "wait 10", "84 03 18 00 00", "wait 10", "84 03 16 00 00", "wait 10",
                 "84 03 70 00 FF", "wait 10", "84 03 16 00 00", "wait 20",
                 "84 03 6E 00 FF", "wait 10", "84 03 70 00 00", "wait 20",
                 "84 03 6C 00 FF", "wait 10", "84 03 6E 00 00", "wait 20",
                 "84 03 1A 00 FF", "wait 10", "84 03 6C 00 00", "wait 20",
                 "84 03 18 00 FF", "wait 10", "84 03 1A 00 00", "wait 20",
                 "84 03 16 00 FF", "wait 10", "84 03 18 00 00", "wait 20"},
                true}),
    [](const ::testing::TestParamInfo<RuleRow>& info) { return info.param.name; });

const Trace kContrastDumpStep{"84 03 12 00 5A", "wait 10", "82 01 12"};
const Trace kModeSaveReads{"82 01 12", "82 01 10"};

INSTANTIATE_TEST_SUITE_P(
    Functions, CommandRule,
    ::testing::Values(
        RuleRow{"ModeSave", "_GD_SAVE_", false, {}, "", {"81 58"}, true},
        RuleRow{"ModeSaveOldFirmware", "_GD_SAVE_", true, {}, "", {"81 0C"}, true},
        RuleRow{"ModeSaveRefused", "_GD_SAVE_", false, {{"58", "58 EE"}}, "", {"81 58"}, false},
        RuleRow{"ModeSaveOpcodeNotJudged", "_GD_SAVE_", false, {{"58", "EE 00"}}, "", {"81 58"}, true},
        RuleRow{"ModeSaveReplyWithoutResultByte", "_GD_SAVE_", false, {{"58", "58"}}, "", {"81 58"}, false},
        RuleRow{"ModeSaveWithoutReply", "_GD_SAVE_", false, {{"58", "garbled"}}, "", {"81 58", "81 58", "81 58"},
                false},
        RuleRow{"ColorSave", "_COLOR_SAVE_", false, {}, "", {"81 7D"}, true},
        RuleRow{"ColorSaveRefused", "_COLOR_SAVE_", false, {{"7D", "7D EE"}}, "", {"81 7D"}, false},
        RuleRow{"UserDelete", "_USER_DELETE_", false, {}, "", {"81 50"}, true},
        RuleRow{"UserDeleteRefused", "_USER_DELETE_", false, {{"50", "50 EE"}}, "", {"81 50"}, false},
        RuleRow{"UserDelete2ReadsBackTheMaximum", "_USER_DELETE2_", false, {}, "",
                {"81 50", "84 03 10 00 FF", "wait 100", "82 01 10"}, true},
        RuleRow{"UserDelete2ReadsBackFF", "_USER_DELETE2_", false, {{"01 10", "02 00 10 00 01 FF 00 FF"}}, "",
                {"81 50", "84 03 10 00 FF", "wait 100", "82 01 10"}, true},
        RuleRow{"UserDelete2ReadsBackLess", "_USER_DELETE2_", false, {{"01 10", "02 00 10 00 00 FF 00 FE"}}, "",
                {"81 50", "84 03 10 00 FF", "wait 100", "82 01 10"}, false},
        RuleRow{"UserDelete2Refused", "_USER_DELETE2_", false, {{"50", "50 EE"}}, "", {"81 50"}, false},
        RuleRow{"UserDelete2ReadFails", "_USER_DELETE2_", false, {{"01 10", "garbled"}}, "",
                {"81 50", "84 03 10 00 FF", "wait 100", "82 01 10", "82 01 10", "82 01 10"}, false},
        RuleRow{"StandardModeDump", "_STD_GD_DUMP_", false, {}, "",
                {"84 03 12 00 5A", "wait 10", "82 01 12", "wait 10", "84 03 DE 00 C8", "wait 10", "82 01 DE",
                 "wait 10"},
                true},
        RuleRow{"StandardModeDumpStopsAtAMismatch", "_STD_GD_DUMP_", false,
                {{"01 12", "02 00 12 00 00 64 00 59"}}, "", kContrastDumpStep, false},
        RuleRow{"StandardModeDumpStopsAtAFailedRead", "_STD_GD_DUMP_", false, {{"01 12", "garbled"}}, "",
                {"84 03 12 00 5A", "wait 10", "82 01 12", "82 01 12", "82 01 12"}, false},
        RuleRow{"StandardModeDumpAcceptsTheMaximumRead", "_STD_GD_DUMP_", false,
                {{"01 12", "02 00 12 00 00 40 00 40"}}, "",
                {"84 03 12 00 5A", "wait 10", "82 01 12", "wait 10", "84 03 DE 00 C8", "wait 10", "82 01 DE",
                 "wait 10"},
                true},
        RuleRow{"StandardColorDump", "_STD_COL_DUMP_", false, {}, "",
                {"84 03 16 00 40", "wait 10", "82 01 16", "wait 10"}, true},
        RuleRow{"AllModeSave", "_ALL_GD_SAVE_", false, {}, "",
                {"82 01 12", "82 01 10", "85 52 05 51 34 03", "wait 10", "85 52 06 4E 32 7F", "wait 10"}, true},
        RuleRow{"AllModeSaveKeepsEachColumnsValues", "_ALL_GD_SAVE_", false,
                {{"01 12", "02 00 12 00 00 20 00 10"}, {"01 10", "02 00 10 00 00 40 00 3F"}}, "",
                {"82 01 12", "82 01 10", "85 52 05 11 40 03", "wait 10", "85 52 06 0E 3F 7F", "wait 10"}, true},
        RuleRow{"AllModeSaveOtherModeEchoed", "_ALL_GD_SAVE_", false, {{"52 05 51 34 03", "53 06"}}, "",
                {"82 01 12", "82 01 10", "85 52 05 51 34 03"}, false},
        RuleRow{"AllModeSaveWrongReplyOpcode", "_ALL_GD_SAVE_", false, {{"52 05 51 34 03", "52 05"}}, "",
                {"82 01 12", "82 01 10", "85 52 05 51 34 03"}, false},
        RuleRow{"AllModeSaveColumnReadFails", "_ALL_GD_SAVE_", false, {{"01 10", "02 01 10 00 00 64 00 32"}},
                "", kModeSaveReads, false},
        RuleRow{"AllColorSave", "_ALL_COL_SAVE_", false, {}, "", {"82 01 16", "83 52 20 83", "wait 10"}, true},
        RuleRow{"Degauss", "_DEGAUSS_", false, {}, "", {"84 03 01 00 01", "wait 10", "84 03 00 00 01"}, true},
        RuleRow{"DegaussSucceedsWhateverItsRequestsGave", "_DEGAUSS_", false, {}, "no-monitor", {"wait 10"},
                true}),
    [](const ::testing::TestParamInfo<RuleRow>& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Channels, CommandRule,
    ::testing::Values(
        RuleRow{"One", "_CHANNEL1_", false, {}, "", {"84 03 14 00 00", "wait 30", "82 01 14"}, true},
        RuleRow{"Two", "_CHANNEL2_", false, {}, "", {"84 03 14 00 01", "wait 30", "82 01 14"}, true},
        RuleRow{"Three", "_CHANNEL3_", false, {}, "", {"84 03 14 00 02", "wait 30", "82 01 14"}, true},
        RuleRow{"Four", "96h", false, {}, "", {"84 03 14 00 03", "wait 30", "82 01 14"}, true},
        RuleRow{"ReadBackDiffers", "_CHANNEL2_", false, {{"01 14", "02 00 14 00 00 03 00 00"}}, "",
                {"84 03 14 00 01", "wait 30", "82 01 14"}, false},
        RuleRow{"MaximumReadIsNotEnough", "_CHANNEL3_", false, {{"01 14", "02 00 14 00 00 01 00 01"}}, "",
                {"84 03 14 00 02", "wait 30", "82 01 14"}, false},
        RuleRow{"ReadFails", "_CHANNEL2_", false, {{"01 14", "02 00 15 00 00 03 00 01"}}, "",
                {"84 03 14 00 01", "wait 30", "82 01 14"}, false},
        RuleRow{"OneOldFirmware", "_CHANNEL1_", true, {}, "", {"81 7B"}, true},
        RuleRow{"TwoOldFirmware", "_CHANNEL2_", true, {}, "", {"81 79"}, true},
        RuleRow{"ThreeOldFirmware", "_CHANNEL3_", true, {}, "", {"81 77"}, true},
        RuleRow{"FourOldFirmware", "96h", true, {}, "", {"81 75"}, true},
        RuleRow{"OldFirmwareRefused", "_CHANNEL2_", true, {{"79", "79 EE"}}, "", {"81 79"}, false}),
    [](const ::testing::TestParamInfo<RuleRow>& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    UnknownOpcodes, CommandRule,
    ::testing::Values(RuleRow{"ShiftKey", "0F0h", false, {}, "", {}, false},
                      RuleRow{"Op80", "80h", false, {}, "", {}, false},
                      RuleRow{"Op88", "88h", false, {}, "", {}, false},
                      RuleRow{"Op8A", "8Ah", false, {}, "", {}, false},
                      RuleRow{"Op90", "90h", false, {}, "", {}, false},
                      RuleRow{"Op92", "92h", false, {}, "", {}, false},
                      RuleRow{"Op97", "97h", false, {}, "", {}, false},
                      RuleRow{"OpA0", "0A0h", false, {}, "", {}, false},
                      RuleRow{"OpA2", "0A2h", false, {}, "", {}, false},
                      RuleRow{"Op1F", "1Fh", false, {}, "", {}, false},
                      RuleRow{"Op2C", "2Ch", false, {}, "", {}, false}),
    [](const ::testing::TestParamInfo<RuleRow>& info) { return info.param.name; });

// The progress the long functions report while they run: "done/total" and
// how many requests the monitor had received by then. Every step once, in
// order, the total known before the first request; a failure ends the
// count where it happened. Watching changes nothing on the bus.
struct ProgressRow {
    std::string name;
    std::string command;
    Replies replies;
    Trace steps;
};

void PrintTo(const ProgressRow& row, std::ostream* out) { *out << row.command; }

class StepProgress : public ::testing::TestWithParam<ProgressRow> {};

TEST_P(StepProgress, CountsEveryStepUpToTheTotal) {
    const ProgressRow& row = GetParam();
    InterpreterOnBench watched;
    InterpreterOnBench unwatched;
    Trace steps;
    (void)watched.interpreter.watchSteps([&](std::size_t done, std::size_t total) {
        steps.push_back(std::to_string(done) + "/" + std::to_string(total) + " after " +
                        std::to_string(watched.bench.log.requests().size()));
    });
    for (InterpreterOnBench* f : {&watched, &unwatched}) {
        f->compile(modelWithCommand(row.command, false));
        answerWith(*f, row.replies);
        const std::vector<std::uint16_t> script{f->model.lookupSymbol("CMD")};
        (void)f->interpreter.runScript(script);
    }
    EXPECT_EQ(steps, row.steps) << row.command;
    EXPECT_EQ(watched.trace(), unwatched.trace()) << row.command;
}

INSTANTIATE_TEST_SUITE_P(
    LongFunctions, StepProgress,
    ::testing::Values(
        // Two column reads, then two modes' table requests.
        ProgressRow{"AllModeSave", "_ALL_GD_SAVE_", {}, {"0/4 after 0", "1/4 after 1", "2/4 after 2", "3/4 after 3",
                                                         "4/4 after 4"}},
        ProgressRow{"AllModeSaveStopsAtARefusedMode", "_ALL_GD_SAVE_", {{"52 05 51 34 03", "53 06"}},
                    {"0/4 after 0", "1/4 after 1", "2/4 after 2"}},
        ProgressRow{"AllColorSave", "_ALL_COL_SAVE_", {}, {"0/2 after 0", "1/2 after 1", "2/2 after 2"}},
        // A step is a code's set and read-back.
        ProgressRow{"StandardModeDump", "_STD_GD_DUMP_", {}, {"0/2 after 0", "1/2 after 2", "2/2 after 4"}},
        ProgressRow{"StandardColorDump", "_STD_COL_DUMP_", {}, {"0/1 after 0", "1/1 after 2"}},
        ProgressRow{"ShortFunctionsReportNothing", "_GD_SAVE_", {}, {}}),
    [](const ::testing::TestParamInfo<ProgressRow>& info) { return info.param.name; });

// How long each request gives the monitor before its reply is read, pinned
// to the millisecond: a monitor whose reply is ready a millisecond sooner is
// served, one whose reply is ready a millisecond later is not; requests that
// read no reply succeed whatever the monitor answers.
struct ReplyWaitRow {
    std::string name;
    std::int32_t replyMilliseconds;  // 0: no reply is read
    bool (*request)(InterpreterOnBench&);
};

void PrintTo(const ReplyWaitRow& row, std::ostream* out) { *out << row.name; }

class ReplyWait : public ::testing::TestWithParam<ReplyWaitRow> {};

bool runCommand(InterpreterOnBench& f, const std::string& command) {
    f.compile(modelWithCommand(command, false));
    const std::vector<std::uint16_t> script{f.model.lookupSymbol("CMD")};
    return f.interpreter.runScript(script);
}

TEST_P(ReplyWait, IsExactToTheMillisecond) {
    const ReplyWaitRow& row = GetParam();
    if (row.replyMilliseconds == 0) {
        InterpreterOnBench f;
        ASSERT_EQ(f.bench.applyFault("bad-checksum=3"), "");
        EXPECT_TRUE(row.request(f));
        return;
    }
    InterpreterOnBench served;
    ASSERT_EQ(served.bench.applyFault("reply-delay=" + std::to_string(row.replyMilliseconds - 1)), "");
    EXPECT_TRUE(row.request(served));
    InterpreterOnBench late;
    ASSERT_EQ(late.bench.applyFault("reply-delay=" + std::to_string(row.replyMilliseconds + 1)), "");
    EXPECT_FALSE(row.request(late));
}

INSTANTIATE_TEST_SUITE_P(
    Interpreter, ReplyWait,
    ::testing::Values(
        ReplyWaitRow{"ReadVcp", 30, [](InterpreterOnBench& f) { return f.interpreter.readVcp(0x10).has_value(); }},
        ReplyWaitRow{"SetVcp", 0, [](InterpreterOnBench& f) { return f.interpreter.setVcp(0x10, 0); }},
        ReplyWaitRow{"ServiceCommand", 1000, [](InterpreterOnBench& f) { return f.interpreter.sendServiceCommand(0x7D); }},
        ReplyWaitRow{"TableRequest", 100, [](InterpreterOnBench& f) { return runCommand(f, "__USER_TBL_S,0FFh,1,9,3,0"); }},
        ReplyWaitRow{"UserTable", 1000, [](InterpreterOnBench& f) { return runCommand(f, "__USER_TBL,0FFh,1,9,3,0"); }},
        ReplyWaitRow{"SetReply", 1000, [](InterpreterOnBench& f) { return runCommand(f, "__SET_REPLY,81h,58h,0"); }},
        ReplyWaitRow{"SetOnly", 0, [](InterpreterOnBench& f) { return runCommand(f, "__SETONLY,81h,58h,0"); }},
        ReplyWaitRow{"ReadMemory", 20, [](InterpreterOnBench& f) { return f.interpreter.readMemory(0, 0x10).has_value(); }},
        ReplyWaitRow{"WriteMemory", 20, [](InterpreterOnBench& f) { return f.interpreter.writeMemory(0, 0x10, 1); }}),
    [](const ::testing::TestParamInfo<ReplyWaitRow>& info) { return info.param.name; });

TEST(ScriptSteps, FollowEachOtherWithoutWaitsOfTheirOwn) {
    InterpreterOnBench f;
    f.compile(
        "DIR   db __PAGE,3,2\n"
        "      db __KEY,0\n"
        "      db PAGE1+18h,5\n"
        "      dw ONE,0,PAUSE,SKIP,TWO\n"
        "      db 0FFh\n"
        "ONE   db __SETVCP_ONLY,V_HPOSI,10,'first',0\n"
        "PAUSE db __DELAY,2,3\n"
        "SKIP  db 0\n"
        "TWO   db __SET_REPLY,81h,58h,'second',0\n"
        "      end\n");
    const ItemEntry& entry = f.model.itemTable[0x18];
    EXPECT_TRUE(f.interpreter.runItem(entry.kind, entry.arg));
    EXPECT_EQ(f.trace(), (Trace{"84 03 20 00 0A", "wait 6", "81 58"}));
}

}  // namespace
}  // namespace velmora::model::testing
