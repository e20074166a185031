#include "link/request_reply.h"

#include <algorithm>

#include "link/monitor_link.h"

namespace velmora::link {

Request::Request(std::initializer_list<std::uint8_t> payload) {
    for (std::uint8_t byte : payload) (void)append(byte);
}

Request Request::withLengthByte(std::uint8_t lengthByte) {
    Request request;
    request.writtenLengthByte_ = lengthByte;
    return request;
}

bool Request::append(std::uint8_t byte) {
    if (size_ >= payload_.size()) return false;
    payload_[size_++] = byte;
    return true;
}

std::uint8_t Request::lengthByte() const {
    return writtenLengthByte_.value_or(static_cast<std::uint8_t>(kLengthFlag | size_));
}

bool Request::writeInto(std::span<std::uint8_t> packet) const {
    if (packet.size() < kHeaderBytes + size_ + 1) return false;
    packet[kHeaderBytes - 1] = lengthByte();
    std::copy(payload_.begin(), payload_.begin() + static_cast<std::ptrdiff_t>(size_),
              packet.begin() + kHeaderBytes);
    return true;
}

ReplyView exchange(MonitorLink& link, const Request& request, std::int32_t replyArgument) {
    std::array<std::uint8_t, kHeaderBytes + Request::kMaxPayload + 1> packet{};
    if (!request.writeInto(packet)) return {};
    const std::uint8_t* reply = link.transact(packet, replyArgument);
    return {reply, link.replyPayloadLength()};
}

}  // namespace velmora::link
