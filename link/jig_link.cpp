// The jig link itself: its bus, the error code the bus steps leave, and the
// fixed waits on the millisecond clock.
#include "link/jig_link.h"

namespace velmora::link {

JigLink::JigLink(platform::LinkPlatform platform, const ProgramFlags& flags)
    : platform_(platform), flags_(flags), bus_(platform.port, platform.spin, transcript_, counters_) {
    busReset();
}

void JigLink::noteOutcome(BusStep step, BusOutcome outcome) {
    if (const std::optional<LinkError> code = errorCodeAfter(step, outcome)) errorCode_ = *code;
}

bool JigLink::start() {
    const BusOutcome outcome = bus_.start();
    noteOutcome(BusStep::Start, outcome);
    return outcome == BusOutcome::Ok;
}

bool JigLink::writeByte(std::uint8_t value) {
    const BusOutcome outcome = bus_.writeByte(value);
    noteOutcome(BusStep::ByteWrite, outcome);
    return outcome == BusOutcome::Ok;
}

bool JigLink::readByte(std::uint8_t& value, bool last) {
    const BusOutcome outcome = bus_.readByte(value, last);
    noteOutcome(BusStep::ByteRead, outcome);
    return outcome == BusOutcome::Ok;
}

void JigLink::waitMilliseconds(std::int32_t ms) {
    if (ms > 0) counters_.waitMilliseconds += ms;
    const std::int32_t begin = platform_.clock.milliseconds();
    // expects: the clock to advance; differences survive the 32-bit wrap
    while (static_cast<std::int32_t>(static_cast<std::uint32_t>(platform_.clock.milliseconds()) -
                                     static_cast<std::uint32_t>(begin)) < ms) {
    }
}

}  // namespace velmora::link
