#include "tools/crt_on_time.h"

#include <cstdio>

#include "link/request_reply.h"
#include "model/monitor_requests.h"

namespace velmora::tools {

namespace {

using namespace model::request;

constexpr std::uint32_t kUnitsPerHour = 6;

}  // namespace

std::string crtOnTimeText(std::uint32_t tenMinuteUnits) {
    char text[64];
    std::snprintf(text, sizeof text, "  %ld hour(s) %d0 minute(s).  ",
                  static_cast<long>(tenMinuteUnits / kUnitsPerHour),
                  static_cast<int>(tenMinuteUnits % kUnitsPerHour));
    return text;
}

CrtOnTimeReadout readCrtOnTime(link::MonitorLink& link) {
    const link::ReplyView reply = link::exchange(link, link::Request{kOnTimeRequest, kOnTimeSubCode}, kOnTimeWaitMs);

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
