#pragma once
#include "link/link_error.h"
#include "link/monitor_link.h"
#include "platform/message_sink.h"

namespace velmora::link {

// What a failed transaction leaves for the technician: a line in the
// transcript and, for a missing board or monitor, a message box. Every link
// uses the same words, whichever way the monitor is connected.
void reportLinkFailure(LinkError code, MonitorLink& link, platform::MessageSink& messages);

}  // namespace velmora::link
