// One Get VCP request after another (reply argument 30, as ReadVcp sends
// it), through the jig and through the display channel with the DDC/CI
// standard's waits and with the fast timing. The counter virtual_ms_per_read
// is the time a technician waits per value on the bench's virtual clock
// (reply waits, pauses between requests, the bus itself), and
// virtual_ms_first_read the time of the first one, which no earlier request
// makes wait: with the DDC/CI timing it is the standard's minimum, 40 ms and
// the bytes on the bus. The benchmark's own time is the host's cost of
// simulating it.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench/bench_i2c_adapter.h"
#include "bench/virtual_bench.h"
#include "link/display_channel_link.h"
#include "link/jig_link.h"
#include "platform/i2c_dev_port.h"
#include "platform/message_sink.h"
#include "benchmark_targets.h"

namespace {

using namespace velmora;

void readRepeatedly(benchmark::State& state, bench::VirtualBench& bench, link::MonitorLink& monitor) {
    monitor.setReplyMode(link::ReplyMode::MasterRead);
    std::uint8_t request[6] = {0, 0, 0x82, 0x01, 0x10, 0};
    const std::int64_t startNs = bench.clock().nanoseconds();
    std::int64_t reads = 0;
    std::int64_t firstReadNs = 0;
    for (auto _ : state) {
        const std::uint8_t* reply = monitor.transact(request, 30);
        if (reply == nullptr) {
            state.SkipWithError("transaction failed");
            break;
        }
        benchmark::DoNotOptimize(reply[10]);
        if (++reads == 1) firstReadNs = bench.clock().nanoseconds() - startNs;
    }
    state.counters["virtual_ms_first_read"] = static_cast<double>(firstReadNs) / 1e6;
    if (reads > 0) {
        state.counters["virtual_ms_per_read"] =
            static_cast<double>(bench.clock().nanoseconds() - startNs) / 1e6 / static_cast<double>(reads);
    }
}

void BM_ReadVcpThroughJig(benchmark::State& state) {
    bench::VirtualBench bench;
    platform::RecordingMessageSink messages;
    link::ProgramFlags flags;
    link::JigLink jig(bench.platform(messages), flags);
    readRepeatedly(state, bench, jig);
}

void readThroughChannel(benchmark::State& state, link::DisplayChannelTiming timing) {
    bench::VirtualBench bench;
    bench::BenchI2cAdapter adapter(bench);
    platform::I2cDevPort port(adapter);
    if (port.open("/dev/i2c-bench") != 0) state.SkipWithError("stand-in adapter did not open");
    platform::RecordingMessageSink messages;
    link::ProgramFlags flags;
    link::DisplayChannelLink channel(port, bench.clock(), messages, flags, timing);
    readRepeatedly(state, bench, channel);
}

void BM_ReadVcpThroughDisplayChannelDdcCi(benchmark::State& state) { readThroughChannel(state, link::kDdcCiTiming); }
void BM_ReadVcpThroughDisplayChannelFast(benchmark::State& state) { readThroughChannel(state, link::kFastTiming); }

BENCHMARK(BM_ReadVcpThroughJig)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadVcpThroughDisplayChannelDdcCi)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadVcpThroughDisplayChannelFast)->Unit(benchmark::kMicrosecond);
// With the DDC/CI timing the first read waits at least the standard's 40 ms.
const bool kDdcCiMinimum = velmora::benchmarks::addTarget(
    {"BM_ReadVcpThroughDisplayChannelDdcCi", "virtual_ms_first_read", velmora::benchmarks::Bound::AtLeast, 40.0});

}  // namespace
