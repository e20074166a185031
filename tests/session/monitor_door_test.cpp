// The one door to the monitor: what each port choice opens, what it refuses
// and what the session it gives is made of.
#include <gtest/gtest.h>

#include "bench/virtual_bench.h"
#include "platform/message_sink.h"
#include "session/monitor_door.h"

namespace velmora::session {
namespace {

using platform::PortKind;

constexpr const char* kNotAPort =
    " is neither a display channel (/dev/i2c-N, i2c-N) nor a parallel port (/dev/parportN, parportN)";

struct DoorRow {
    const char* name;
    std::optional<std::string> port;
    bool onBench;
    DoorRefusal refusal;
    PortKind kind;
    std::string device;
    std::string portName;     // shown beside the window's title
    std::string refusalStart; // the refusal text begins so
    bool jig;                 // the session's link has the jig's own controls
    bool portTrouble;         // the parallel port could not be had
};

TEST(MonitorDoor, OpensOrRefusesEachChoice) {
    const DoorRow rows[] = {
        {"bench default", std::nullopt, true, DoorRefusal::None, PortKind::Jig, "/dev/parport0", "", "", true, false},
        {"bench channel by kind", "/dev/i2c-bench", true, DoorRefusal::None, PortKind::DisplayChannel,
         "/dev/i2c-bench", "/dev/i2c-bench", "", false, false},
        {"bench channel by name", "i2c-3", true, DoorRefusal::None, PortKind::DisplayChannel, "/dev/i2c-3", "i2c-3",
         "", false, false},
        {"bench parallel port", "parport1", true, DoorRefusal::None, PortKind::Jig, "/dev/parport1", "parport1", "",
         true, false},
        {"bench no port", "nowhere", true, DoorRefusal::UnknownPort, PortKind::Unknown, "/dev/nowhere", "",
         std::string("nowhere") + kNotAPort, false, false},
        {"machine, not a port", "/dev/null", false, DoorRefusal::UnknownPort, PortKind::Unknown, "/dev/null", "",
         std::string("/dev/null") + kNotAPort, false, false},
        {"machine, the kind's name only on the bench", "/dev/i2c-bench", false, DoorRefusal::UnknownPort,
         PortKind::Unknown, "/dev/i2c-bench", "", std::string("/dev/i2c-bench") + kNotAPort, false, false},
        {"machine, missing channel", "/dev/i2c-249", false, DoorRefusal::CannotOpen, PortKind::DisplayChannel,
         "/dev/i2c-249", "", "cannot open the display channel /dev/i2c-249: ", false, false},
        {"machine, missing parallel port", "/dev/parport249", false, DoorRefusal::None, PortKind::Jig,
         "/dev/parport249", "/dev/parport249", "", true, true},
    };
    for (const DoorRow& row : rows) {
        bench::VirtualBench bench;
        platform::RecordingMessageSink messages;
        const OpenedWay way = openWayToMonitor({row.port, row.onBench ? &bench : nullptr}, messages);
        EXPECT_EQ(way.refusal, row.refusal) << row.name;
        EXPECT_EQ(way.kind, row.kind) << row.name;
        EXPECT_EQ(way.device, row.device) << row.name;
        EXPECT_EQ(way.refusalText.substr(0, row.refusalStart.size()), row.refusalStart) << row.name;
        EXPECT_EQ(!way.portTrouble.empty(), row.portTrouble) << row.name << ": " << way.portTrouble;
        ASSERT_EQ(way.program != nullptr, row.refusal == DoorRefusal::None) << row.name;
        if (!way.program) continue;
        EXPECT_EQ(way.program->portName, row.portName) << row.name;
        EXPECT_EQ(way.program->link.jigControls() != nullptr, row.jig) << row.name;
        EXPECT_EQ(way.displayChannel != nullptr, row.kind == PortKind::DisplayChannel) << row.name;
    }
}

// Both of the bench's ways reach its monitor; the counters see the jig's
// port accesses and every pause, and the wrap goes around either link.
TEST(MonitorDoor, SessionsReachTheBenchMonitorCountedAndWrapped) {
    for (const std::optional<std::string>& port : {std::optional<std::string>(), std::optional<std::string>("i2c-3")}) {
        const std::string way = port.value_or("jig");
        bench::VirtualBench bench;
        platform::RecordingMessageSink messages;
        platform::PlatformCounters counters;
        int wrapped = 0;
        WayOptions options;
        options.counters = &counters;
        options.wrapLink = [&wrapped](std::unique_ptr<link::MonitorLink> link) {
            ++wrapped;
            return link;
        };
        const OpenedWay opened = openWayToMonitor({port, &bench}, messages, options);
        ASSERT_NE(opened.program, nullptr) << way;
        ProgramContext& program = *opened.program;
        program.link.setReplyMode(link::ReplyMode::MasterRead);
        EXPECT_EQ(program.interpreter.readVcp(0x10), (model::VcpReading{0x32, 0x64})) << way;
        EXPECT_TRUE(program.interpreter.runItem(0xA1, 0)) << way;  // DEGAUSS waits 10 ms between its steps
        EXPECT_EQ(wrapped, 1) << way;
        EXPECT_EQ(counters.portReads > 0, !port.has_value()) << way;
        EXPECT_GE(counters.sleepMilliseconds, 10) << way;
        EXPECT_TRUE(messages.messages.empty()) << way;
    }
}

}  // namespace
}  // namespace velmora::session
