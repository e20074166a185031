#pragma once
#include <cstdint>

namespace velmora::platform {

// The bus delay: a counted spin. The link asks for a number of iterations
// (BusDelayCount per delay unit) and never converts them into time.
class SpinDelay {
public:
    virtual ~SpinDelay() = default;
    virtual void spin(std::int32_t iterations) = 0;
};

}  // namespace velmora::platform
