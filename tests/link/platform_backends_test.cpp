#include <gtest/gtest.h>

#include <pthread.h>

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <sstream>
#include <thread>
#include <string>

#include "link/jig_link.h"
#include "platform/bounded_claim.h"
#include "platform/calibrated_spin.h"
#include "platform/machine_link_platform.h"
#include "platform/message_sink.h"
#include "platform/ppdev_port.h"
#include "platform/realtime_shield.h"
#include "platform/steady_clock.h"

namespace velmora::platform {
namespace {

TEST(PpdevPort, UnusablePortIsReportedOnceAndActsAsNoBoard) {
    struct Row {
        const char* path;
        const char* reason;
    };
    for (const Row row : {Row{"/nonexistent/parport0", "No parallel port"},
                          Row{"/dev/null", "cannot be used"}}) {
        std::ostringstream diagnostics;
        PpdevPort port(row.path, diagnostics);
        EXPECT_FALSE(port.isOpen()) << row.path;
        for (std::uint8_t value : {0x00, 0x08, 0x80, 0x88}) {
            port.write8(kDataPort, value);
            EXPECT_EQ(port.read8(kStatusPort), kStatusWithoutBoard) << row.path;
        }
        const std::string text = diagnostics.str();
        EXPECT_NE(text.find(row.path), std::string::npos) << text;
        EXPECT_NE(text.find(row.reason), std::string::npos) << text;
        EXPECT_EQ(text.find('\n'), text.size() - 1) << "reported once: " << text;
    }
}

// Claims as the kernel makes them: at once, refused, or asleep until the
// port is free, which a signal interrupts with EINTR.
struct ClaimRow {
    const char* name;
    ClaimCall claim;
    std::chrono::milliseconds limit;
    int expected;
    std::chrono::milliseconds atLeast;
};

TEST(BoundedClaim, NeverWaitsPastItsLimit) {
    const auto asleep = [] { return ::pause(); };  // -1, EINTR once signalled
    const ClaimRow rows[] = {
        {"Free", [] { return 0; }, std::chrono::milliseconds(500), 0, std::chrono::milliseconds(0)},
        {"Refused", [] { errno = EACCES; return -1; }, std::chrono::milliseconds(500), EACCES,
         std::chrono::milliseconds(0)},
        {"FreedInTime",
         [] {
             std::this_thread::sleep_for(std::chrono::milliseconds(50));
             return 0;
         },
         std::chrono::milliseconds(1000), 0, std::chrono::milliseconds(50)},
        {"HeldByAnotherProgram", asleep, std::chrono::milliseconds(150), ETIMEDOUT, std::chrono::milliseconds(150)},
    };
    for (const ClaimRow& row : rows) {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(claimWithin(row.claim, row.limit), row.expected) << row.name;
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_GE(took, row.atLeast) << row.name;
        EXPECT_LT(took, row.limit + std::chrono::milliseconds(400)) << row.name;
    }
}

TEST(PpdevPort, PortHeldByAnotherProgramIsReportedWithinTheLimit) {
    std::ostringstream diagnostics;
    const auto start = std::chrono::steady_clock::now();
    PpdevPort port("/dev/null", diagnostics, [](int) { return ::pause(); }, std::chrono::milliseconds(200));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.read8(kStatusPort), kStatusWithoutBoard);
    const std::string text = diagnostics.str();
    EXPECT_NE(text.find("not free within 2000 ms"), std::string::npos) << text;
    EXPECT_NE(text.find("Another program holds the port"), std::string::npos) << text;
}

TEST(PpdevPort, FailureAdviceNamesTheCure) {
    EXPECT_NE(describePortFailure("/dev/parport0", EACCES).find("lp group"), std::string::npos);
    EXPECT_NE(describePortFailure("/dev/parport0", EBUSY).find("Another program"), std::string::npos);
}

TEST(PpdevPort, LinkOnAMissingPortReportsTheBoard) {
    std::ostringstream diagnostics;
    MachineLinkPlatform machine(diagnostics, "/nonexistent/parport0");
    RecordingMessageSink messages;
    link::ProgramFlags flags;
    link::JigLink jig(machine.platform(messages), flags);
    std::uint8_t request[] = {0, 0, 0x82, 0x01, 0x10, 0};
    EXPECT_EQ(jig.transact(request, 30), nullptr);
    EXPECT_EQ(jig.errorCode(), link::LinkError::InterfaceBoard);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "Check Connection of Interface board");
}

TEST(SteadyClock, CountsMillisecondsAndSleeps) {
    SteadyClock clock;
    const std::int32_t begin = clock.milliseconds();
    EXPECT_GE(begin, 0);
    clock.sleepMilliseconds(20);
    EXPECT_GE(clock.milliseconds() - begin, 20);
    clock.sleepMilliseconds(-5);  // nothing to wait for
}

TEST(CalibratedSpin, TripsPerIterationForAMeasuredTrip) {
    struct Row {
        double nanosecondsPerTrip;
        std::int32_t trips;
    };
    // Rounded up: an iteration never lasts less than the target with its
    // margin (13.43 ns x 1.4 = 18.81 ns).
    for (const Row row : {Row{1.0, 19}, Row{2.5, 8}, Row{0.3, 63}, Row{9.4, 3}, Row{9.5, 2}, Row{18.8, 2}, Row{18.9, 1},
                          Row{25.0, 1}, Row{0.0, 1}, Row{-1.0, 1}}) {
        EXPECT_EQ(CalibratedSpin::tripsFor(row.nanosecondsPerTrip), row.trips) << row.nanosecondsPerTrip;
    }
    EXPECT_GE(CalibratedSpin().tripsPerIteration(), 1);
    // The fastest bus setting keeps the shortest SCL high phase at 4 µs.
    EXPECT_GE(CalibratedSpin::kTargetIterationNanoseconds * CalibratedSpin::kShortestSclHighUnits *
                  CalibratedSpin::kFastestBusDelayCount,
              4000.0);
    EXPECT_EQ(CalibratedSpin(0).tripsPerIteration(), 1);
}

TEST(RealtimeShield, LeavingRestoresThePolicy) {
    int policyBefore = 0;
    sched_param paramBefore{};
    ASSERT_EQ(pthread_getschedparam(pthread_self(), &policyBefore, &paramBefore), 0);
    RealtimeShield shield;
    shield.enter();
    shield.enter();  // nested use keeps the outer state
    int policyInside = 0;
    sched_param paramInside{};
    pthread_getschedparam(pthread_self(), &policyInside, &paramInside);
    EXPECT_EQ(policyInside, shield.raised() ? SCHED_FIFO : policyBefore);
    shield.leave();
    shield.leave();
    shield.leave();  // unpaired leave does nothing
    int policyAfter = 0;
    sched_param paramAfter{};
    pthread_getschedparam(pthread_self(), &policyAfter, &paramAfter);
    EXPECT_EQ(policyAfter, policyBefore);
    EXPECT_EQ(paramAfter.sched_priority, paramBefore.sched_priority);
    EXPECT_FALSE(shield.raised());
}

}  // namespace
}  // namespace velmora::platform
