#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bench/virtual_bench.h"
#include "link/jig_link.h"
#include "platform/message_sink.h"

namespace velmora::bench {
namespace {

struct Session {
    explicit Session(link::ReplyMode mode, BenchTiming timing = BenchTiming::Virtual) : bench(timing) {
        jig.setReplyMode(mode);
    }
    VirtualBench bench;
    platform::RecordingMessageSink messages;
    link::ProgramFlags flags;
    link::JigLink jig{bench.platform(messages), flags};

    const std::uint8_t* send(std::vector<std::uint8_t> payload, std::int32_t replyArgument) {
        packet.assign(payload.size() + 4, 0);
        packet[2] = static_cast<std::uint8_t>(0x80 | payload.size());
        std::copy(payload.begin(), payload.end(), packet.begin() + 3);
        return jig.transact(packet, replyArgument);
    }
    std::vector<std::uint8_t> packet;
};

// A small service session: reads, writes, a memory page byte, a table.
void serviceSession(Session& s) {
    s.jig.transcriptOn();
    (void)s.send({0x01, 0x10}, 30);
    (void)s.send({0x03, 0x10, 0x00, 0x40}, 0);
    (void)s.send({0x01, 0x10}, 30);
    (void)s.send({0xC0, 0x09, 0x01, 0x05, 0xAB}, 20);
    (void)s.send({0xC1, 0x09, 0x01, 0x05}, 20);
    (void)s.send({0x52, 0x03, 0x10, 0x20}, 100);
    (void)s.send({0x58}, 1000);
}

TEST(VirtualBench, SameCallsGiveTheSameTranscriptAndLog) {
    for (link::ReplyMode mode : {link::ReplyMode::MasterRead, link::ReplyMode::SlaveReceive}) {
        Session first(mode);
        Session second(mode);
        serviceSession(first);
        serviceSession(second);
        EXPECT_EQ(first.jig.transcriptText(), second.jig.transcriptText());
        ASSERT_EQ(first.bench.log.events().size(), second.bench.log.events().size());
        for (std::size_t i = 0; i < first.bench.log.events().size(); ++i) {
            const auto& a = first.bench.log.events()[i];
            const auto& b = second.bench.log.events()[i];
            EXPECT_EQ(a.timeMicroseconds, b.timeMicroseconds) << i;
            EXPECT_EQ(a.bytes, b.bytes) << i;
            EXPECT_EQ(a.detail, b.detail) << i;
        }
        EXPECT_EQ(first.bench.nowMicroseconds(), second.bench.nowMicroseconds());
        EXPECT_EQ(first.bench.monitor.memory[1][5], 0xAB);
        EXPECT_TRUE(first.bench.monitor.modeTables[3].stored);
        EXPECT_EQ(first.bench.log.eventsOf(BenchEventKind::Request).size(), 7u);
        EXPECT_TRUE(first.messages.messages.empty());
    }
}

TEST(VirtualBench, MemoryFormDecidesWhichRequestsGetAnAnswer) {
    struct Row {
        MemoryForm form;
        link::ReplyMode mode;
        bool byPageAnswered;
        bool byDeviceAnswered;
        link::LinkError unansweredCode;
    };
    for (const Row row : {Row{MemoryForm::ByPage, link::ReplyMode::SlaveReceive, true, false, link::LinkError::NoResponse},
                          Row{MemoryForm::ByDevice, link::ReplyMode::SlaveReceive, false, true, link::LinkError::NoResponse},
                          Row{MemoryForm::Both, link::ReplyMode::SlaveReceive, true, true, link::LinkError::None},
                          Row{MemoryForm::ByDevice, link::ReplyMode::MasterRead, false, true,
                              link::LinkError::MonitorNotConnected}}) {
        Session s(row.mode);
        s.bench.faults.memoryForm = row.form;
        const std::uint8_t* byPage = s.send({0xC1, 0x09, 0x02, 0x10}, 20);
        const link::LinkError byPageCode = s.jig.errorCode();
        const std::uint8_t* byDevice = s.send({0x60, 0x01, 0xA4, 0x10}, 20);
        const link::LinkError byDeviceCode = s.jig.errorCode();
        const int form = static_cast<int>(row.form);
        EXPECT_EQ(byPage != nullptr, row.byPageAnswered) << "form " << form;
        EXPECT_EQ(byDevice != nullptr, row.byDeviceAnswered) << "form " << form;
        if (!row.byPageAnswered) {
            EXPECT_EQ(byPageCode, row.unansweredCode) << "form " << form;
        }
        if (!row.byDeviceAnswered) {
            EXPECT_EQ(byDeviceCode, row.unansweredCode) << "form " << form;
        }
        if (byDevice != nullptr) {
            EXPECT_EQ(byDevice[7], MonitorState::defaultMemoryByte(2, 0x10));
        }
    }
}

TEST(VirtualBench, MalformedRequestsAreDroppedAndLogged) {
    Session s(link::ReplyMode::MasterRead);
    ASSERT_TRUE(s.jig.controls().start());
    for (std::uint8_t byte : {0x6E, 0x51, 0x82, 0x01, 0x10, 0x00}) ASSERT_TRUE(s.jig.controls().writeByte(byte));
    s.jig.controls().bus().stop();
    const auto rejected = s.bench.log.eventsOf(BenchEventKind::RequestRejected);
    ASSERT_EQ(rejected.size(), 1u);
    EXPECT_EQ(rejected[0].bytes, (std::vector<std::uint8_t>{0x6E, 0x51, 0x82, 0x01, 0x10, 0x00}));
    EXPECT_FALSE(s.bench.monitorDevice().replyWaiting());
}

TEST(VirtualBench, ReplyNotYetStartedIsDroppedWhenThePcMovesOn) {
    Session s(link::ReplyMode::SlaveReceive);
    s.bench.faults.replyDelayMs = 5;
    ASSERT_NE(s.send({0x03, 0x10, 0x00, 0x10}, 0), nullptr);  // no reply
    // A request whose reply argument is 0 in slave mode: the monitor would
    // answer, but the PC does not listen; its next START must find a free bus.
    ASSERT_NE(s.send({0x01, 0x10}, 0), nullptr);
    EXPECT_FALSE(s.bench.transmitter().idle());
    s.bench.faults.replyDelayMs = 0;
    const std::uint8_t* reply = s.send({0x01, 0x12}, 30);
    ASSERT_NE(reply, nullptr);
    EXPECT_EQ(reply[5], 0x12);
}

TEST(VirtualBench, RealTimeVariantRunsBothModes) {
    for (link::ReplyMode mode : {link::ReplyMode::MasterRead, link::ReplyMode::SlaveReceive}) {
        Session s(mode, BenchTiming::RealTime);
        const std::uint8_t* reply = s.send({0x01, 0x10}, 30);
        ASSERT_NE(reply, nullptr) << static_cast<int>(mode);
        EXPECT_EQ(reply[10], 0x32);
        EXPECT_EQ(s.bench.clock().nanoseconds(), 0);  // the virtual clock is not used
    }
}

}  // namespace
}  // namespace velmora::bench
