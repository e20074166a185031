#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "link/monitor_link.h"
#include "platform/clock.h"

namespace velmora::link {

// DDC/CI's Capabilities Request: F3 and a 16-bit offset, high byte first;
// the reply E3, the offset echoed and up to 32 bytes of the string from
// there. An empty fragment ends the string.
inline constexpr std::uint8_t kCapabilitiesRequest = 0xF3;
inline constexpr std::uint8_t kCapabilitiesReply = 0xE3;
inline constexpr std::size_t kCapabilitiesReplyHeader = 3;  // E3, offset high, offset low
// The standard gives the monitor 50 ms to prepare a capabilities fragment,
// and asks for 50 ms between a reply and the next request.
inline constexpr std::int32_t kCapabilitiesReplyWaitMs = 50;
// Real strings are a few hundred bytes; a monitor that never sends the
// empty fragment, or one byte at a time, is stopped at these bounds.
inline constexpr std::size_t kMaxCapabilitiesLength = 4096;
inline constexpr std::size_t kMaxCapabilitiesFragments = 512;

struct CapabilitiesTransfer {
    std::optional<std::string> text;  // the whole string, as sent
    std::string failure;              // why there is none
    std::size_t fragments = 0;        // fragments received, the empty one included
};

// Reads the capabilities string fragment by fragment through `link`,
// waiting `gapMs` between a reply and the next request (0 for a link that
// keeps the standard's gap itself). A fragment for another offset than the
// one asked for is asked for once more before the read fails.
CapabilitiesTransfer readCapabilities(MonitorLink& link, platform::Clock& clock, std::int32_t gapMs);

}  // namespace velmora::link
