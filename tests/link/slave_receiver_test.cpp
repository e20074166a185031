#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bench/bus_agent.h"
#include "link_on_bench.h"

namespace velmora::link {
namespace {

using testing::hexBytes;
using testing::LinkOnBench;

// A bus master that plays line states, each held for a number of the PC's
// status reads (kForever: to the end), then releases both lines.
class ScriptedMaster : public bench::BusAgent {
public:
    static constexpr int kForever = -1;
    struct Step {
        bool scl;
        bool sda;
        int reads;
    };

    void onPortAccess(const bench::PortAccess& access, bench::BusLevels) override {
        if (access.isWrite || index_ >= steps.size() || steps[index_].reads == kForever) return;
        if (++held_ >= steps[index_].reads) {
            ++index_;
            held_ = 0;
        }
    }
    [[nodiscard]] bool pullsScl() const override { return index_ < steps.size() && !steps[index_].scl; }
    [[nodiscard]] bool pullsSda() const override { return index_ < steps.size() && !steps[index_].sda; }

    void start() { steps.push_back({true, false, 3}); }
    void bit(bool one) {
        steps.push_back({false, one, 3});
        steps.push_back({true, one, 3});
    }
    void byte(std::uint8_t value) {
        for (int b = 7; b >= 0; --b) bit(((value >> b) & 1) != 0);
        // Acknowledge clock: SDA released for the PC to pull.
        steps.push_back({false, true, 3});
        steps.push_back({true, true, 3});
    }
    void stop() {
        steps.push_back({false, false, 3});
        steps.push_back({true, false, 3});
    }
    void message(const std::vector<std::uint8_t>& bytes) {
        start();
        for (std::uint8_t value : bytes) byte(value);
        stop();
    }
    void hold(bool scl, bool sda) { steps.push_back({scl, sda, kForever}); }

    std::vector<Step> steps;

private:
    std::size_t index_ = 0;
    int held_ = 0;
};

std::vector<std::uint8_t> withChecksum(std::vector<std::uint8_t> bytes) {
    std::uint8_t sum = 0;
    for (std::uint8_t byte : bytes) sum ^= byte;
    bytes.push_back(sum);
    return bytes;
}

struct Reception {
    bool ok;
    LinkError code;
    std::string transcript;
    std::vector<std::uint8_t> buffer;  // first bytes of the reply buffer
    std::uint64_t statusReads;
};

// Runs the receiver alone against `master` (the bench's monitor stays quiet).
Reception receive(ScriptedMaster& master) {
    LinkOnBench f(ReplyMode::SlaveReceive);
    EXPECT_TRUE(f.bench.board().attach(master));
    f.link.transcriptOn();
    const std::uint8_t shadow = f.jig.bus().dataShadow();
    f.bench.board().clearValuesWritten();
    const auto readsBefore = f.bench.board().statusReads();
    const bool ok = f.jig.receiveReplyAsSlave();
    Reception result{ok, f.link.errorCode(), std::string(f.link.transcriptText()),
                     {f.link.replyBuffer().begin(), f.link.replyBuffer().begin() + 8},
                     f.bench.board().statusReads() - readsBefore};
    // The receiver pulls SDA itself for the acknowledges and nothing else,
    // and leaves the link's data shadow alone.
    const auto& written = f.bench.board().valuesWritten();
    EXPECT_EQ(written.count(), written.test(0x80) + written.test(0x00));
    EXPECT_EQ(f.jig.bus().dataShadow(), shadow);
    EXPECT_EQ(f.bench.shield().enters, 1);
    EXPECT_EQ(f.bench.shield().leaves, 1);
    EXPECT_EQ(f.bench.shield().depth, 0);
    return result;
}

TEST(SlaveReceiver, AcceptsAnyAddressAndLengthWhenTheBytesXorToZero) {
    struct Row {
        std::vector<std::uint8_t> message;
    };
    const Row rows[] = {
        {withChecksum({0x50, 0x6E, 0x82, 0x01, 0x10})},
        {withChecksum({0x42, 0x6E, 0x81, 0x07})},        // any address byte
        {withChecksum({0x50, 0x6E, 0x85, 0x02})},        // length byte says more
        {withChecksum({0x50})},                          // two bytes in all
    };
    for (const Row& row : rows) {
        ScriptedMaster master;
        master.message(row.message);
        const Reception r = receive(master);
        const std::string input = hexBytes(row.message);
        EXPECT_TRUE(r.ok) << input;
        EXPECT_EQ(r.code, LinkError::None) << input;
        EXPECT_EQ(r.transcript, "\r\n " + input) << input;
        EXPECT_EQ(std::vector<std::uint8_t>(r.buffer.begin(), r.buffer.begin() + row.message.size()), row.message)
            << input;
    }
}

TEST(SlaveReceiver, EmptyMessageIsAccepted) {
    ScriptedMaster master;
    master.start();
    master.stop();
    const Reception r = receive(master);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.transcript, "\r\n");
}

TEST(SlaveReceiver, ChecksumFailureKeepsTheBytes) {
    ScriptedMaster master;
    master.message({0x50, 0x6E, 0x81, 0x07, 0x00});
    const Reception r = receive(master);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.code, LinkError::None);
    EXPECT_EQ(r.transcript, "\r\n 50 6E 81 07 00 Checksum");
}

