// RUN of a function entry: what the status field shows, the pause before
// the first request, the transcript handed to the debug window, and the
// Alt+digit entry numbers.
#include "console/function_run.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "console_on_bench.h"

namespace velmora::console {
namespace {

using testing::ConsoleOnBench;

struct RecordingDisplay : RunDisplay {
    void showRunStatus(std::string_view text) override { statuses.emplace_back(text); }
    void takeTranscript(std::string_view transcript) override { transcripts.emplace_back(transcript); }
    std::vector<std::string> statuses;
    std::vector<std::string> transcripts;
};

const FunctionRecord kModeSave{"@1: MODE SAVE      ", 0x81, 0};

TEST(RunFunction, BuiltInFunctionShowsNameThenOkWithItsTranscript) {
    ConsoleOnBench f;
    RecordingDisplay display;
    const std::int64_t start = f.bench.nowMicroseconds();
    EXPECT_TRUE(runFunction(kModeSave, f.context.interpreter, f.context.link, f.context.clock, display));

    EXPECT_EQ(display.statuses, (std::vector<std::string>{"MODE SAVE      ", "OK"}));
    ASSERT_EQ(f.payloads(), std::vector<std::string>{"58"});
    EXPECT_GE(f.requestTimes()[0] - start, 300'000);
    ASSERT_EQ(display.transcripts.size(), 1u);
    EXPECT_EQ(display.transcripts[0].rfind("\r\n @1: MODE SAVE       \r\n PC: S_ 6E 51 81 58", 0), 0u)
        << display.transcripts[0];
    EXPECT_NE(display.transcripts[0].find(" OK.\r\n"), std::string::npos);
    EXPECT_EQ(f.context.link.transcriptLength(), -1) << "the transcript is off again";
}

TEST(RunFunction, UnknownFunctionCodeIsAnErrorWithoutTraffic) {
    ConsoleOnBench f;
    RecordingDisplay display;
    const FunctionRecord unknown{"@2: NO VCP", 0x90, 0};
    EXPECT_FALSE(runFunction(unknown, f.context.interpreter, f.context.link, f.context.clock, display));
    EXPECT_EQ(display.statuses, (std::vector<std::string>{"NO VCP", "Error"}));
    EXPECT_TRUE(f.payloads().empty());
    // The transcript says why nothing went to the monitor.
    EXPECT_EQ(display.transcripts, std::vector<std::string>{"\r\n @2: NO VCP \r\n NOTE: opcode 90h is no command, "
                                                           "nothing is sent\r\n"});
}

TEST(RunFunction, ScriptStopsAtItsFirstFailingCommand) {
    ConsoleOnBench f;
    f.compile(
        "; [MODEL,RUN]\n"
        "; [KEY,PAGE1+0,TWO STEPS]\n"
        "DIR   db __PAGE,3,1\n"
        "      db __KEY,0\n"
        "      db PAGE1+0,3\n"
        "      dw SET1,BAD,SET2\n"
        "      db 0FFh\n"
        "SET1  db __SETVCP_ONLY,10h,20h\n"
        "BAD   db 90h\n"
        "SET2  db __SETVCP_ONLY,12h,20h\n"
        "      end\n");
    const PageLists lists = buildPageLists(0, f.context.model, f.context.interpreter, f.context.link);
    const auto script = std::find_if(lists.functions.begin(), lists.functions.end(),
                                     [](const FunctionRecord& r) { return functionDisplayName(r) == "TWO STEPS"; });
    ASSERT_NE(script, lists.functions.end());
    f.bench.log.clear();

    RecordingDisplay display;
    EXPECT_FALSE(runFunction(*script, f.context.interpreter, f.context.link, f.context.clock, display));
    EXPECT_EQ(f.payloads(), std::vector<std::string>{"03 10 00 20"});
    EXPECT_EQ(display.statuses.back(), "Error");
}

struct DigitCase {
    int digit;
    std::size_t functions;
    std::optional<std::size_t> entry;
};

TEST(AltDigitEntry, DigitsNameTheFirstTenEntries) {
    const DigitCase cases[] = {
        {1, 1, 0}, {3, 2, std::nullopt}, {3, 3, 2}, {9, 9, 8}, {0, 9, std::nullopt}, {0, 10, 9}, {0, 11, 9},
        {-1, 20, std::nullopt}, {10, 20, std::nullopt},
    };
    for (const DigitCase& c : cases) {
        EXPECT_EQ(altDigitEntry(c.digit, c.functions), c.entry) << "Alt+" << c.digit << " with " << c.functions;
    }
}

}  // namespace
}  // namespace velmora::console
