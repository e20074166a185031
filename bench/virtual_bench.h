#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "bench/bench_faults.h"
#include "bench/bench_log.h"
#include "bench/bench_time.h"
#include "bench/bus_agent.h"
#include "bench/ddc1_stream.h"
#include "bench/edid_eeprom.h"
#include "bench/i2c_slave_bus.h"
#include "bench/monitor_device.h"
#include "bench/monitor_state.h"
#include "bench/pin_adapter.h"
#include "bench/reply_transmitter.h"
#include "platform/link_platform.h"

namespace velmora::bench {

enum class BenchTiming : std::uint8_t {
    Virtual,   // virtual clock: deterministic, waits cost no real time (tests)
    RealTime,  // steady clock, real sleeps and a real spin (running the windows)
};

// The simulated bench: interface board, monitor microcontroller at 0x6E/0x6F,
// EDID EEPROMs at 0xA0 (present, EDID 1.3 base block, rest FF) and at
// 0xA2/0xA4/0xA6 (absent until a test enables them), the DDC1 stream, the
// fault knobs and the log. Everything it simulates is a plain member a test
// can inspect or change between link calls.
class VirtualBench {
public:
    static constexpr std::size_t kEepromSlots = 4;

    explicit VirtualBench(BenchTiming timing = BenchTiming::Virtual);
    VirtualBench(const VirtualBench&) = delete;
    VirtualBench& operator=(const VirtualBench&) = delete;
    ~VirtualBench();

    // What the link runs on; the bench must outlive the link.
    platform::LinkPlatform platform(platform::MessageSink& messages);

    // Applies one fault given by name ("no-monitor", "reply-delay=50", ...);
    // empty result on success, otherwise what is valid.
    std::string applyFault(std::string_view text) { return applyBenchFault(text, faults); }

    [[nodiscard]] BenchTiming timing() const { return timing_; }
    [[nodiscard]] std::int64_t nowMicroseconds() const { return time_->nowMicroseconds(); }
    // The virtual clock (its time stands still in RealTime mode).
    VirtualClock& clock() { return virtualClock_; }
    PinAdapter& board() { return board_; }
    EdidEeprom& eeprom(std::size_t slot) { return *eeproms_.at(slot); }
    MonitorDevice& monitorDevice() { return monitorDevice_; }
    ReplyTransmitter& transmitter() { return transmitter_; }
    BenchShield& shield() { return shield_; }
    Ddc1Stream& ddc1() { return ddc1_; }
    I2cSlaveBus& slaveBus() { return slaveBus_; }

    BenchFaults faults;
    MonitorState monitor;
    BenchLog log;

private:
    BenchTiming timing_;
    VirtualClock virtualClock_;
    VirtualSpin virtualSpin_{virtualClock_};
    RealBenchTime realTime_;
    BenchTime* time_;
    std::unique_ptr<platform::Clock> realClock_;
    std::unique_ptr<platform::SpinDelay> realSpin_;
    BenchShield shield_;

    PinAdapter board_;
    ClockStretcher stretcher_;
    I2cSlaveBus slaveBus_;
    ReplyTransmitter transmitter_;
    MonitorDevice monitorDevice_;
    std::array<std::unique_ptr<EdidEeprom>, kEepromSlots> eeproms_;
    Ddc1Stream ddc1_;
};

}  // namespace velmora::bench
