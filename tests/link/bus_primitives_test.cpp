#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "link/bus_stepping.h"
#include "link_on_bench.h"

namespace velmora::link {
namespace {

using testing::LinkOnBench;

// --- The data register only ever sees 00, 08, 80 and 88 -------------------------

struct Scenario {
    const char* name;
    ReplyMode mode;
    std::function<void(LinkOnBench&)> run;
};

void PrintTo(const Scenario& row, std::ostream* out) { *out << row.name; }

class DataRegisterTest : public ::testing::TestWithParam<Scenario> {};

TEST_P(DataRegisterTest, OnlyTheTwoLineBitsAreEverWritten) {
    const Scenario& scenario = GetParam();
    LinkOnBench f(scenario.mode);
    scenario.run(f);
    const auto& written = f.bench.board().valuesWritten();
    for (unsigned value = 0; value < 256; ++value) {
        if (value == 0x00 || value == 0x08 || value == 0x80 || value == 0x88) continue;
        EXPECT_FALSE(written.test(value)) << scenario.name << ": wrote " << value;
    }
    EXPECT_TRUE(written.test(0x00) && written.test(0x08) && written.test(0x80) && written.test(0x88))
        << scenario.name;
}

INSTANTIATE_TEST_SUITE_P(
    Scenarios, DataRegisterTest,
    ::testing::Values(
        Scenario{"ReadVcpMasterRead", ReplyMode::MasterRead, [](LinkOnBench& f) { f.request({0x01, 0x10}, 30); }},
        Scenario{"ReadVcpSlave", ReplyMode::SlaveReceive, [](LinkOnBench& f) { f.request({0x01, 0x10}, 30); }},
        Scenario{"NoMonitor", ReplyMode::MasterRead,
                 [](LinkOnBench& f) {
                     f.bench.faults.noMonitor = true;
                     f.request({0x01, 0x10}, 30);
                 }},
        Scenario{"EepromBlock", ReplyMode::MasterRead, [](LinkOnBench& f) { (void)f.link.readEepromBlock(0); }},
        Scenario{"BusSteps", ReplyMode::MasterRead,
                 [](LinkOnBench& f) {
                     busStepStart(f.jig);
                     busStepSendA1(f.jig);
                     busStepReceiveData(f.jig);
                     busStepStop(f.jig);
                 }}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Clock stretching around the 2000-read budget -------------------------------

TEST(ClockStretching, ServedUpTo1999ReadsFailsFrom2000) {
    struct Row {
        std::int32_t reads;
        bool ok;
    };
    for (const Row row : {Row{0, true}, Row{1, true}, Row{1999, true}, Row{2000, false}, Row{6000, false}}) {
        for (ReplyMode mode : {ReplyMode::MasterRead, ReplyMode::SlaveReceive}) {
            LinkOnBench f(mode);
            f.bench.faults.sclStretchReads = row.reads;
            bool ok = false;
            f.request({0x01, 0x10}, 30, &ok);
            EXPECT_EQ(ok, row.ok) << "stretch " << row.reads << " mode " << static_cast<int>(mode);
            EXPECT_EQ(f.link.errorCode(), row.ok ? LinkError::None : LinkError::MonitorNotConnected)
                << "stretch " << row.reads;
        }
    }
}

// Holds SCL low whenever switched on: a slave stretching a data bit.
class SclHolder : public bench::BusAgent {
public:
    [[nodiscard]] bool pullsScl() const override { return on; }
    bool on = false;
};

TEST(ClockStretching, HeldDataBitEndsTheByteReadAtOnce) {
    LinkOnBench f(ReplyMode::MasterRead);
    SclHolder holder;
    ASSERT_TRUE(f.bench.board().attach(holder));
    f.link.transcriptOn();
    ASSERT_TRUE(f.jig.start());
    ASSERT_TRUE(f.jig.writeByte(0xA1));
    holder.on = true;
    const auto reads = f.bench.board().statusReads();
    std::uint8_t value = 0x5A;
    EXPECT_FALSE(f.jig.readByte(value, false));
    // One read-back of SCL low, then the first bit's 2000 reads, and no more bits.
    EXPECT_EQ(f.bench.board().statusReads() - reads, 2001u);
    EXPECT_EQ(value, 0x00);
    EXPECT_EQ(f.link.errorCode(), LinkError::None);
    EXPECT_EQ(f.jig.bus().lastByteOutcome(), BusOutcome::TimedOut);  // recorded, though it carries no code
    EXPECT_EQ(f.link.transcriptText(), "\r\n S_ A1");  // no byte recorded
    holder.on = false;
    f.jig.bus().stop();
}

// --- How a byte write ends, and the error code each ending leaves -----------------

TEST(ByteOutcomes, AckNackAndStretchTimeOutEachLeaveTheirCode) {
    struct Row {
        const char* name;
        std::uint8_t address;
        std::int32_t stretchReads;
        BusOutcome outcome;
        LinkError code;
    };
    for (const Row row : {Row{"acknowledged", 0x6E, 0, BusOutcome::Ok, LinkError::None},
                          Row{"nobody at A4", 0xA4, 0, BusOutcome::NotAcknowledged, LinkError::MonitorNotConnected},
                          Row{"SCL held 2000 reads", 0x6E, 2000, BusOutcome::TimedOut,
                              LinkError::MonitorNotConnected}}) {
        LinkOnBench f;
        f.bench.faults.sclStretchReads = row.stretchReads;
        ASSERT_TRUE(f.jig.start()) << row.name;
        EXPECT_EQ(f.jig.writeByte(row.address), row.outcome == BusOutcome::Ok) << row.name;
        EXPECT_EQ(f.jig.bus().lastByteOutcome(), row.outcome) << row.name << ": " << busOutcomeName(f.jig.bus().lastByteOutcome());
        EXPECT_EQ(f.link.errorCode(), row.code) << row.name;
        // After a failure the next byte touches nothing and keeps the code.
        f.bench.faults.sclStretchReads = 0;
        (void)f.jig.writeByte(0x00);
        EXPECT_EQ(f.jig.bus().lastByteOutcome() == BusOutcome::Skipped, row.outcome != BusOutcome::Ok) << row.name;
        EXPECT_EQ(f.link.errorCode(), row.code) << row.name;
        f.jig.bus().stop();
    }
}

// --- Error flag and bus conditions ----------------------------------------------------

TEST(BusPrimitives, NoBoardFailsTheStartWithInterfaceBoard) {
    LinkOnBench f;
    f.bench.faults.noBoard = true;
    const auto reads = f.bench.board().statusReads();
    EXPECT_FALSE(f.jig.start());
    EXPECT_TRUE(f.jig.bus().errorFlag());
    EXPECT_EQ(f.link.errorCode(), LinkError::InterfaceBoard);
    // Without the board SCL reads high and SDA low whatever is written: the
    // first two read-backs match at once, the SCL-low read-back runs its 2000.
    EXPECT_EQ(f.bench.board().statusReads() - reads, 2002u);
}

TEST(BusPrimitives, ByteTransfersWithErrorPendingTouchNothing) {
    LinkOnBench f;
    f.link.transcriptOn();
    f.bench.faults.noBoard = true;
    ASSERT_FALSE(f.jig.start());
    f.bench.faults.noBoard = false;
    const auto accesses = f.bench.board().portAccesses();
    std::uint8_t value = 0x5A;
    EXPECT_FALSE(f.jig.writeByte(0x6E));
    EXPECT_FALSE(f.jig.readByte(value, false));
    EXPECT_FALSE(f.jig.readByte(value, true));
    EXPECT_EQ(f.bench.board().portAccesses(), accesses);
    EXPECT_EQ(value, 0x5A);
    EXPECT_EQ(f.link.transcriptText(), "\r\n S_");
}

TEST(BusPrimitives, StopReleasesTheLinesEvenAfterAnError) {
    struct Row {
        bool errorPending;
        const char* transcript;
    };
    for (const Row row : {Row{false, "\r\n S_ 6E _E"}, Row{true, "\r\n S_ 6E"}}) {
        LinkOnBench f;
        f.bench.faults.noMonitor = row.errorPending;
        f.link.transcriptOn();
        f.jig.start();
        f.jig.writeByte(0x6E);
        const auto accesses = f.bench.board().portAccesses();
        EXPECT_EQ(f.jig.bus().stop(), !row.errorPending);
        EXPECT_GT(f.bench.board().portAccesses(), accesses);
        EXPECT_EQ(f.link.transcriptText(), row.transcript);
        EXPECT_EQ(f.bench.board().dataRegister(), 0x00);
        EXPECT_EQ(f.bench.board().levels(), (bench::BusLevels{true, true}));
        EXPECT_EQ(f.jig.bus().errorFlag(), row.errorPending);
    }
}

TEST(BusPrimitives, BusResetRestoresSpeedAndSwitchesTheTranscriptOff) {
    LinkOnBench f;
    EXPECT_EQ(f.jig.bus().busDelayCount(), 100);
    EXPECT_EQ(f.link.transcriptLength(), -1);
    f.jig.bus().setBusDelayCount(150);
    f.link.transcriptOn();
    EXPECT_TRUE(f.link.busReset());
    EXPECT_EQ(f.jig.bus().busDelayCount(), 100);
    EXPECT_EQ(f.link.transcriptLength(), -1);
    EXPECT_EQ(f.jig.bus().dataShadow(), 0x00);
}

TEST(BusPrimitives, BusResetLineTestReportsALineThatDoesNotFollow) {
    LinkOnBench f;
    f.bench.faults.noBoard = true;
    EXPECT_FALSE(f.link.busReset());
    f.bench.faults.noBoard = false;
    f.jig.bus().clearErrorFlag();
    EXPECT_TRUE(f.link.busReset());
}

TEST(BusPrimitives, BusResetFreesASlaveStuckInTheMiddleOfAByte) {
    LinkOnBench f(ReplyMode::MasterRead);
    f.bench.eeprom(0).contents.fill(0x00);
    ASSERT_TRUE(f.jig.start());
    ASSERT_TRUE(f.jig.writeByte(0xA1));
    // Three bits of a byte, then the PC gives up: the EEPROM holds SDA low.
    f.jig.bus().setScl(false);
    f.jig.bus().releaseSda();
    for (int bit = 0; bit < 3; ++bit) {
        f.jig.bus().setScl(true);
        f.jig.bus().setScl(false);
    }
    EXPECT_FALSE(f.jig.bus().senseSda());
    f.link.busReset();
    EXPECT_TRUE(f.jig.bus().senseSda());
    EXPECT_TRUE(f.link.readEepromBlock(0) != nullptr);
    EXPECT_EQ(f.link.replyBuffer()[0], 0x00);
}

// --- The hidden bus-stepping buttons ---------------------------------------------

TEST(BusStepping, ReadsTheEepromByHand) {
    LinkOnBench f;
    // "Rx Data" always acknowledges, so the EEPROM is already driving the
    // first bit of the next byte when "stop" comes: the STOP only gets
    // through when that bit is 1.
    f.bench.eeprom(0).contents[0x12] = 0x80;
    busStepStart(f.jig);
    busStepSendA0(f.jig);
    EXPECT_TRUE(f.jig.writeByte(0x10));  // word address
    busStepStart(f.jig);
    busStepSendA1(f.jig);
    busStepReceiveData(f.jig);
    busStepReceiveData(f.jig);
    busStepStop(f.jig);
    EXPECT_FALSE(f.jig.bus().errorFlag());
    f.bench.eeprom(0).contents[0x12] = 0x00;
    // Bytes 10 and 11 were read and the EEPROM fetched 12 for the next.
    EXPECT_EQ(f.bench.eeprom(0).wordAddress(), 0x13);
    EXPECT_EQ(f.bench.board().levels(), (bench::BusLevels{true, true}));
}

TEST(BusStepping, EveryStepAfterTheStartClearsAPendingError) {
    struct Row {
        const char* name;
        void (*step)(JigTransport&);
    };
    for (const Row row : {Row{"send A0", busStepSendA0}, Row{"send A1", busStepSendA1},
                          Row{"Rx Data", busStepReceiveData}, Row{"stop", busStepStop}}) {
        LinkOnBench f;
        f.link.transcriptOn();
        f.jig.start();
        ASSERT_FALSE(f.jig.writeByte(0xA4)) << row.name;  // nobody at A4: error pending
        const auto accesses = f.bench.board().portAccesses();
        const std::size_t length = f.link.transcriptText().size();
        row.step(f.jig);
        // A byte transfer or "_E" with the flag set would not have happened.
        EXPECT_GT(f.bench.board().portAccesses(), accesses) << row.name;
        EXPECT_GT(f.link.transcriptText().size(), length) << row.name;
    }
}

}  // namespace
}  // namespace velmora::link
