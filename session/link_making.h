#pragma once
#include <memory>
#include <variant>

#include "link/display_channel_link.h"
#include "link/monitor_link.h"
#include "link/program_flags.h"
#include "platform/clock.h"
#include "platform/i2c_dev_port.h"
#include "platform/link_platform.h"
#include "platform/message_sink.h"

namespace velmora::session {

// The interface board on a parallel port (or the bench's board): the port,
// the clock, the spin, the interrupt shield and the message boxes.
struct JigWay {
    platform::LinkPlatform platform;
};

// A graphics card's display channel through an open i2c-dev node (or the
// bench's stand-in adapter), with the clock its DDC/CI waits run on.
struct ChannelWay {
    platform::I2cDevPort& port;
    platform::Clock& clock;
    platform::MessageSink& messages;
    link::DisplayChannelTiming timing = link::kDdcCiTiming;
};

using LinkWay = std::variant<JigWay, ChannelWay>;

// The one place the program makes a link to the monitor: the session's
// link, and the short-lived ones that probe a port or a channel. `flags`
// must outlive the link.
[[nodiscard]] std::unique_ptr<link::MonitorLink> makeLink(const LinkWay& way, const link::ProgramFlags& flags);

}  // namespace velmora::session
