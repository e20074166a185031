#pragma once
#include <cstdint>

namespace velmora::link {

// What the link has done since it was made, for a technician who wants to
// see where the time of an operation goes. Plain counts, cheap enough to
// keep always.
struct LinkCounters {
    std::int64_t transactions = 0;      // command packets sent (refused ones not counted)
    std::int64_t attempts = 0;          // tries of those packets; more than one is a retry
    std::int64_t bytesOnBus = 0;        // bytes written, read, or received as slave
    std::int64_t waitMilliseconds = 0;  // fixed waits of the link (reply delays)
};

}  // namespace velmora::link
