#include "tools/crt_on_time.h"

#include <cstdio>

#include "link/request_reply.h"

namespace velmora::tools {

namespace {

constexpr std::uint8_t kOnTimeRequest = 0xC0;
constexpr std::uint8_t kOnTimeReply = 0xC1;
constexpr std::uint8_t kOnTimeSubCode = 0x0B;
// The monitor is given 100 ms to look the count up before its reply is read.
constexpr std::int32_t kOnTimeReplyWait = 100;
constexpr std::uint32_t kUnitsPerHour = 6;
// C1 0B and the three bytes of the count.
constexpr std::size_t kOnTimeReplyPayload = 5;
constexpr std::size_t kOnTimeCountFirst = 2;

}  // namespace

std::string crtOnTimeText(std::uint32_t tenMinuteUnits) {
    char text[64];
    std::snprintf(text, sizeof text, "  %ld hour(s) %d0 minute(s).  ",
                  static_cast<long>(tenMinuteUnits / kUnitsPerHour),
                  static_cast<int>(tenMinuteUnits % kUnitsPerHour));
    return text;
}

CrtOnTimeReadout readCrtOnTime(link::MonitorLink& link) {
    const link::ReplyView reply = link::exchange(link, link::Request{kOnTimeRequest, kOnTimeSubCode}, kOnTimeReplyWait);

    CrtOnTimeReadout readout;
    readout.caption = std::string(kCrtOnTimeCaption);
    if (!reply.carries(kOnTimeReplyPayload) || reply.opcode() != kOnTimeReply || reply.result() != kOnTimeSubCode) {
        readout.text = std::string(kCrtOnTimeUnsupported);
        return readout;
    }
    readout.supported = true;
    // The count follows the sub-code, high byte first.
    for (std::size_t i = kOnTimeCountFirst; i < kOnTimeReplyPayload; ++i) {
        readout.tenMinuteUnits = (readout.tenMinuteUnits << 8) | *reply.payload(i);
    }
    readout.text = crtOnTimeText(readout.tenMinuteUnits);
    return readout;
}

}  // namespace velmora::tools
