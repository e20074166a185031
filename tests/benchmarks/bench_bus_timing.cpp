// SCL timing of the real bus delay: the link reads bytes through a port whose
// lines simply follow what the PC drives (no device, no port cost), with the
// calibrated spin of the real program, and every SCL edge is timed. Counters
// per bus delay count (the Options dialog's fast 50, default 100, slow 150):
// the shortest and the mean SCL high and low phase in µs. The shortest high
// phase at 50 must not fall below 4 µs, the I2C standard-mode minimum; real
// port accesses (about 1 µs each through ppdev) only lengthen the phases.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "link/bus_wiring.h"
#include "link/jig_link.h"
#include "platform/calibrated_spin.h"
#include "platform/message_sink.h"
#include "platform/steady_clock.h"
#include "benchmark_targets.h"

namespace {

using namespace velmora;
using Clock = std::chrono::steady_clock;

class TimedLoopbackPort : public platform::PortIo, public platform::InterruptShield {
public:
    static constexpr std::size_t kEdgeCapacity = 200'000;

    std::uint8_t read8(std::uint16_t) override { return static_cast<std::uint8_t>(~data_ & 0x88); }
    void write8(std::uint16_t, std::uint8_t value) override {
        const bool sclWasHigh = (data_ & link::kSclData) == 0;
        const bool sclIsHigh = (value & link::kSclData) == 0;
        data_ = value;
        if (sclWasHigh != sclIsHigh && edges.size() < kEdgeCapacity) edges.push_back({Clock::now(), sclIsHigh});
    }
    void enter() override {}
    void leave() override {}

    struct Edge {
        Clock::time_point at;
        bool high;  // SCL rose
    };
    std::vector<Edge> edges;

private:
    std::uint8_t data_ = 0;
};

void BM_SclPhases(benchmark::State& state) {
    TimedLoopbackPort port;
    platform::SteadyClock clock;
    platform::CalibratedSpin spin;
    platform::RecordingMessageSink messages;
    link::ProgramFlags flags;
    link::JigLink jig({port, clock, spin, port, messages}, flags);
    jig.controls().bus().setBusDelayCount(static_cast<std::int32_t>(state.range(0)));
    port.edges.clear();
    port.edges.reserve(TimedLoopbackPort::kEdgeCapacity);
    for (auto _ : state) {
        std::uint8_t value = 0;
        benchmark::DoNotOptimize(jig.controls().readByte(value, false));
        benchmark::DoNotOptimize(value);
    }

    double highMin = 1e9, lowMin = 1e9, highSum = 0, lowSum = 0;
    int highs = 0, lows = 0;
    for (std::size_t i = 1; i < port.edges.size(); ++i) {
        const double us = std::chrono::duration<double, std::micro>(port.edges[i].at - port.edges[i - 1].at).count();
        if (!port.edges[i - 1].high) {
            lowMin = std::min(lowMin, us);
            lowSum += us;
            ++lows;
        } else {
            highMin = std::min(highMin, us);
            highSum += us;
            ++highs;
        }
    }
    if (highs == 0 || lows == 0) {
        state.SkipWithError("no SCL edges seen");
        return;
    }
    state.counters["scl_high_min_us"] = highMin;
    state.counters["scl_high_mean_us"] = highSum / highs;
    state.counters["scl_low_min_us"] = lowMin;
    state.counters["scl_low_mean_us"] = lowSum / lows;
    state.counters["trips_per_iteration"] = spin.tripsPerIteration();
}

BENCHMARK(BM_SclPhases)->ArgName("bus_delay_count")->Arg(50)->Arg(100)->Arg(150)->Unit(benchmark::kMicrosecond);
const bool kStandardModeHigh = velmora::benchmarks::addTarget(
    {"BM_SclPhases/bus_delay_count:50", "scl_high_min_us", velmora::benchmarks::Bound::AtLeast, 4.0, true});

}  // namespace
