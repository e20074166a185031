#include "platform/steady_clock.h"

#include <thread>

namespace velmora::platform {

SteadyClock::SteadyClock() : origin_(std::chrono::steady_clock::now()) {}

std::int32_t SteadyClock::milliseconds() {
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - origin_);
    // Keep the low 32 bits: the count wraps the way a 32-bit tick counter does.
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(elapsed.count()));
}

void SteadyClock::sleepMilliseconds(std::int32_t ms) {
    if (ms <= 0) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace velmora::platform
