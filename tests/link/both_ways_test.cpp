// What the caller and the technician see of an exchange must not depend on
// the way to the monitor: every case here runs through the jig's board and
// through a graphics card's adapter alike.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "link_either_way.h"
#include "link_on_bench.h"

namespace velmora::link {
namespace {

using bench::hexBytes;
using testing::LinkEitherWay;
using testing::repeat;
using testing::Way;

const auto kBothWays = ::testing::Values(Way::Jig, Way::DisplayChannel);

template <typename Row>
std::string caseName(const ::testing::TestParamInfo<std::tuple<Way, Row>>& info) {
    return std::string(testing::wayName(std::get<0>(info.param))) + "_" + std::get<1>(info.param).name;
}

// --- One exchange: reply, transcript, error code and messages -----------------

struct ExchangeRow {
    const char* name;
    std::vector<const char*> faults;
    std::vector<std::uint8_t> payload;
    std::int32_t replyArgument;
    const char* reply;       // hex, "" when the transaction fails (bytes 2 on of a fresh buffer are 0)
    std::string transcript;  // after the leading CR LF
    LinkError code;
    std::vector<std::string> messages;
    std::size_t payloadLength;  // what the reply really carried
    std::size_t requestsReceived;  // by the monitor, all attempts
};

class ExchangeTest : public ::testing::TestWithParam<std::tuple<Way, ExchangeRow>> {};

TEST_P(ExchangeTest, ReplyTranscriptCodeAndMessages) {
    const auto& [way, row] = GetParam();
    LinkEitherWay f(way);
    ASSERT_EQ(f.opened, 0);
    for (const char* fault : row.faults) ASSERT_EQ(f.bench.applyFault(fault), "") << fault;
    f.link->transcriptOn();
    EXPECT_EQ(hexBytes(f.request(row.payload, row.replyArgument)), row.reply);
    EXPECT_EQ(f.link->transcriptText(), "\r\n" + row.transcript);
    EXPECT_EQ(f.link->errorCode(), row.code) << linkErrorName(f.link->errorCode());
    EXPECT_EQ(f.messageTexts(), row.messages);
    EXPECT_EQ(f.link->replyPayloadLength(), row.payloadLength);
    EXPECT_EQ(f.bench.log.requests().size(), row.requestsReceived);
}

const std::string kReadVcp10 = " PC: S_ 6E 51 82 01 10 AC _E";
const std::string kGoodReply = " 6E 88 02 00 10 00 00 64 00 32 F2";
const std::string kBadChecksumReply = " 6E 88 02 00 10 00 00 64 00 32 0D";
const std::string kGarbledReply = " 91 88 02 00 10 00 00 64 00 32 F2";  // first byte inverted
const char* kVcp10 = "50 6E 88 02 00 10 00 00 64 00 32 F2";

INSTANTIATE_TEST_SUITE_P(
    BothWays, ExchangeTest,
    ::testing::Combine(
        kBothWays,
        ::testing::Values(
            ExchangeRow{"ReadVcp", {}, {0x01, 0x10}, 30, kVcp10, kReadVcp10 + " MON: S_ 6F" + kGoodReply + " _E OK.\r\n",
                        LinkError::None, {}, 8, 1},
            ExchangeRow{"SetVcpHasNoReply", {}, {0x03, 0x10, 0x00, 0x32}, 0, "50 6E 00 00",
                        " PC: S_ 6E 51 84 03 10 00 32 9A _E OK.\r\n", LinkError::None, {}, 0, 1},
            ExchangeRow{"ReadMemory", {}, {0xC1, 0x09, 0x00, 0x10}, 20, "50 6E 85 C2 09 00 10 81 E1",
                        " PC: S_ 6E 51 84 C1 09 00 10 63 _E MON: S_ 6F 6E 85 C2 09 00 10 81 E1 _E OK.\r\n",
                        LinkError::None, {}, 5, 1},
            ExchangeRow{"CrtOnTime", {}, {0xC0, 0x0B}, 100, "50 6E 85 C1 0B 00 46 57 60",
                        " PC: S_ 6E 51 82 C0 0B 76 _E MON: S_ 6F 6E 85 C1 0B 00 46 57 60 _E OK.\r\n", LinkError::None,
                        {}, 5, 1},
            ExchangeRow{"WriteMemoryByDevice", {}, {0x62, 0x01, 0xA0, 0x00, 0x55}, 20, "50 6E 85 63 01 A0 00 55 2C",
                        " PC: S_ 6E 51 85 62 01 A0 00 55 2C _E MON: S_ 6F 6E 85 63 01 A0 00 55 2C _E OK.\r\n",
                        LinkError::None, {}, 5, 1},
            // A reply that sums right is the link's, however short; its reader judges it.
            ExchangeRow{"ShortReply", {"short-reply"}, {0x01, 0x12}, 30, "50 6E 82 02 00 BE",
                        " PC: S_ 6E 51 82 01 12 AE _E MON: S_ 6F 6E 82 02 00 BE _E OK.\r\n", LinkError::None, {}, 2,
                        1},
            ExchangeRow{"ReplyLateButInTime", {"reply-delay=25"}, {0x01, 0x10}, 30, kVcp10,
                        kReadVcp10 + " MON: S_ 6F" + kGoodReply + " _E OK.\r\n", LinkError::None, {}, 8, 1},
            ExchangeRow{"NoMonitor", {"no-monitor"}, {0x01, 0x10}, 30, "",
                        repeat(" PC: S_ 6E Error!!\r\n", 3) + " Monitor is not Connected\r\n",
                        LinkError::MonitorNotConnected, {"Monitor is not Connected"}, 0, 0},
            ExchangeRow{"ChecksumThreeTimes", {"bad-checksum=3"}, {0x01, 0x10}, 30, "",
                        repeat(kReadVcp10 + " MON: S_ 6F" + kBadChecksumReply + " _E Checksum Error!!\r\n", 3),
                        LinkError::None, {}, 0, 3},
            ExchangeRow{"ChecksumOnceThenRetried", {"bad-checksum=1"}, {0x01, 0x10}, 30, kVcp10,
                        kReadVcp10 + " MON: S_ 6F" + kBadChecksumReply + " _E Checksum Error!!\r\n" + kReadVcp10 +
                            " MON: S_ 6F" + kGoodReply + " _E OK.\r\n",
                        LinkError::None, {}, 8, 2},
            // Every attempt reads from 6F, whatever a garbled reply left in the buffer.
            ExchangeRow{"GarbledOnceThenRetriedFrom6F", {"garbled-reply"}, {0x01, 0x10}, 30, kVcp10,
                        kReadVcp10 + " MON: S_ 6F" + kGarbledReply + " _E Checksum Error!!\r\n" + kReadVcp10 +
                            " MON: S_ 6F" + kGoodReply + " _E OK.\r\n",
                        LinkError::None, {}, 8, 2},
            ExchangeRow{"GarbledThreeTimes", {"garbled-reply=3"}, {0x01, 0x10}, 30, "",
                        repeat(kReadVcp10 + " MON: S_ 6F" + kGarbledReply + " _E Checksum Error!!\r\n", 3),
                        LinkError::None, {}, 0, 3})),
    caseName<ExchangeRow>);

// --- Write protection -----------------------------------------------------------

struct ProtectionRow {
    const char* name;
    std::vector<std::uint8_t> payload;
    bool refused;  // with write-enabled mode off
};

class ProtectionTest : public ::testing::TestWithParam<std::tuple<Way, ProtectionRow>> {};

TEST_P(ProtectionTest, RefusedRequestsSendNothingAndStayUntouched) {
    const auto& [way, row] = GetParam();
    LinkEitherWay f(way);
    f.flags.writeEnabled = 0;
    f.link->transcriptOn();
    f.link->setErrorCode(LinkError::MonitorNotConnected);

    std::vector<std::uint8_t> packet(row.payload.size() + 4, 0xA5);
    packet[2] = static_cast<std::uint8_t>(0x80 | row.payload.size());
    std::copy(row.payload.begin(), row.payload.end(), packet.begin() + 3);
    const auto before = packet;
    const auto activityBefore = f.busActivity();

    const std::uint8_t* reply = f.link->transact(packet, 20);
    if (row.refused) {
        EXPECT_EQ(reply, nullptr);
        EXPECT_EQ(packet, before);
        EXPECT_EQ(f.busActivity(), activityBefore);
        EXPECT_EQ(f.link->transcriptText(), "\r\n Password is required \r\n");
        EXPECT_EQ(f.messageTexts(), std::vector<std::string>{"Password is required"});
        EXPECT_EQ(f.link->errorCode(), LinkError::MonitorNotConnected);
        EXPECT_TRUE(f.link->isWriteProtected(packet));
    } else {
        EXPECT_GT(f.busActivity(), activityBefore);
        EXPECT_EQ(f.link->transcriptText().find("Password"), std::string_view::npos);
        EXPECT_GE(f.bench.log.requests().size(), 1u);
        EXPECT_FALSE(f.link->isWriteProtected(packet));
    }
}

INSTANTIATE_TEST_SUITE_P(
    BothWays, ProtectionTest,
    ::testing::Combine(kBothWays,
                       ::testing::Values(ProtectionRow{"WriteByDevice", {0x62, 0x01, 0xA0, 0x10, 0x55}, true},
                                         ProtectionRow{"WriteByDeviceOpcodeAlone", {0x62}, true},
                                         ProtectionRow{"WriteByPage", {0xC0, 0x09, 0x00, 0x10, 0x55}, true},
                                         ProtectionRow{"UserTable", {0xC0, 0x07, 0x10, 0x00, 0x01, 0x02}, true},
                                         ProtectionRow{"FactoryC00A", {0xC0, 0x0A}, true},
                                         ProtectionRow{"FactoryOpcodeAlone", {0xC0}, true},
                                         ProtectionRow{"SetVcpE6", {0x03, 0xE6, 0x00, 0x01}, true},
                                         ProtectionRow{"CrtOnTime", {0xC0, 0x0B}, false},
                                         ProtectionRow{"SetVcp10", {0x03, 0x10, 0x00, 0x01}, false},
                                         ProtectionRow{"SetVcpE7", {0x03, 0xE7, 0x00, 0x01}, false},
                                         ProtectionRow{"GetVcpE6", {0x01, 0xE6}, false},
                                         ProtectionRow{"ReadByPage", {0xC1, 0x09, 0x00, 0x10}, false},
                                         ProtectionRow{"ReadByDevice", {0x60, 0x01, 0xA0, 0x10}, false},
                                         ProtectionRow{"ServiceCode", {0x58}, false})),
    caseName<ProtectionRow>);

class EitherWayTest : public ::testing::TestWithParam<Way> {};

TEST_P(EitherWayTest, WriteEnabledModeLetsEveryRequestThrough) {
    LinkEitherWay f(GetParam());
    f.flags.writeEnabled = 1;
    bool ok = false;
    f.request({0x62, 0x01, 0xA2, 0x10, 0x55}, 20, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(f.bench.monitor.memory[1][0x10], 0x55);
    EXPECT_TRUE(f.messages.messages.empty());
}

TEST_P(EitherWayTest, RequestShorterThanItsLengthByteIsRefusedUntouched) {
    LinkEitherWay f(GetParam());
    std::vector<std::uint8_t> packet{0, 0, 0x85, 0x01, 0x10, 0};  // needs 9 bytes
    const auto before = packet;
    const auto activityBefore = f.busActivity();
    EXPECT_EQ(f.link->transact(packet, 30), nullptr);
    EXPECT_EQ(packet, before);
    EXPECT_EQ(f.busActivity(), activityBefore);
    std::vector<std::uint8_t> tiny{0x6E, 0x51};
    EXPECT_EQ(f.link->transact(tiny, 30), nullptr);
}

// A request without a reply leaves nothing on the bus for the next one, and
// what the buffer held of an earlier reply is not offered as its payload.
TEST_P(EitherWayTest, NoReplyArgumentReturnsBufferWithAddressesOnly) {
    LinkEitherWay f(GetParam());
    ASSERT_FALSE(f.request({0x01, 0x10}, 30).empty());
    std::vector<std::uint8_t> packet{0, 0, 0x84, 0x03, 0x12, 0x00, 0x07, 0};
    const std::uint8_t* reply = f.link->transact(packet, 0);
    ASSERT_NE(reply, nullptr);
    EXPECT_EQ(reply[0], 0x50);
    EXPECT_EQ(reply[1], 0x6E);
    EXPECT_EQ(f.link->replyPayloadLength(), 0u);
    EXPECT_EQ(f.bench.monitor.vcp[0x12].current, 7);
    EXPECT_FALSE(f.bench.monitorDevice().replyWaiting());
}

// EDID block 0 and the one after it come from 0x50 in one read; the read
// leaves no command reply behind and, with the bus reset before it, the
// transcript off. Nothing at 0x51 is read on the way.
TEST_P(EitherWayTest, TheFirstEdidBlockIsTheEepromAt50) {
    LinkEitherWay f(GetParam());
    f.bench.eeprom(1).present = true;
    const auto& contents = f.bench.eeprom(0).contents;
    ASSERT_FALSE(f.request({0x01, 0x10}, 30).empty());
    f.link->busReset();
    f.link->transcriptOn();
    const std::uint8_t* block = f.link->transferEepromBlock(0);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(hexBytes({block, block + 256}), hexBytes({contents.begin(), contents.end()}));
    EXPECT_EQ(f.link->transcriptText(), "\r\n S_ A0 00 S_ A1 " + hexBytes({contents.begin(), contents.end()}) + " _E");
    EXPECT_EQ(f.link->errorCode(), LinkError::None);
    EXPECT_EQ(f.link->replyPayloadLength(), 0u);
    EXPECT_TRUE(f.messages.messages.empty());
    ASSERT_NE(f.link->readEepromBlock(0), nullptr);
    EXPECT_EQ(f.link->transcriptLength(), -1);
}

INSTANTIATE_TEST_SUITE_P(BothWays, EitherWayTest, kBothWays,
                         [](const auto& info) { return std::string(testing::wayName(info.param)); });

}  // namespace
}  // namespace velmora::link
