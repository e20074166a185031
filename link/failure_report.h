#pragma once
#include "link/link_error.h"
#include "link/link_transcript.h"
#include "platform/message_sink.h"

namespace velmora::link {

// What a failed transaction leaves for the technician: a line in the
// transcript and, for a missing board or monitor, a message box. Every link
// uses the same words, whichever way the monitor is connected.
void reportLinkFailure(LinkError code, LinkTranscript& transcript, platform::MessageSink& messages);

}  // namespace velmora::link
