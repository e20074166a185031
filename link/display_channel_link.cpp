#include "link/display_channel_link.h"

namespace velmora::link {

// The engine keeps a reference to the transport built after it; it calls
// the transport only from transact.
DisplayChannelLink::DisplayChannelLink(platform::I2cDevPort& port, platform::Clock& clock,
                                       platform::MessageSink& messages, const ProgramFlags& flags,
                                       DisplayChannelTiming timing)
    : TransactionEngine(transport_, messages, flags, kDisplayChannelRules), transport_(*this, port, clock, timing) {
    // A graphics card's adapter can only read replies: until a model says
    // otherwise, the channel works as MasterRead.
    setReplyMode(ReplyMode::MasterRead);
}

bool DisplayChannelLink::busReset() {
    transcriptOff();
    return true;
}

}  // namespace velmora::link
