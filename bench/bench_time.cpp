#include "bench/bench_time.h"

namespace velmora::bench {

std::int32_t VirtualClock::milliseconds() {
    nanoseconds_ += kClockReadNs;
    // The link's clock is a wrapping 32-bit count.
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(nanoseconds_ / 1'000'000));
}

void VirtualClock::sleepMilliseconds(std::int32_t ms) {
    if (ms > 0) nanoseconds_ += static_cast<std::int64_t>(ms) * 1'000'000;
}

}  // namespace velmora::bench
