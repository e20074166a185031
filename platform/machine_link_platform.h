#pragma once
#include <iostream>
#include <ostream>

#include "platform/calibrated_spin.h"
#include "platform/link_platform.h"
#include "platform/ppdev_port.h"
#include "platform/realtime_shield.h"
#include "platform/steady_clock.h"

namespace velmora::platform {

// The link's platform on a real PC: the first parallel port through ppdev,
// the steady clock, the calibrated spin (measured when this is made) and the
// real-time shield. Owned by the application context for the whole run.
class MachineLinkPlatform {
public:
    explicit MachineLinkPlatform(std::ostream& diagnostics = std::cerr,
                                 const char* device = PpdevPort::kDefaultDevice)
        : port_(device, diagnostics) {}

    LinkPlatform platform(MessageSink& messages) { return {port_, clock_, spin_, shield_, messages}; }
    [[nodiscard]] const PpdevPort& port() const { return port_; }

private:
    PpdevPort port_;
    SteadyClock clock_;
    CalibratedSpin spin_;
    RealtimeShield shield_;
};

}  // namespace velmora::platform
