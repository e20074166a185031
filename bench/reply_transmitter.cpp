#include "bench/reply_transmitter.h"

#include "bench/board_wiring.h"

namespace velmora::bench {

namespace {
// A master that finds SCL held low this long gives up (nothing on this bus
// stretches the PC's slave side).
constexpr std::int32_t kSclHoldLimit = 50000;
}  // namespace

void ReplyTransmitter::schedule(std::vector<std::uint8_t> bytes, std::int64_t readyAtMicroseconds) {
    if (bytes.size() > kCapacity) bytes.resize(kCapacity);
    bytes_ = std::move(bytes);
    readyAt_ = readyAtMicroseconds;
    acknowledged_ = 0;
    pullScl_ = false;
    pullSda_ = false;
    enter(State::Pending);
    countdown_ = kTurnaroundAccesses;
}

void ReplyTransmitter::cancel() {
    state_ = State::Idle;
    pullScl_ = false;
    pullSda_ = false;
    acknowledgeWindow_ = false;
    releaseExpected_ = false;
}

void ReplyTransmitter::abandon() {
    log_.record(time_.nowMicroseconds(), BenchEventKind::ReplyAbandoned,
                std::vector<std::uint8_t>(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(byteIndex_)),
                "slave reply abandoned after " + std::to_string(acknowledged_) + " bytes");
    cancel();
}

void ReplyTransmitter::enter(State state) {
    state_ = state;
    countdown_ = kPhaseAccesses;
}

void ReplyTransmitter::onPortAccess(const PortAccess& access, BusLevels levels) {
    if (state_ == State::Idle) return;
    if (access.isWrite) {
        onPcWrite(access.value);
        return;
    }
    if (countdown_ > 0) {
        --countdown_;
        return;
    }
    advance(levels);
}

void ReplyTransmitter::onPcWrite(std::uint8_t value) {
    if (state_ == State::Pending) {
        cancel();  // the PC went on without waiting for the reply
        return;
    }
    if (value == kSdaDriveBit && acknowledgeWindow_) return;
    if (value == 0x00 && releaseExpected_) {
        releaseExpected_ = false;
        return;
    }
    abandon();
}

void ReplyTransmitter::beginBit() {
    const bool one = ((bytes_[byteIndex_] >> (7 - bitIndex_)) & 1) != 0;
    pullSda_ = !one;
    enter(State::BitSetup);
}

void ReplyTransmitter::advance(BusLevels levels) {
    switch (state_) {
    case State::Idle:
        break;
    case State::Pending:
        // expects: an idle bus and the reply ready
        if (time_.nowMicroseconds() < readyAt_ || !levels.scl || !levels.sda) return;
        pullSda_ = true;  // START: SDA falls while SCL is high
        byteIndex_ = 0;
        enter(State::StartHold);
        break;
    case State::StartHold:
        pullScl_ = true;
        if (bytes_.empty()) {
            enter(State::StopSetup);  // an empty message: START, one SCL low, STOP
            break;
        }
        bitIndex_ = 0;
        beginBit();
        break;
    case State::BitSetup:
        releaseExpected_ = false;
        pullScl_ = false;
        sclWaits_ = 0;
        enter(State::BitHigh);
        break;
    case State::BitHigh:
        // expects: SCL high (clock synchronisation) within a bounded wait
        if (!levels.scl) {
            if (++sclWaits_ > kSclHoldLimit) abandon();
            return;
        }
        if (!pullSda_ && !levels.sda) {
            abandon();  // someone else drives SDA low: the bus is lost
            return;
        }
        pullScl_ = true;
        if (++bitIndex_ < 8) {
            beginBit();
        } else {
            pullSda_ = false;
            acknowledgeWindow_ = true;
            enter(State::AckSetup);
        }
        break;
    case State::AckSetup:
        pullScl_ = false;
        enter(State::AckHigh);
        break;
    case State::AckHigh: {
        if (!levels.scl) return;
        const bool acknowledgedByPc = !levels.sda;
        pullScl_ = true;
        acknowledgeWindow_ = false;
        releaseExpected_ = true;
        if (acknowledgedByPc) ++acknowledged_;
        if (acknowledgedByPc && ++byteIndex_ < bytes_.size()) {
            bitIndex_ = 0;
            beginBit();
        } else {
            pullSda_ = true;
            enter(State::StopSetup);
        }
        break;
    }
    case State::StopSetup:
        pullScl_ = false;
        enter(State::StopHigh);
        break;
    case State::StopHigh:
        pullSda_ = false;  // STOP: SDA rises while SCL is high
        state_ = State::Idle;
        releaseExpected_ = false;
        break;
    }
}

}  // namespace velmora::bench
