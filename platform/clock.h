#pragma once
#include <cstdint>

namespace velmora::platform {

// Millisecond time base of the program: a signed 32-bit count since start,
// and a sleep that blocks the calling thread.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::int32_t milliseconds() = 0;
    virtual void sleepMilliseconds(std::int32_t ms) = 0;
};

}  // namespace velmora::platform
