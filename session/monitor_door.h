#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "link/display_channel_link.h"
#include "link/monitor_link.h"
#include "platform/counting_platform.h"
#include "platform/i2c_dev_port.h"
#include "platform/message_sink.h"
#include "platform/port_choice.h"
#include "session/program_context.h"

namespace velmora::bench {
class VirtualBench;
}

namespace velmora::session {

// The name the bench's display channel goes by when a program asks for it
// by kind rather than by a node's name.
inline constexpr std::string_view kBenchChannelNode = "/dev/i2c-bench";
// The parallel port a program uses when no port is named.
inline constexpr std::string_view kDefaultJigPort = "/dev/parport0";

// What the program was told about the way to the monitor.
struct WayChoice {
    // --port's text: a parallel port (/dev/parportN, parportN), a display
    // channel (/dev/i2c-N, i2c-N) or a connector's name (VGA-1); none: the
    // first parallel port.
    std::optional<std::string> port;
    // The virtual bench in place of the hardware, or nullptr: its board on
    // the jig's way, its monitor behind a stand-in i2c-dev adapter on a
    // display channel's. Must outlive the session.
    bench::VirtualBench* bench = nullptr;
};

struct WayOptions {
    // The display channel's DDC/CI waits.
    link::DisplayChannelTiming timing = link::kDdcCiTiming;
    // How long to wait for another program that holds the display channel.
    std::int32_t lockWaitMs = 0;
    // Port accesses and pauses are counted here on their way, when given
    // (the link's own DDC/CI waits are its counters' to count).
    platform::PlatformCounters* counters = nullptr;
    // Puts something around the link (a watch that stops it after Ctrl-C).
    std::function<std::unique_ptr<link::MonitorLink>(std::unique_ptr<link::MonitorLink>)> wrapLink;
    // Where connector names are looked up.
    std::string sysfsRoot = "/sys";
};

enum class DoorRefusal {
    None,
    UnknownPort,  // the name is no way to the monitor: the user's mistake
    CannotOpen,   // the display channel's node could not be opened
};

// The session the programs use, or why there is none.
struct OpenedWay {
    // The program's objects on the opened way; nullptr when refused.
    std::unique_ptr<ProgramContext> program;
    DoorRefusal refusal = DoorRefusal::None;
    // The refusal's text, its remedy included ("i2c-9 is neither ...").
    std::string refusalText;
    // Why the parallel port could not be had (no node, no permission), one
    // line each; the jig's link then reports the missing board.
    std::string portTrouble;
    platform::PortKind kind = platform::PortKind::Unknown;
    // The node the way goes through (the bench's label on the bench).
    std::string device;
    // The open i2c-dev node of a display channel (for the adapter's last
    // error and its remedy), owned by the session; nullptr on the jig's way.
    const platform::I2cDevPort* displayChannel = nullptr;
};

// Opens the way to the monitor that `choice` names and makes the session on
// it: the link (its creation resets the jig's bus), the flags, the model and
// the interpreter. `messages` takes the link's message boxes. A name that is
// no port, or a display channel that cannot be opened, is refused with its
// remedy; a parallel port that cannot be had is not (the jig's link tells
// the missing board at its first request) but its trouble is told.
[[nodiscard]] OpenedWay openWayToMonitor(const WayChoice& choice, platform::MessageSink& messages,
                                         const WayOptions& options = {});

}  // namespace velmora::session
