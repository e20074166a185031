#pragma once
#include <chrono>
#include <cstdint>

#include "platform/clock.h"

namespace velmora::platform {

// Milliseconds of the monotonic clock since the object was made, as the
// signed 32-bit count the link works with (it wraps after about 24 days,
// and every user subtracts two readings, so the wrap does no harm).
class SteadyClock : public Clock {
public:
    SteadyClock();
    std::int32_t milliseconds() override;
    void sleepMilliseconds(std::int32_t ms) override;

private:
    std::chrono::steady_clock::time_point origin_;
};

}  // namespace velmora::platform
