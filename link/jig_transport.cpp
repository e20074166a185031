// The jig as the engine's transport: the bus steps and the error code they
// leave, the request on the bus, the reply read as master, and the fixed
// waits on the millisecond clock.
#include "link/jig_transport.h"

#include "link/elapsed_time.h"

namespace velmora::link {

JigTransport::JigTransport(TransactionEngine& engine, platform::LinkPlatform platform)
    : engine_(engine), platform_(platform), bus_(platform.port, platform.spin, engine.transcript(), engine.tally()) {}

void JigTransport::noteOutcome(BusStep step, BusOutcome outcome) {
    if (const std::optional<LinkError> code = errorCodeAfter(step, outcome)) engine_.setErrorCode(*code);
}

bool JigTransport::start() {
    const BusOutcome outcome = bus_.start();
    noteOutcome(BusStep::Start, outcome);
    return outcome == BusOutcome::Ok;
}

bool JigTransport::writeByte(std::uint8_t value) {
    const BusOutcome outcome = bus_.writeByte(value);
    noteOutcome(BusStep::ByteWrite, outcome);
    return outcome == BusOutcome::Ok;
}

bool JigTransport::readByte(std::uint8_t& value, bool last) {
    const BusOutcome outcome = bus_.readByte(value, last);
    noteOutcome(BusStep::ByteRead, outcome);
    return outcome == BusOutcome::Ok;
}

void JigTransport::waitMilliseconds(std::int32_t ms) {
    if (ms > 0) engine_.tally().waitMilliseconds += ms;
    const std::int32_t begin = platform_.clock.milliseconds();
    // expects: the clock to advance; differences survive the 32-bit wrap
    while (millisecondsSince(platform_.clock.milliseconds(), begin) < ms) {
    }
}

bool JigTransport::sendRequest(std::span<const std::uint8_t> packet) {
    start();
    for (const std::uint8_t byte : packet) writeByte(byte);  // no-op once a byte has failed
    bus_.stop();
    return !bus_.errorFlag();
}

bool JigTransport::readReply(std::span<const std::uint8_t>, std::int32_t replyArgument, std::int32_t) {
    waitMilliseconds(replyArgument);
    return readReplyAsMaster();
}

bool JigTransport::readReplyAsMaster() {
    const std::span<std::uint8_t, kReplyBufferSize> reply = engine_.buffer();
    start();
    // Always the monitor's read address, 0x6F: the buffer's byte 1 holds
    // whatever a failed attempt read there.
    writeByte(kMonitorAddress | 1);
    // The length byte (read second) decides how many follow; only its low
    // seven bits count after adding the three bytes around the payload.
    std::size_t i = 1;
    bool readOk = readByte(reply[1], false);
    while (readOk) {
        ++i;
        const std::size_t end = static_cast<std::size_t>((reply[2] + 3) & 0x7F);
        if (i < end || i < 3) {
            readOk = readByte(reply[i], false);
        } else {
            break;
        }
    }
    readByte(reply[i], true);  // the checksum, not acknowledged
    bus_.stop();
    if (bus_.errorFlag()) return false;
    if (!engine_.checksumHolds(i + 1)) {
        bus_.setErrorFlag();
        return false;
    }
    engine_.acceptReply(i + 1);
    return true;
}

}  // namespace velmora::link
