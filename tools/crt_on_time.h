#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "link/monitor_link.h"

namespace velmora::tools {

inline constexpr std::string_view kCrtOnTimeCaption = "CRT on time";
inline constexpr std::string_view kCrtOnTimeUnsupported = "This Monitor can't support the CRT time information";

// What the "CRT on Time" button shows: a message box with this text and
// caption. `supported` is false when no accepted reply came.
struct CrtOnTimeReadout {
    bool supported = false;
    std::uint32_t tenMinuteUnits = 0;  // N, as the monitor counts
    std::string text;
    std::string caption;
};

// The text for an on-time of N ten-minute units: hours, then the tens of
// minutes followed by a literal 0, with two blanks on either side.
std::string crtOnTimeText(std::uint32_t tenMinuteUnits);

// Asks the monitor for the accumulated on-time of its picture tube (request
// C0 0B, reply C1 0B N2 N1 N0). The request is not write-protected, so it
// goes out in both modes. The link has shown its own message already when
// the exchange itself failed.
CrtOnTimeReadout readCrtOnTime(link::MonitorLink& link);

}  // namespace velmora::tools
