// The display-channel link against the bench monitor behind the stand-in
// adapter, compared with the jig on a bench of its own: what the caller and
// the technician see must not depend on the way to the monitor.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "bench/bench_i2c_adapter.h"
#include "bench/edid_eeprom.h"
#include "link/display_channel_link.h"
#include "link_on_bench.h"

namespace velmora::link {
namespace {

using testing::hexBytes;
using testing::LinkOnBench;

struct ChannelOnBench {
    explicit ChannelOnBench(DisplayChannelTiming timing = kDdcCiTiming) : link(port, bench.clock(), messages, flags, timing) {
        EXPECT_EQ(port.open("/dev/i2c-3"), 0);
        link.setReplyMode(ReplyMode::MasterRead);
    }

    bench::VirtualBench bench;
    bench::BenchI2cAdapter adapter{bench};
    platform::I2cDevPort port{adapter};
    platform::RecordingMessageSink messages;
    ProgramFlags flags;
    DisplayChannelLink link;

    std::vector<std::uint8_t> request(std::vector<std::uint8_t> payload, std::int32_t replyArgument) {
        std::vector<std::uint8_t> packet(payload.size() + 4, 0);
        packet[2] = static_cast<std::uint8_t>(0x80 | payload.size());
        std::copy(payload.begin(), payload.end(), packet.begin() + 3);
        const std::uint8_t* reply = link.transact(packet, replyArgument);
        if (reply == nullptr) return {};
        return {reply, reply + (reply[2] & 0x7F) + 4};
    }
};

int countOf(std::string_view text, std::string_view item) {
    int count = 0;
    for (auto at = text.find(item); at != std::string_view::npos; at = text.find(item, at + 1)) ++count;
    return count;
}

std::string messageTexts(const platform::RecordingMessageSink& sink) {
    std::string texts;
    for (const auto& message : sink.messages) texts += message.text + "|";
    return texts;
}

// --- Same exchange, same faults: same reply, transcript, code and messages ----

struct SameAsJig {
    const char* name;
    std::vector<std::uint8_t> payload;
    std::int32_t replyArgument;
    std::vector<std::string> faults;
};

class SameAsJigTest : public ::testing::TestWithParam<SameAsJig> {};

TEST_P(SameAsJigTest, ReplyTranscriptErrorAndMessages) {
    const SameAsJig& row = GetParam();
    LinkOnBench jig(ReplyMode::MasterRead);
    ChannelOnBench channel;
    for (const std::string& fault : row.faults) {
        ASSERT_EQ(jig.bench.applyFault(fault), "");
        ASSERT_EQ(channel.bench.applyFault(fault), "");
    }
    jig.link.transcriptOn();
    channel.link.transcriptOn();
    const auto jigReply = jig.request(row.payload, row.replyArgument);
    const auto channelReply = channel.request(row.payload, row.replyArgument);

    EXPECT_EQ(hexBytes(channelReply), hexBytes(jigReply));
    EXPECT_EQ(channel.link.transcriptText(), jig.link.transcriptText());
    EXPECT_EQ(channel.link.errorCode(), jig.link.errorCode());
    EXPECT_EQ(channel.link.replyPayloadLength(), jig.link.replyPayloadLength());
    EXPECT_EQ(messageTexts(channel.messages), messageTexts(jig.messages));
    EXPECT_EQ(hexBytes(channel.bench.log.requests().empty() ? std::vector<std::uint8_t>{}
                                                            : channel.bench.log.requests().back()),
              hexBytes(jig.bench.log.requests().empty() ? std::vector<std::uint8_t>{} : jig.bench.log.requests().back()));
}

INSTANTIATE_TEST_SUITE_P(
    Exchanges, SameAsJigTest,
    ::testing::Values(SameAsJig{"ReadVcp", {0x01, 0x10}, 30, {}},
                      SameAsJig{"SetVcp", {0x03, 0x10, 0x00, 0x32}, 0, {}},
                      SameAsJig{"ReadMemory", {0xC1, 0x09, 0x00, 0x10}, 20, {}},
                      SameAsJig{"CrtOnTime", {0xC0, 0x0B}, 100, {}},
                      SameAsJig{"NoMonitor", {0x01, 0x10}, 30, {"no-monitor"}},
                      SameAsJig{"OneBadChecksum", {0x01, 0x10}, 30, {"bad-checksum=1"}},
                      SameAsJig{"ThreeBadChecksums", {0x01, 0x10}, 30, {"bad-checksum=3"}},
                      SameAsJig{"Garbled", {0x01, 0x12}, 30, {"garbled-reply=3"}},
                      SameAsJig{"Short", {0x01, 0x12}, 30, {"short-reply"}},
                      SameAsJig{"ReplyTooLate", {0x01, 0x10}, 30, {"reply-delay=60"}},
                      SameAsJig{"WriteMemoryByDevice", {0x62, 0x01, 0xA0, 0x00, 0x55}, 20, {}}),
    [](const auto& info) { return info.param.name; });

TEST(DisplayChannel, ProtectedRequestIsRefusedUntouchedAndUnsent) {
    ChannelOnBench f;
    f.flags.writeEnabled = 0;
    std::vector<std::uint8_t> packet{0, 0, 0x84, 0x03, 0xE6, 0x00, 0x01, 0};
    const auto before = packet;
    EXPECT_EQ(f.link.transact(packet, 0), nullptr);
    EXPECT_EQ(packet, before);
    EXPECT_EQ(f.adapter.transfers, 0);
    EXPECT_EQ(messageTexts(f.messages), "Password is required|");
}

// The adapter is always master: a monitor that sends its reply as master
// cannot be heard, so nothing is tried.
TEST(DisplayChannel, SlaveReceiveModeIsRefusedBeforeTheBus) {
    for (std::int32_t replyArgument : {0, 30}) {
        ChannelOnBench f;
        f.link.setReplyMode(ReplyMode::SlaveReceive);
        f.link.transcriptOn();
        EXPECT_TRUE(f.request({0x01, 0x10}, replyArgument).empty());
        EXPECT_EQ(f.adapter.transfers, 0) << replyArgument;
        EXPECT_EQ(f.link.errorCode(), LinkError::InterfaceBoard);
        ASSERT_EQ(f.messages.messages.size(), 1u);
        EXPECT_NE(f.messages.messages[0].text.find("interface board"), std::string::npos);
        EXPECT_NE(f.link.transcriptText().find("interface board"), std::string_view::npos);
    }
}

// Errors of the adapter driver become the jig's codes: a request the
// monitor does not take is an unconnected monitor whatever the driver calls it.
TEST(DisplayChannel, AdapterErrorsDuringTheRequest) {
    struct Row {
        int error;
        const char* transcript;
    };
    for (const Row& row : {Row{ENXIO, " PC: S_ 6E Error!!"}, Row{EREMOTEIO, " PC: S_ 6E 51 82 01 10 AC Error!!"},
                           Row{ETIMEDOUT, " PC: S_ 6E 51 82 01 10 AC Error!!"},
                           Row{EBUSY, " PC: S_ 6E 51 82 01 10 AC Error!!"}}) {
        ChannelOnBench f;
        f.adapter.transferError = row.error;
        f.link.transcriptOn();
        EXPECT_TRUE(f.request({0x01, 0x10}, 30).empty());
        EXPECT_EQ(f.adapter.transfers, 3) << row.error;
        EXPECT_EQ(f.link.errorCode(), LinkError::MonitorNotConnected) << row.error;
        EXPECT_EQ(std::string(f.link.transcriptText()),
                  "\r\n" + std::string(row.transcript) + "\r\n" + row.transcript + "\r\n" + row.transcript +
                      "\r\n Monitor is not Connected\r\n")
            << row.error;
        EXPECT_EQ(messageTexts(f.messages), "Monitor is not Connected|");
    }
}

// While the reply is read: 0x6F not acknowledged is the jig's unconnected
// monitor; a held line carries no code, as the jig's timed-out byte read.
TEST(DisplayChannel, AdapterErrorsWhileReadingTheReply) {
    struct Row {
        int error;
        LinkError code;
        const char* messages;
    };
    for (const Row& row : {Row{ENXIO, LinkError::MonitorNotConnected, "Monitor is not Connected|"},
                           Row{EIO, LinkError::MonitorNotConnected, "Monitor is not Connected|"},
                           Row{ETIMEDOUT, LinkError::None, ""}, Row{EAGAIN, LinkError::None, ""}}) {
        ChannelOnBench f;
        f.adapter.readError = row.error;
        f.link.transcriptOn();
        EXPECT_TRUE(f.request({0x01, 0x10}, 30).empty());
        EXPECT_EQ(f.adapter.transfers, 6) << row.error;
        EXPECT_EQ(f.link.errorCode(), row.code) << row.error;
        EXPECT_EQ(messageTexts(f.messages), row.messages) << row.error;
        EXPECT_EQ(countOf(f.link.transcriptText(), " PC: S_ 6E 51 82 01 10 AC _E MON: S_ 6F Error!!"), 3)
            << f.link.transcriptText();
    }
}

TEST(DisplayChannel, ANodeThatDidNotOpenFailsAtOnce) {
    bench::VirtualBench bench;
    bench::BenchI2cAdapter adapter{bench};
    adapter.openError = ENOENT;
    platform::I2cDevPort port{adapter};
    EXPECT_EQ(port.open("/dev/i2c-97"), ENOENT);
    platform::RecordingMessageSink messages;
    ProgramFlags flags;
    DisplayChannelLink link(port, bench.clock(), messages, flags);
    link.setReplyMode(ReplyMode::MasterRead);
    std::vector<std::uint8_t> packet{0, 0, 0x82, 0x01, 0x10, 0};
    EXPECT_EQ(link.transact(packet, 30), nullptr);
    EXPECT_EQ(link.errorCode(), LinkError::MonitorNotConnected);
    EXPECT_EQ(adapter.transfers, 0);
}

// --- Waits: the DDC/CI standard's by default, the requests' own when fast ----

TEST(DisplayChannel, DdcCiTimingWaitsLongerThanTheFastTiming) {
    struct Row {
        DisplayChannelTiming timing;
        std::int64_t firstReadMs;   // reply argument 30 or the standard's 40
        std::int64_t secondReadMs;  // and the gap of 50 ms after the first reply
    };
    for (const Row& row : {Row{kDdcCiTiming, 40, 90}, Row{kFastTiming, 30, 30}}) {
        ChannelOnBench f(row.timing);
        auto elapsed = [&f] { return f.bench.clock().elapsedMilliseconds(); };
        std::int64_t start = elapsed();
        ASSERT_FALSE(f.request({0x01, 0x10}, 30).empty());
        const std::int64_t first = elapsed() - start;
        start = elapsed();
        ASSERT_FALSE(f.request({0x01, 0x12}, 30).empty());
        const std::int64_t second = elapsed() - start;
        // Transfers themselves take a few milliseconds at 100 kHz.
        EXPECT_GE(first, row.firstReadMs);
        EXPECT_LT(first, row.firstReadMs + 15);
        EXPECT_GE(second, row.secondReadMs);
        EXPECT_LT(second, row.secondReadMs + 15);
    }
}

// --- EDID and EEPROM blocks -----------------------------------------------------

TEST(DisplayChannel, EepromBlocksReadAsThroughTheJig) {
    for (std::int32_t block : {0, 1, 3}) {
        LinkOnBench jig;
        ChannelOnBench channel;
        jig.bench.eeprom(1).present = true;
        channel.bench.eeprom(1).present = true;
        jig.link.busReset();
        jig.link.transcriptOn();
        channel.link.busReset();
        channel.link.transcriptOn();
        const std::uint8_t* jigBlock = jig.link.transferEepromBlock(block);
        const std::uint8_t* channelBlock = channel.link.transferEepromBlock(block);
        ASSERT_EQ(channelBlock == nullptr, jigBlock == nullptr) << block;
        if (jigBlock != nullptr) {
            EXPECT_EQ(hexBytes({channelBlock, channelBlock + 256}), hexBytes({jigBlock, jigBlock + 256})) << block;
        }
        EXPECT_EQ(channel.link.transcriptText(), jig.link.transcriptText()) << block;
        EXPECT_EQ(channel.link.errorCode(), jig.link.errorCode()) << block;
        EXPECT_EQ(channel.link.replyPayloadLength(), 0u);
        EXPECT_TRUE(channel.messages.messages.empty());
    }
}

TEST(DisplayChannel, EdidReadSwitchesTheTranscriptOff) {
    ChannelOnBench f;
    f.link.transcriptOn();
    const std::uint8_t* block = f.link.readEepromBlock(0);
    ASSERT_NE(block, nullptr);
    const auto edid = bench::benchEdidBaseBlock();
    EXPECT_EQ(hexBytes({block, block + 128}), hexBytes({edid.begin(), edid.end()}));
    EXPECT_EQ(f.link.transcriptLength(), -1);
}

// --- The stand-in adapter decodes what the kernel would get -------------------

TEST(BenchI2cAdapter, RefusesWhatI2cDevRefuses) {
    bench::VirtualBench bench;
    bench::BenchI2cAdapter adapter{bench};
    const int descriptor = adapter.openNode("/dev/i2c-3");
    std::uint8_t byte = 0;
    struct Row {
        const char* name;
        i2c_msg message;
        __u32 count;
        int expected;
    };
    for (const Row& row : {Row{"ten-bit", {0x50, I2C_M_TEN, 1, &byte}, 1, -EINVAL},
                           Row{"no-buffer", {0x50, I2C_M_RD, 1, nullptr}, 1, -EINVAL},
                           Row{"too-long", {0x50, I2C_M_RD, 8193, &byte}, 1, -EINVAL},
                           Row{"no-messages", {0x50, 0, 1, &byte}, 0, -EINVAL},
                           Row{"too-many", {0x50, 0, 1, &byte}, 43, -EINVAL},
                           Row{"nobody-there", {0x21, I2C_M_RD, 1, &byte}, 1, -ENXIO},
                           Row{"edid-address", {0x50, 0, 1, &byte}, 1, 1}}) {
        std::vector<i2c_msg> messages(std::max<__u32>(row.count, 1), row.message);
        i2c_rdwr_ioctl_data data{messages.data(), row.count};
        EXPECT_EQ(adapter.combinedTransfer(descriptor, data), row.expected) << row.name;
    }
    adapter.closeNode(descriptor);
    i2c_msg message{0x50, 0, 1, &byte};
    i2c_rdwr_ioctl_data data{&message, 1};
    EXPECT_EQ(adapter.combinedTransfer(descriptor, data), -EBADF);
}

TEST(BenchI2cAdapter, WordAddressThenRepeatedStartReadsFromThere) {
    bench::VirtualBench bench;
    bench::BenchI2cAdapter adapter{bench};
    platform::I2cDevPort port{adapter};
    ASSERT_EQ(port.open("i2c-3"), 0);
    std::uint8_t wordAddress = 0x08;  // the EDID's manufacturer ID
    std::array<std::uint8_t, 4> bytes{};
    const platform::I2cSegment segments[] = {{0x50, false, std::span(&wordAddress, 1)}, {0x50, true, bytes}};
    ASSERT_EQ(port.transfer(segments), 0);
    const auto edid = bench::benchEdidBaseBlock();
    EXPECT_EQ(hexBytes({bytes.begin(), bytes.end()}), hexBytes({edid.begin() + 8, edid.begin() + 12}));
    // A byte the monitor cannot take: its request buffer is full.
    std::vector<std::uint8_t> flood(200, 0x00);
    const platform::I2cSegment tooLong{0x37, false, flood};
    EXPECT_EQ(port.transfer(std::span(&tooLong, 1)), EREMOTEIO);
    EXPECT_EQ(bench.log.requests().size(), 0u);
}

}  // namespace
}  // namespace velmora::link
