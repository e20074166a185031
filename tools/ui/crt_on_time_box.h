#pragma once
#include "link/monitor_link.h"
#include "platform/message_sink.h"

namespace velmora::tools::ui {

// "CRT on Time": asks the monitor for its tube's on-time and shows the
// answer, or that the monitor cannot tell, in a box captioned "CRT on time".
void showCrtOnTime(link::MonitorLink& link, platform::MessageSink& messages);

}  // namespace velmora::tools::ui
