#include "link/jig_link.h"

namespace velmora::link {

// The engine keeps a reference to the transport built after it; it calls
// the transport only from transact.
JigLink::JigLink(platform::LinkPlatform platform, const ProgramFlags& flags)
    : TransactionEngine(transport_, platform.messages, flags, kJigRules), transport_(*this, platform) {
    busReset();
}

}  // namespace velmora::link
