// The CRT on-time readout against the simulated monitor.
#include "tools/crt_on_time.h"

#include <gtest/gtest.h>

#include "interpreter_on_bench.h"

namespace velmora::tools {
namespace {

using link::ReplyMode;
using model::testing::InterpreterOnBench;

struct OnTimeRow {
    std::uint32_t tenMinuteUnits;
    ReplyMode mode;
    std::string text;
};

void PrintTo(const OnTimeRow& row, std::ostream* out) { *out << "N = " << row.tenMinuteUnits; }

class CrtOnTime : public ::testing::TestWithParam<OnTimeRow> {};

TEST_P(CrtOnTime, ShowsHoursAndTensOfMinutes) {
    const OnTimeRow& row = GetParam();
    InterpreterOnBench f(row.mode);
    f.bench.monitor.setOnTime(row.tenMinuteUnits);
    const CrtOnTimeReadout readout = readCrtOnTime(f.link);
    EXPECT_TRUE(readout.supported) << row.tenMinuteUnits;
    EXPECT_EQ(readout.tenMinuteUnits, row.tenMinuteUnits);
    EXPECT_EQ(readout.text, row.text) << row.tenMinuteUnits;
    EXPECT_EQ(readout.caption, "CRT on time");
    EXPECT_EQ(f.payloads(), (std::vector<std::string>{"C0 0B"}));
    EXPECT_EQ(f.lengthBytes(), (std::vector<int>{0x82}));
    EXPECT_TRUE(f.messages.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Counts, CrtOnTime,
    ::testing::Values(OnTimeRow{0, ReplyMode::MasterRead, "  0 hour(s) 00 minute(s).  "},
                      OnTimeRow{13, ReplyMode::MasterRead, "  2 hour(s) 10 minute(s).  "},
                      OnTimeRow{16777215, ReplyMode::MasterRead, "  2796202 hour(s) 30 minute(s).  "},
                      OnTimeRow{13, ReplyMode::SlaveReceive, "  2 hour(s) 10 minute(s).  "}));

TEST(CrtOnTimeReply, WaitsOneHundredMillisecondsBeforeReadingAsMaster) {
    InterpreterOnBench f(ReplyMode::MasterRead);
    // A reply ready 95 ms after the request is missed by any shorter wait.
    ASSERT_TRUE(f.bench.applyFault("reply-delay=95").empty());
    EXPECT_TRUE(readCrtOnTime(f.link).supported);
    EXPECT_EQ(f.bench.log.requests().size(), 1u);
}

TEST(CrtOnTimeReply, WrongSubCodeIsUnsupported) {
    InterpreterOnBench f(ReplyMode::MasterRead);
    // Payload C1 0C 00 00 0D: the count would be 13.
    std::vector<std::uint8_t> frame{0x6E, 0x85, 0xC1, 0x0C, 0x00, 0x00, 0x0D};
    std::uint8_t checksum = 0x50;
    for (std::uint8_t byte : frame) checksum ^= byte;
    frame.push_back(checksum);
    f.bench.monitorDevice().nextReplyOverride = frame;
    const CrtOnTimeReadout readout = readCrtOnTime(f.link);
    EXPECT_FALSE(readout.supported);
    EXPECT_EQ(readout.text, "This Monitor can't support the CRT time information");
    EXPECT_EQ(readout.caption, "CRT on time");
}

TEST(CrtOnTimeReply, MissingMonitorIsReportedTwice) {
    InterpreterOnBench f;
    ASSERT_TRUE(f.bench.applyFault("no-monitor").empty());
    const CrtOnTimeReadout readout = readCrtOnTime(f.link);
    EXPECT_FALSE(readout.supported);
    EXPECT_EQ(readout.text, "This Monitor can't support the CRT time information");
    ASSERT_EQ(f.messages.messages.size(), 1u);
    EXPECT_EQ(f.messages.messages[0].text, "Monitor is not Connected");
}

TEST(CrtOnTimeReply, GoesOutWithWriteEnabledModeOff) {
    InterpreterOnBench f;
    f.flags.writeEnabled = 0;
    EXPECT_TRUE(readCrtOnTime(f.link).supported);
    EXPECT_TRUE(f.messages.messages.empty());
}

}  // namespace
}  // namespace velmora::tools
