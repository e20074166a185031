#pragma once
#include <memory>
#include <string>

#include "link/display_channel_link.h"
#include "model/program_context.h"
#include "platform/absent_port.h"
#include "platform/calibrated_spin.h"
#include "platform/i2c_dev_port.h"
#include "platform/i2c_kernel.h"
#include "platform/realtime_shield.h"
#include "platform/steady_clock.h"

namespace velmora::model {

// What a program needs to reach the monitor through a display channel: the
// kernel's i2c-dev calls (or the bench's stand-in adapter), the open node,
// and a machine platform without a parallel port for the ProgramContext.
// Owned by the program's main for the whole run; outlives the context.
class DisplayChannelRig {
public:
    explicit DisplayChannelRig(std::unique_ptr<platform::I2cKernel> adapter)
        : kernel_(std::move(adapter)), port(*kernel_) {}

    // 0 when the node is open, otherwise the errno (describeI2cFailure tells the remedy).
    // The node is locked for the session; `lockWaitMs` is how long to wait
    // for another program that holds it.
    [[nodiscard]] int open(const std::string& device, std::int32_t lockWaitMs = 0) { return port.open(device, lockWaitMs); }

    // The ProgramContext's platform: the real clock, no parallel port.
    platform::LinkPlatform platform(platform::MessageSink& messages) {
        return {absentPort_, clock_, spin_, shield_, messages};
    }
    // Makes the display-channel link for a ProgramContext; its waits run on `clock`.
    ProgramContext::LinkMaker linkMaker(platform::Clock& clock, platform::MessageSink& messages,
                                        link::DisplayChannelTiming timing = link::kDdcCiTiming) {
        return [this, &clock, &messages, timing](const link::ProgramFlags& flags) {
            return std::make_unique<link::DisplayChannelLink>(port, clock, messages, flags, timing);
        };
    }

private:
    std::unique_ptr<platform::I2cKernel> kernel_;

public:
    platform::I2cDevPort port;

private:
    platform::AbsentPort absentPort_;
    platform::SteadyClock clock_;
    platform::CalibratedSpin spin_{1};  // the display channel never spins
    platform::RealtimeShield shield_;
};

}  // namespace velmora::model
