#include "tools/wide_vcp.h"

#include "link/request_reply.h"
#include "model/monitor_requests.h"

namespace velmora::tools {

namespace {

using namespace model::request;

constexpr std::size_t kVcpReplyType = 3;
constexpr std::size_t kVcpReplyMaximumHigh = kVcpReplyMaximumLow - 1;
constexpr std::size_t kVcpReplyCurrentHigh = kVcpReplyCurrentLow - 1;

std::uint16_t word(const link::ReplyView& reply, std::size_t high) {
    return static_cast<std::uint16_t>(*reply.payload(high) << 8 | *reply.payload(high + 1));
}

}  // namespace

std::optional<WideVcpReading> readWideVcp(link::MonitorLink& link, std::uint8_t code) {
    const link::ReplyView reply = link::exchange(link, link::Request{kGetVcp, code}, kReadVcpWaitMs);
    if (!reply.carries(kVcpReplyCurrentLow + 1) || reply.opcode() != kGetVcpReply || reply.result() != 0x00 ||
        reply.payload(kVcpReplyCode) != code) {
        return std::nullopt;
    }
    return WideVcpReading{word(reply, kVcpReplyCurrentHigh), word(reply, kVcpReplyMaximumHigh),
                          *reply.payload(kVcpReplyType)};
}

bool setWideVcp(link::MonitorLink& link, std::uint8_t code, std::uint16_t value) {
    const link::Request request{kSetVcp, code, static_cast<std::uint8_t>(value >> 8),
                                static_cast<std::uint8_t>(value & 0xFF)};
    return link::exchange(link, request, kNoReply).received();
}

}  // namespace velmora::tools
