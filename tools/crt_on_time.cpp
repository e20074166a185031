#include "tools/crt_on_time.h"

#include <array>
#include <cstdio>

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

}  // namespace

std::string crtOnTimeText(std::uint32_t tenMinuteUnits) {
    char text[64];
    std::snprintf(text, sizeof text, "  %ld hour(s) %d0 minute(s).  ",
                  static_cast<long>(tenMinuteUnits / kUnitsPerHour),
                  static_cast<int>(tenMinuteUnits % kUnitsPerHour));
    return text;
}

CrtOnTimeReadout readCrtOnTime(link::MonitorLink& link) {
    std::array<std::uint8_t, 6> request{0, 0, 0x82, kOnTimeRequest, kOnTimeSubCode, 0};
    const std::uint8_t* reply = link.transact(request, kOnTimeReplyWait);

    CrtOnTimeReadout readout;
    readout.caption = std::string(kCrtOnTimeCaption);
    if (reply == nullptr || link.replyPayloadLength() < kOnTimeReplyPayload || reply[3] != kOnTimeReply || reply[4] != kOnTimeSubCode) {
        readout.text = std::string(kCrtOnTimeUnsupported);
        return readout;
    }
    readout.supported = true;
    readout.tenMinuteUnits = (std::uint32_t{reply[5]} << 16) | (std::uint32_t{reply[6]} << 8) | reply[7];
    readout.text = crtOnTimeText(readout.tenMinuteUnits);
    return readout;
}

}  // namespace velmora::tools
