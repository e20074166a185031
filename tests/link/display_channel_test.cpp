// The display-channel link against the bench monitor behind the stand-in
// adapter, compared with the jig on a bench of its own: what the caller and
// the technician see must not depend on the way to the monitor.
#include <gtest/gtest.h>

#include <algorithm>
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

std::string messageTexts(const platform::RecordingMessageSink& sink) {
    std::string texts;
    for (const auto& message : sink.messages) texts += message.text + "|";
    return texts;
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

// The adapter's errors: what the jig would meet as well (nothing
// acknowledged) keeps the jig's words; the adapter's own failures name their
// remedy, and those another attempt cannot cure are not tried again.
TEST(DisplayChannel, AdapterErrorsNameTheirRemedy) {
    struct Row {
        int transferError;  // on every transfer
        int readError;      // on the reply's read only
        int transfers;
        LinkError code;
        const char* message;  // a part of the one message shown
    };
    for (const Row& row : {
             Row{ENXIO, 0, 3, LinkError::MonitorNotConnected, "Monitor is not Connected"},
             Row{EREMOTEIO, 0, 3, LinkError::MonitorNotConnected, "Monitor is not Connected"},
             Row{ETIMEDOUT, 0, 3, LinkError::InterfaceBoard, "The bus is stuck"},
             Row{EBUSY, 0, 1, LinkError::InterfaceBoard, "modprobe -r ddcci"},
             Row{EOPNOTSUPP, 0, 1, LinkError::InterfaceBoard, "not a display channel"},
             Row{0, ENXIO, 6, LinkError::MonitorNotConnected, "DDC/CI switched off in its on-screen menu"},
             Row{0, EIO, 6, LinkError::MonitorNotConnected, "Monitor is not Connected"},
             Row{0, ETIMEDOUT, 6, LinkError::InterfaceBoard, "The bus is stuck"},
         }) {
        ChannelOnBench f;
        f.adapter.transferError = row.transferError;
        f.adapter.readError = row.readError;
        f.link.transcriptOn();
        EXPECT_TRUE(f.request({0x01, 0x10}, 30).empty());
        const std::string trace = std::to_string(row.transferError) + "/" + std::to_string(row.readError);
        EXPECT_EQ(f.adapter.transfers, row.transfers) << trace;
        EXPECT_EQ(f.link.errorCode(), row.code) << trace;
        ASSERT_EQ(f.messages.messages.size(), 1u) << trace;
        EXPECT_NE(f.messages.messages[0].text.find(row.message), std::string::npos) << f.messages.messages[0].text;
        EXPECT_NE(f.link.transcriptText().find(f.messages.messages[0].text), std::string_view::npos) << trace;
    }
}

// What real monitors send back, and the waits that grow while one is busy
// (40, 80, 160 ms with the DDC/CI timing; the requests' own with the fast one).
TEST(DisplayChannel, RepliesOfRealMonitors) {
    struct Row {
        const char* name;
        std::vector<std::string> faults;
        DisplayChannelTiming timing;
        bool answered;
        std::int64_t attempts;
        LinkError code;
        const char* transcript;  // a part of it
        std::size_t messages;
    };
    DisplayChannelTiming slowScale = kDdcCiTiming;
    slowScale.waitScalePercent = 400;
    for (const Row& row : {
             Row{"busy once", {"busy-replies=1"}, kDdcCiTiming, true, 2, LinkError::None, "6F 6E 80 BE _E Busy", 0},
             Row{"always busy", {"busy-replies=3"}, kDdcCiTiming, false, 3, LinkError::NoResponse,
                 "No response from Monitor", 0},
             Row{"source sent twice", {"double-source=1"}, kDdcCiTiming, true, 1, LinkError::None, "6F 6E 88 02", 0},
             Row{"slow monitor", {"reply-delay=60"}, kDdcCiTiming, true, 2, LinkError::None, "OK.", 0},
             Row{"slow monitor, fast timing", {"reply-delay=60"}, kFastTiming, false, 3,
                 LinkError::MonitorNotConnected, "sent no reply", 1},
             Row{"very slow monitor", {"reply-delay=200"}, kDdcCiTiming, false, 3, LinkError::MonitorNotConnected,
                 "sent no reply", 1},
             Row{"very slow monitor, waits scaled", {"reply-delay=200"}, slowScale, true, 2, LinkError::None, "OK.", 0},
             Row{"wrong checksum", {"bad-checksum=3"}, kDdcCiTiming, false, 3, LinkError::None, "Checksum", 0},
         }) {
        ChannelOnBench f(row.timing);
        for (const std::string& fault : row.faults) ASSERT_EQ(f.bench.applyFault(fault), "");
        f.link.transcriptOn();
        const auto reply = f.request({0x01, 0x10}, 30);
        EXPECT_EQ(!reply.empty(), row.answered) << row.name;
        if (row.answered) {
            EXPECT_EQ(hexBytes(reply), "50 6E 88 02 00 10 00 00 64 00 32 F2") << row.name;
        }
        EXPECT_EQ(f.link.counters().attempts, row.attempts) << row.name;
        EXPECT_EQ(f.link.errorCode(), row.code) << row.name;
        EXPECT_NE(f.link.transcriptText().find(row.transcript), std::string_view::npos) << f.link.transcriptText();
        EXPECT_EQ(f.messages.messages.size(), row.messages) << row.name;
    }
}

// An adapter that reads FFh from nobody instead of reporting it: a monitor
// that took the request but has no reply ready is told as one.
TEST(DisplayChannel, AllOnesFromNobodyIsNoReply) {
    ChannelOnBench f;
    f.adapter.absentReadsOnes = true;
    ASSERT_EQ(f.bench.applyFault("reply-delay=1000"), "");
    EXPECT_TRUE(f.request({0x01, 0x10}, 30).empty());
    EXPECT_EQ(f.link.errorCode(), LinkError::MonitorNotConnected);
    EXPECT_EQ(f.link.counters().attempts, 3);
    ASSERT_EQ(f.messages.messages.size(), 1u);
    EXPECT_NE(f.messages.messages[0].text.find("sent no reply"), std::string::npos);
}

// A reply is read no further than it can reach: firmware expects no more.
TEST(DisplayChannel, RepliesAreReadNoFurtherThanTheyReach) {
    struct Row {
        std::vector<std::uint8_t> payload;
        std::int32_t replyArgument;
        std::size_t readBytes;
    };
    for (const Row& row : {Row{{0x01, 0x10}, 30, 12}, Row{{0xC0, 0x0B}, 100, 40}, Row{{0xC1, 0x09, 0x00, 0x10}, 20, 40},
                           Row{{0x60, 0x40, 0xA0, 0x00}, 20, 72}}) {
        ChannelOnBench f;
        f.request(row.payload, row.replyArgument);
        ASSERT_FALSE(f.adapter.record.empty());
        const auto& read = f.adapter.record.back();
        EXPECT_TRUE(read.read);
        EXPECT_EQ(read.bytes.size(), row.readBytes) << hexBytes(row.payload);
    }
}

// Adapters of real PCs: an SMBus is never written, a node another program
// holds is named with its holder, the proprietary driver's refusal of
// combined transfers falls back to read() and write().
TEST(DisplayChannel, AdaptersOfRealMachines) {
    struct Row {
        const char* name;
        unsigned long functions;
        std::string lockHeldBy;
        bool combinedRefused;
        int slaveAddressError;
        int openResult;
        bool answered;
        const char* words;  // of describeI2cFailure for the open, or of the message shown
    };
    for (const Row& row : {
             Row{"SMBus", I2C_FUNC_SMBUS_BYTE | I2C_FUNC_SMBUS_BYTE_DATA, "", false, 0, EOPNOTSUPP, false,
                 "not a display channel"},
             Row{"held by another program", I2C_FUNC_I2C, "PID 4242 (ddcutil)", false, 0, EWOULDBLOCK, false,
                 "in use by PID 4242 (ddcutil)"},
             Row{"NVIDIA proprietary", I2C_FUNC_I2C, "", true, 0, 0, true, ""},
             Row{"ddcci driver on 0x37", I2C_FUNC_I2C, "", true, EBUSY, 0, false, "modprobe -r ddcci"},
         }) {
        bench::VirtualBench bench;
        bench::BenchI2cAdapter adapter{bench};
        adapter.functions = row.functions;
        adapter.lockHeldBy = row.lockHeldBy;
        adapter.combinedRefused = row.combinedRefused;
        adapter.slaveAddressError = row.slaveAddressError;
        platform::I2cDevPort port{adapter};
        const int opened = port.open("/dev/i2c-5");
        EXPECT_EQ(opened, row.openResult) << row.name;
        if (opened != 0) {
            EXPECT_NE(platform::describeI2cFailure(port.path(), opened, port.lockHolder()).find(row.words),
                      std::string::npos)
                << row.name;
            EXPECT_TRUE(adapter.record.empty()) << row.name;
            continue;
        }
        platform::RecordingMessageSink messages;
        ProgramFlags flags;
        DisplayChannelLink link(port, bench.clock(), messages, flags);
        std::vector<std::uint8_t> packet{0, 0, 0x82, 0x01, 0x10, 0};
        const std::uint8_t* reply = link.transact(packet, 30);
        EXPECT_EQ(reply != nullptr, row.answered) << row.name;
        if (row.answered) {
            EXPECT_EQ(hexBytes({reply, reply + 12}), "50 6E 88 02 00 10 00 00 64 00 32 F2") << row.name;
        } else {
            EXPECT_NE(messageTexts(messages).find(row.words), std::string::npos) << messageTexts(messages);
        }
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

// Every EDID block comes from 0x50: odd blocks at offset 80h, blocks 2 and up
// behind the segment pointer, and only what the EDID announces; no other
// address of the card's bus is read.
TEST(DisplayChannel, EdidBlocksFromTheEdidAddressOnly) {
    struct Row {
        std::uint8_t extensions;  // byte 126 of the base block
        std::int32_t block;
        bool read;
        std::uint8_t first;   // the first byte of each half read: 0x00 (base), 0xE1 (block 1), 0x10 + N (block N)
        std::uint8_t second;  // FFh where the block after it is not announced
    };
    for (const Row& row : {Row{0, 1, false, 0, 0}, Row{1, 1, true, 0xE1, 0xFF}, Row{2, 1, true, 0xE1, 0x12},
                           Row{3, 2, true, 0x12, 0x13}, Row{3, 3, true, 0x13, 0xFF}, Row{3, 4, false, 0, 0},
                           Row{255, 256, false, 0, 0}}) {
        ChannelOnBench f;
        auto edid = bench::benchEdidBaseBlock();
        edid[126] = row.extensions;
        f.bench.eeprom(0).load(edid);
        f.bench.eeprom(0).contents[0x80] = 0xE1;
        f.bench.eeprom(1).present = true;  // a device at 0x51 that must not be read
        for (int segment = 1; segment < 3; ++segment) {
            std::array<std::uint8_t, 256> bytes{};
            std::fill(bytes.begin(), bytes.begin() + 128, static_cast<std::uint8_t>(0x10 + 2 * segment));
            std::fill(bytes.begin() + 128, bytes.end(), static_cast<std::uint8_t>(0x11 + 2 * segment));
            f.adapter.edidSegments.push_back(bytes);
        }
        const std::uint8_t* block = f.link.readEepromBlock(row.block);
        const std::string trace = std::to_string(row.extensions) + "/" + std::to_string(row.block);
        EXPECT_EQ(block != nullptr, row.read) << trace;
        for (const auto& message : f.adapter.record) {
            EXPECT_TRUE(message.address == 0x50 || message.address == 0x30) << trace << " " << int(message.address);
        }
        if (!row.read) continue;
        EXPECT_EQ(block[0], row.first) << trace;
        EXPECT_EQ(block[128], row.second) << trace;
    }
}

// Factory requests go only to a monitor the model names, or where the
// technician says yes; reading and setting standard VCP values stays free.
TEST(DisplayChannel, FactoryRequestsOnlyToTheModelsMonitor) {
    struct Row {
        const char* name;
        std::vector<MonitorIdentity> expected;
        platform::Answer answer;
        std::vector<std::uint8_t> payload;
        bool sent;
        std::size_t questions;
        std::size_t messages;
    };
    const MonitorIdentity bench{{'V', 'L', 'M'}, 0x1734};
    const MonitorIdentity other{{'N', 'E', 'C'}, 0x4A2F};
    for (const Row& row : {
             Row{"its own monitor", {other, bench}, platform::Answer::CannotAsk, {0x58}, true, 0, 0},
             Row{"another, nobody to ask", {other}, platform::Answer::CannotAsk, {0x58}, false, 1, 1},
             Row{"another, technician says no", {other}, platform::Answer::No, {0xC0, 0x09, 0, 0, 1}, false, 1, 0},
             Row{"another, technician says yes", {other}, platform::Answer::Yes, {0x62, 1, 0xA0, 0, 1}, true, 1, 0},
             Row{"names none", {}, platform::Answer::CannotAsk, {0x03, 0xE6, 0, 1}, false, 1, 1},
             Row{"a standard value", {}, platform::Answer::CannotAsk, {0x03, 0x10, 0, 1}, true, 0, 0},
         }) {
        ChannelOnBench f;
        f.messages.answer = row.answer;
        f.link.expectMonitors(row.expected, "VM-TEST");
        std::vector<std::uint8_t> packet(row.payload.size() + 4, 0);
        packet[2] = static_cast<std::uint8_t>(0x80 | row.payload.size());
        std::copy(row.payload.begin(), row.payload.end(), packet.begin() + 3);
        const std::uint8_t* reply = f.link.transact(packet, 0);
        EXPECT_EQ(reply != nullptr, row.sent) << row.name;
        const bool reached = std::any_of(f.adapter.record.begin(), f.adapter.record.end(),
                                         [](const auto& message) { return message.address == 0x37; });
        EXPECT_EQ(reached, row.sent) << row.name;
        EXPECT_EQ(f.messages.questions.size(), row.questions) << row.name;
        EXPECT_EQ(f.messages.messages.size(), row.messages) << row.name;
        if (row.questions > 0) {
            EXPECT_NE(f.messages.questions[0].text.find("VLM 1734h"), std::string::npos) << row.name;
        }
    }
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
