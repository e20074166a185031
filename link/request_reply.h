#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>

#include "link/command_packet.h"

namespace velmora::link {

class MonitorLink;

// A request by its payload, opcode first: Request{kGetVcp, code}. It becomes
// a command packet when written into one; the link adds the addresses and
// the checksum when it sends the packet.
class Request {
public:
    static constexpr std::size_t kMaxPayload = 127;  // what a length byte can count

    Request() = default;  // no payload yet
    Request(std::initializer_list<std::uint8_t> payload);

    // A request written out byte by byte (a script's), which keeps the
    // length byte as written, top bit and all; the payload follows by append.
    static Request withLengthByte(std::uint8_t lengthByte);

    // Adds a payload byte; false (and nothing added) once the payload is full.
    bool append(std::uint8_t byte);

    [[nodiscard]] std::span<const std::uint8_t> payload() const { return {payload_.data(), size_}; }
    [[nodiscard]] std::uint8_t lengthByte() const;
    // Writes the length byte and the payload into `packet` (bytes 2 onwards).
    // False, and nothing written, when the packet has no room for them and
    // the checksum.
    [[nodiscard]] bool writeInto(std::span<std::uint8_t> packet) const;

private:
    std::array<std::uint8_t, kMaxPayload> payload_{};
    std::size_t size_ = 0;
    std::optional<std::uint8_t> writtenLengthByte_;
};

// A reply as its reader sees it: payload byte i is reply byte 3 + i, and
// only the bytes the reply really carried (the link's reply payload length)
// are offered; the rest of the buffer is left from earlier replies.
class ReplyView {
public:
    ReplyView() = default;  // no reply
    ReplyView(const std::uint8_t* reply, std::size_t payloadLength)
        : reply_(reply), payloadLength_(reply == nullptr ? 0 : payloadLength) {}

    // Whether a reply came at all (a request without one also "comes").
    [[nodiscard]] bool received() const { return reply_ != nullptr; }
    [[nodiscard]] std::size_t payloadLength() const { return payloadLength_; }
    // Whether the reply carried at least `count` payload bytes.
    [[nodiscard]] bool carries(std::size_t count) const { return payloadLength_ >= count; }

    [[nodiscard]] std::optional<std::uint8_t> payload(std::size_t index) const {
        if (index >= payloadLength_) return std::nullopt;
        return reply_[kHeaderBytes + index];
    }
    [[nodiscard]] std::optional<std::uint8_t> opcode() const { return payload(0); }
    // The byte after the opcode: a result, a sub-code or an echoed mode.
    [[nodiscard]] std::optional<std::uint8_t> result() const { return payload(1); }

private:
    const std::uint8_t* reply_ = nullptr;
    std::size_t payloadLength_ = 0;
};

// Sends `request` through `link` in a packet of its own and views the reply.
ReplyView exchange(MonitorLink& link, const Request& request, std::int32_t replyArgument);

}  // namespace velmora::link
