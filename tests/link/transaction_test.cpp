#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "link_on_bench.h"

namespace velmora::link {
namespace {

using testing::hexBytes;
using testing::LinkOnBench;
using testing::repeat;

// --- The read of VCP 0x10 in both reply modes ---------------------------------

struct WorkedExample {
    ReplyMode mode;
    const char* requestOnWire;
    const char* transcript;
};

void PrintTo(const WorkedExample& row, std::ostream* out) { *out << row.requestOnWire; }

class WorkedExampleTest : public ::testing::TestWithParam<WorkedExample> {};

TEST_P(WorkedExampleTest, RequestReplyAndTranscript) {
    const WorkedExample& row = GetParam();
    LinkOnBench f(row.mode);
    f.link.transcriptOn();
    bool ok = false;
    const auto reply = f.request({0x01, 0x10}, 30, &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(hexBytes(f.lastRequest), row.requestOnWire);
    EXPECT_EQ(hexBytes(reply), "50 6E 88 02 00 10 00 00 64 00 32 F2");
    EXPECT_EQ(f.link.transcriptText(), row.transcript);
    EXPECT_TRUE(f.messages.messages.empty());
    EXPECT_EQ(f.link.errorCode(), LinkError::None);
    ASSERT_EQ(f.bench.log.requests().size(), 1u);
    EXPECT_EQ(hexBytes(f.bench.log.requests()[0]), row.requestOnWire);
}

INSTANTIATE_TEST_SUITE_P(
    BothModes, WorkedExampleTest,
    ::testing::Values(
        WorkedExample{ReplyMode::MasterRead, "6E 51 82 01 10 AC",
                      "\r\n PC: S_ 6E 51 82 01 10 AC _E MON: S_ 6F 6E 88 02 00 10 00 00 64 00 32 F2 _E OK.\r\n"},
        WorkedExample{ReplyMode::SlaveReceive, "6E 50 82 01 10 AD",
                      "\r\n PC: S_ 6E 50 82 01 10 AD _E MON: 50 6E 88 02 00 10 00 00 64 00 32 F2 OK.\r\n"}),
    [](const auto& info) { return info.param.mode == ReplyMode::MasterRead ? "MasterRead" : "SlaveReceive"; });

TEST(Transaction, RunTranscriptReadThenWriteVcp) {
    LinkOnBench f(ReplyMode::MasterRead);
    f.link.transcriptOn();
    f.link.appendText("  Test Function ");
    f.link.appendText("\r\n");
    f.request({0x01, 0x10}, 30);
    f.request({0x03, 0x10, 0x00, 0x32}, 0);
    EXPECT_EQ(f.link.transcriptText(),
              "\r\n   Test Function  \r\n"
              " PC: S_ 6E 51 82 01 10 AC _E MON: S_ 6F 6E 88 02 00 10 00 00 64 00 32 F2 _E OK.\r\n"
              " PC: S_ 6E 51 84 03 10 00 32 9A _E OK.\r\n");
    EXPECT_EQ(f.bench.monitor.vcp[0x10].current, 0x32);
}

TEST(Transaction, NoReplyArgumentReturnsBufferWithAddressesOnlySlave) {
    for (ReplyMode mode : {ReplyMode::SlaveReceive}) {
        LinkOnBench f(mode);
        std::vector<std::uint8_t> packet{0, 0, 0x84, 0x03, 0x12, 0x00, 0x07, 0};
        const std::uint8_t* reply = f.link.transact(packet, 0);
        ASSERT_NE(reply, nullptr) << "mode " << static_cast<int>(mode);
        EXPECT_EQ(reply, f.link.replyBuffer().data());
        EXPECT_EQ(reply[0], 0x50);
        EXPECT_EQ(reply[1], 0x6E);
        EXPECT_EQ(f.bench.monitor.vcp[0x12].current, 7);
        // Set VCP gets no reply: nothing may be left on the bus for the next request.
        EXPECT_TRUE(f.bench.transmitter().idle());
        EXPECT_FALSE(f.bench.monitorDevice().replyWaiting());
    }
}

// --- What a failed exchange shows ----------------------------------------------

struct FailureRow {
    const char* name;
    std::vector<const char*> faults;
    ReplyMode mode;
    LinkError code;
    bool succeeds;
    std::string transcript;  // after the leading CR LF
    std::vector<std::string> messages;
    std::size_t requestsReceived;
};

void PrintTo(const FailureRow& row, std::ostream* out) { *out << row.name; }

class FailureTableTest : public ::testing::TestWithParam<FailureRow> {};

TEST_P(FailureTableTest, ErrorCodeAttemptsTranscriptAndMessages) {
    const FailureRow& row = GetParam();
    LinkOnBench f(row.mode);
    for (const char* fault : row.faults) ASSERT_EQ(f.bench.applyFault(fault), "") << fault;
    f.link.transcriptOn();
    bool ok = false;
    f.request({0x01, 0x10}, 30, &ok);
    EXPECT_EQ(ok, row.succeeds);
    EXPECT_EQ(f.link.errorCode(), row.code) << linkErrorName(f.link.errorCode());
    EXPECT_EQ(f.link.transcriptText(), "\r\n" + row.transcript);
    std::vector<std::string> shown;
    for (const auto& message : f.messages.messages) {
        EXPECT_EQ(message.caption, "");
        shown.push_back(message.text);
    }
    EXPECT_EQ(shown, row.messages);
    EXPECT_EQ(f.bench.log.requests().size(), row.requestsReceived);
}

const std::string kMasterRequest = " PC: S_ 6E 51 82 01 10 AC _E";
const std::string kSlaveRequest = " PC: S_ 6E 50 82 01 10 AD _E";
const std::string kGoodReply = " 6E 88 02 00 10 00 00 64 00 32 F2";
const std::string kBadChecksumReply = " 6E 88 02 00 10 00 00 64 00 32 0D";

std::string oversizeAttempt(int bytes) {
    std::string text = kSlaveRequest + " MON: 50" + kGoodReply;
    text += repeat(" 00", bytes - 12);
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FailureTableTest,
    ::testing::Values(
        FailureRow{"NoBoard", {"no-board"}, ReplyMode::MasterRead, LinkError::InterfaceBoard, false,
                   " PC: S_ Error!!\r\n Check Connection of Interface board\r\n",
                   {"Check Connection of Interface board"}, 0},
        FailureRow{"NoBoardSlave", {"no-board"}, ReplyMode::SlaveReceive, LinkError::InterfaceBoard, false,
                   " PC: S_ Error!!\r\n Check Connection of Interface board\r\n",
                   {"Check Connection of Interface board"}, 0},
        FailureRow{"SdaHeldLow", {"sda-low"}, ReplyMode::SlaveReceive, LinkError::MonitorNotConnected, false,
                   repeat(" PC: S_ 6E Error!!\r\n", 3) + " Monitor is not Connected\r\n",
                   {"Monitor is not Connected"}, 0},
        FailureRow{"ReplyNotReadyAt6F", {"reply-delay=50"}, ReplyMode::MasterRead,
                   LinkError::MonitorNotConnected, false,
                   repeat(kMasterRequest + " MON: S_ 6F Error!!\r\n", 3) + " Monitor is not Connected\r\n",
                   {"Monitor is not Connected"}, 3},
        FailureRow{"NoSlaveReply", {"no-slave-reply"}, ReplyMode::SlaveReceive, LinkError::NoResponse, false,
                   repeat(kSlaveRequest + " MON: Error!!\r\n", 3) + " No response from Monitor\r\n", {}, 3},
        FailureRow{"SlaveReplyTooLate", {"reply-delay=500"}, ReplyMode::SlaveReceive, LinkError::NoResponse,
                   false, repeat(kSlaveRequest + " MON: Error!!\r\n", 3) + " No response from Monitor\r\n", {}, 3},
        FailureRow{"SlaveReplyLateButInTime", {"reply-delay=300"}, ReplyMode::SlaveReceive, LinkError::None,
                   true, kSlaveRequest + " MON: 50" + kGoodReply + " OK.\r\n", {}, 1},
        FailureRow{"ChecksumThreeTimesSlave", {"bad-checksum=3"}, ReplyMode::SlaveReceive, LinkError::None, false,
                   repeat(kSlaveRequest + " MON: 50" + kBadChecksumReply + " Checksum Error!!\r\n", 3), {}, 3},
        FailureRow{"GarbledOnceSlave", {"garbled-reply=1"}, ReplyMode::SlaveReceive, LinkError::None, true,
                   kSlaveRequest + " MON: AF" + kGoodReply + " Checksum Error!!\r\n" + kSlaveRequest + " MON: 50" +
                       kGoodReply + " OK.\r\n",
                   {}, 2},
        FailureRow{"SlaveReplyOf300Bytes", {"oversize-reply=300"}, ReplyMode::SlaveReceive, LinkError::None, false,
                   repeat(oversizeAttempt(300) + " Error!!\r\n", 3), {}, 3},
        FailureRow{"SlaveReplyOf299BytesXorZero", {"oversize-reply=299"}, ReplyMode::SlaveReceive,
                   LinkError::None, true, oversizeAttempt(299) + " OK.\r\n", {}, 1},
        FailureRow{"ClockStretchTooLong", {"scl-stretch=2000"}, ReplyMode::MasterRead,
                   LinkError::MonitorNotConnected, false,
                   repeat(" PC: S_ 6E Error!!\r\n", 3) + " Monitor is not Connected\r\n",
                   {"Monitor is not Connected"}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Transaction, ErrorCodeStaysUntilTheNextStart) {
    LinkOnBench f(ReplyMode::SlaveReceive);
    f.bench.faults.noSlaveReply = true;
    f.request({0x01, 0x10}, 30);
    EXPECT_EQ(f.link.errorCode(), LinkError::NoResponse);
    EXPECT_TRUE(f.jig.bus().errorFlag());
    f.bench.faults.noSlaveReply = false;
    bool ok = false;
    f.request({0x01, 0x10}, 30, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(f.link.errorCode(), LinkError::None);
}

TEST(Transaction, ReplyCutOffBySlaveLimitDoesNotDisturbTheNextRequest) {
    LinkOnBench f(ReplyMode::SlaveReceive);
    f.bench.faults.oversizeReplyBytes = 400;
    bool ok = true;
    f.request({0x01, 0x10}, 30, &ok);
    EXPECT_FALSE(ok);
    f.bench.faults.oversizeReplyBytes = 0;
    f.request({0x01, 0x12}, 30, &ok);
    EXPECT_TRUE(ok);
    // The monitor gives up each reply when the PC's next START takes the bus.
    EXPECT_EQ(f.bench.log.eventsOf(bench::BenchEventKind::ReplyAbandoned).size(), 3u);
    EXPECT_TRUE(f.messages.messages.empty());
    EXPECT_EQ(f.bench.log.eventsOf(bench::BenchEventKind::RequestRejected).size(), 0u);
}

// --- How many payload bytes the last reply really carried ---------------------

TEST(ReplyPayloadLength, CountsOnlyWhatArrived) {
    struct Row {
        const char* name;
        ReplyMode mode;
        std::vector<const char*> faults;
        std::optional<std::vector<std::uint8_t>> replyAt6F;
        std::int32_t replyArgument;
        std::size_t expected;
    };
    const Row rows[] = {
        {"WholeVcpReply", ReplyMode::MasterRead, {}, {}, 30, 8},
        {"WholeVcpReplySlave", ReplyMode::SlaveReceive, {}, {}, 30, 8},
        {"ShortReply", ReplyMode::MasterRead, {"short-reply"}, {}, 30, 2},
        {"ShortReplySlave", ReplyMode::SlaveReceive, {"short-reply"}, {}, 30, 2},
        {"PaddingIsNoPayload", ReplyMode::SlaveReceive, {"oversize-reply=40"}, {}, 30, 8},
        {"NoReplyAsked", ReplyMode::MasterRead, {}, {}, 0, 0},
        {"FailedReply", ReplyMode::MasterRead, {"bad-checksum=3"}, {}, 30, 0},
        // Length FD reads source, length and checksum only.
        {"LengthByteFD", ReplyMode::MasterRead, {}, std::vector<std::uint8_t>{0x6E, 0xFD, 0xC3}, 30, 0},
    };
    for (const Row& row : rows) {
        LinkOnBench f(row.mode);
        f.request({0x01, 0x10}, 30);  // leaves a whole reply in the buffer
        for (const char* fault : row.faults) ASSERT_EQ(f.bench.applyFault(fault), "") << row.name;
        if (row.replyAt6F) f.bench.monitorDevice().nextReplyOverride = row.replyAt6F;
        f.request({0x01, 0x12}, row.replyArgument);
        EXPECT_EQ(f.link.replyPayloadLength(), row.expected) << row.name;
    }
}

// --- How many bytes a master read takes -------------------------------------------

struct LengthRow {
    std::vector<std::uint8_t> replyAt6F;  // what the monitor offers
    const char* readInTranscript;         // the MON: part
    bool accepted;
};

void PrintTo(const LengthRow& row, std::ostream* out) { *out << row.readInTranscript; }

class MasterReadLengthTest : public ::testing::TestWithParam<LengthRow> {};

TEST_P(MasterReadLengthTest, LengthByteDecidesTheBytesRead) {
    const LengthRow& row = GetParam();
    LinkOnBench f(ReplyMode::MasterRead);
    f.bench.monitorDevice().nextReplyOverride = row.replyAt6F;
    f.link.transcriptOn();
    std::vector<std::uint8_t> packet{0, 0, 0x81, 0x58, 0};
    const std::uint8_t* reply = f.link.transact(packet, 30);
    EXPECT_EQ(reply != nullptr, row.accepted) << hexBytes(row.replyAt6F);
    const std::string text(f.link.transcriptText());
    EXPECT_NE(text.find(std::string(" MON: ") + row.readInTranscript + " _E"), std::string::npos)
        << hexBytes(row.replyAt6F) << "\n" << text;
}

INSTANTIATE_TEST_SUITE_P(
    Quirks, MasterReadLengthTest,
    ::testing::Values(LengthRow{{0x6E, 0x80, 0xBE}, "S_ 6F 6E 80 BE", true},
                      LengthRow{{0x6E, 0xFD, 0xC3, 0x11}, "S_ 6F 6E FD C3", true},
                      LengthRow{{0x6E, 0xFE, 0xC0, 0x11}, "S_ 6F 6E FE C0", true},
                      LengthRow{{0x6E, 0xFF, 0xC1, 0x11}, "S_ 6F 6E FF C1", true},
                      LengthRow{{0x6E, 0x7F, 0x41, 0x11}, "S_ 6F 6E 7F 41", true},
                      LengthRow{{0x6E, 0x81, 0x58, 0xE7}, "S_ 6F 6E 81 58 E7", true}),
    [](const auto& info) { return "LengthByte" + hexBytes({info.param.replyAt6F[1]}); });

TEST(MasterReadLength, LongestReplyFillsBytesOneTo127) {
    LinkOnBench f(ReplyMode::MasterRead);
    std::vector<std::uint8_t> frame{0x6E, 0xFC};
    for (int i = 0; i < 124; ++i) frame.push_back(static_cast<std::uint8_t>(i * 3));
    std::uint8_t checksum = 0x50;
    for (std::uint8_t byte : frame) checksum ^= byte;
    frame.push_back(checksum);
    f.bench.monitorDevice().nextReplyOverride = frame;
    std::vector<std::uint8_t> packet{0, 0, 0x81, 0x58, 0};
    const std::uint8_t* reply = f.link.transact(packet, 30);
    ASSERT_NE(reply, nullptr);
    EXPECT_EQ(std::vector<std::uint8_t>(reply + 1, reply + 128), frame);
}

}  // namespace
}  // namespace velmora::link
