#include "bench/monitor_device.h"

#include "bench/packet_format.h"

namespace velmora::bench {

MonitorDevice::MonitorDevice(MonitorState& state, BenchFaults& faults, BenchLog& log, BenchTime& time,
                             ReplyTransmitter& transmitter)
    : state_(state), faults_(faults), log_(log), time_(time),
      transmitter_(transmitter) {
    request_.reserve(kRequestCapacity);
}

bool MonitorDevice::onAddress(std::uint8_t addressByte) {
    // While the monitor is bus master the address on the bus is its own.
    if (!transmitter_.idle()) return false;
    if (addressByte == kWriteAddress) {
        // A new request: whatever was not delivered of the last reply is gone.
        replyWaiting_ = false;
        transmitter_.cancel();
        request_.clear();
        transfer_ = Transfer::Request;
        return true;
    }
    if (addressByte == kReadAddress) {
        if (!replyWaiting_ || time_.nowMicroseconds() < replyReadyAt_) return false;
        replyPosition_ = 0;
        transfer_ = Transfer::Reply;
        sending_ = &reply_;
        if (faults_.busyReplies > 0) {
            // DDC/CI's null message: nothing to say yet; the reply waits.
            --faults_.busyReplies;
            sending_ = &nullMessage_;
        } else if (faults_.doubledSourceReplies > 0 && !reply_.empty()) {
            --faults_.doubledSourceReplies;
            doubled_ = reply_;
            doubled_.insert(doubled_.begin(), reply_.front());
            sending_ = &doubled_;
        }
        return true;
    }
    return false;
}

bool MonitorDevice::onWrite(std::uint8_t value) {
    if (transfer_ != Transfer::Request || request_.size() >= kRequestCapacity) return false;
    request_.push_back(value);
    return true;
}

std::uint8_t MonitorDevice::onRead() {
    if (transfer_ != Transfer::Reply || replyPosition_ >= sending_->size()) return 0xFF;
    return (*sending_)[replyPosition_++];
}

void MonitorDevice::onEnd() {
    const Transfer ended = transfer_;
    transfer_ = Transfer::None;
    if (ended == Transfer::Reply && sending_ != &nullMessage_) replyWaiting_ = false;  // read once
    if (ended == Transfer::Request) finishRequest();
}

std::vector<std::uint8_t> MonitorDevice::frameReply(std::vector<std::uint8_t> payload) {
    if (faults_.shortReplies > 0) {
        --faults_.shortReplies;
        if (payload.size() > kShortReplyPayload) payload.resize(kShortReplyPayload);
    }
    std::vector<std::uint8_t> frame;
    frame.reserve(payload.size() + 3);
    frame.push_back(kMonitorWriteAddress);
    frame.push_back(static_cast<std::uint8_t>(kLengthFlag | payload.size()));
    for (std::uint8_t byte : payload) frame.push_back(byte);
    std::uint8_t checksum = kPcAddress ^ packetChecksum(frame);
    if (faults_.badChecksumReplies > 0) {
        --faults_.badChecksumReplies;
        checksum ^= 0xFF;
    }
    frame.push_back(checksum);
    return frame;
}

void MonitorDevice::finishRequest() {
    const std::int64_t now = time_.nowMicroseconds();
    std::vector<std::uint8_t> whole;
    whole.reserve(request_.size() + 1);
    whole.push_back(kWriteAddress);
    for (std::uint8_t byte : request_) whole.push_back(byte);

    const bool framed = request_.size() >= 3 && (request_[1] & kLengthFlag) != 0 &&
                        request_.size() == packetPayloadLength(request_[1]) + 3 &&
                        packetChecksum(whole) == 0;
    if (!framed) {
        log_.record(now, BenchEventKind::RequestRejected, whole);
        return;
    }
    log_.record(now, BenchEventKind::Request, whole);

    const std::span<const std::uint8_t> payload(request_.data() + 2, packetPayloadLength(request_[1]));
    const auto replyPayload = state_.handle(payload, faults_, log_, now);
    const bool slaveMode = request_[0] == kPcAddress;
    const std::int64_t readyAt = now + static_cast<std::int64_t>(faults_.replyDelayMs) * 1000;
    std::vector<std::uint8_t> frame;
    if (replyRule && !nextReplyOverride) nextReplyOverride = replyRule(payload);
    if (nextReplyOverride) {
        frame = std::move(*nextReplyOverride);
        nextReplyOverride.reset();
    } else if (replyPayload) {
        frame = frameReply(*replyPayload);
        if (slaveMode) frame.insert(frame.begin(), kPcAddress);
    } else {
        if (!payload.empty() && payload[0] != 0x03) log_.record(now, BenchEventKind::NotUnderstood, whole);
        return;
    }

    if (faults_.garbledReplies > 0 && !frame.empty()) {
        // The first byte on the wire: the source address read at 0x6F, or
        // the address byte of a slave-mode reply.
        --faults_.garbledReplies;
        frame[0] ^= 0xFF;
    }

    if (slaveMode) {
        if (faults_.noSlaveReply) return;
        // Zero padding keeps the XOR of the message at 0.
        if (faults_.oversizeReplyBytes > 0 && frame.size() < static_cast<std::size_t>(faults_.oversizeReplyBytes)) {
            frame.resize(static_cast<std::size_t>(faults_.oversizeReplyBytes), 0x00);
        }
        transmitter_.schedule(std::move(frame), readyAt);
        return;
    }
    reply_ = std::move(frame);
    replyReadyAt_ = readyAt;
    replyWaiting_ = true;
}

}  // namespace velmora::bench