TEST(SlaveReceiver, RepeatedStartWithinABitIsWaitedOut) {
    // SDA falls while SCL is high (a repeated START); the bit is then taken
    // from SDA as it was last seen with SCL high.
    ScriptedMaster master;
    master.start();
    master.steps.push_back({false, true, 3});
    master.steps.push_back({true, true, 3});
    master.steps.push_back({true, false, 3});  // SDA falls, SCL high
    for (int b = 6; b >= 0; --b) master.bit(true);
    master.steps.push_back({false, true, 3});
    master.steps.push_back({true, true, 3});
    master.byte(0x7F);
    master.stop();
    const Reception r = receive(master);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.transcript, "\r\n 7F 7F");
}

struct FailureRow {
    const char* name;
    void (*script)(ScriptedMaster&);
    LinkError code;
    const char* transcript;
    std::uint64_t maxStatusReads;
};

void PrintTo(const FailureRow& row, std::ostream* out) { *out << row.name; }

class SlaveReceiverFailureTest : public ::testing::TestWithParam<FailureRow> {};

TEST_P(SlaveReceiverFailureTest, EndsWithinItsBudget) {
    const FailureRow& row = GetParam();
    ScriptedMaster master;
    row.script(master);
    const Reception r = receive(master);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.code, row.code) << linkErrorName(r.code);
    EXPECT_EQ(r.transcript, row.transcript);
    EXPECT_LE(r.statusReads, row.maxStatusReads);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SlaveReceiverFailureTest,
    ::testing::Values(
        FailureRow{"NeverStarts", [](ScriptedMaster&) {}, LinkError::NoResponse, "\r\n", 400000},
        FailureRow{"ClockStuckLowInABit",
                   [](ScriptedMaster& m) {
                       m.start();
                       m.byte(0x50);
                       m.hold(false, true);
                   },
                   LinkError::None, "\r\n 50", 60000},
        FailureRow{"BusHeldWithSclHighAndSdaLow",
                   [](ScriptedMaster& m) {
                       m.start();
                       m.steps.push_back({false, false, 3});
                       m.hold(true, false);
                   },
                   LinkError::None, "\r\n", 60000},
        FailureRow{"AcknowledgeClockNeverComes",
                   [](ScriptedMaster& m) {
                       m.start();
                       for (int b = 0; b < 8; ++b) m.bit(true);
                       m.hold(false, true);
                   },
                   LinkError::None, "\r\n", 60000},
        FailureRow{"AcknowledgeClockNeverEnds",
                   [](ScriptedMaster& m) {
                       m.start();
                       for (int b = 0; b < 8; ++b) m.bit(false);
                       m.steps.push_back({false, true, 3});
                       m.hold(true, true);
                   },
                   LinkError::None, "\r\n", 60000}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SlaveReceiver, NothingHappensWhileTheErrorFlagIsSet) {
    LinkOnBench f(ReplyMode::SlaveReceive);
    f.bench.faults.noBoard = true;
    EXPECT_FALSE(f.jig.start());
    const auto accesses = f.bench.board().portAccesses();
    EXPECT_FALSE(f.jig.receiveReplyAsSlave());
    EXPECT_EQ(f.bench.board().portAccesses(), accesses);
    EXPECT_EQ(f.bench.shield().enters, 0);
}

}  // namespace
}  // namespace velmora::link
