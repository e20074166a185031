// Host cost of one ReadVcp-shaped transaction on the virtual bench. The
// simulated board and monitor run in the same loop, so the time reported is
// an upper bound for the link's own overhead (target: under 50 µs).
#include <benchmark/benchmark.h>

#include <chrono>

#include "bench/virtual_bench.h"
#include "link/jig_link.h"
#include "platform/calibrated_spin.h"
#include "platform/message_sink.h"
#include "benchmark_targets.h"

namespace {

using velmora::link::ReplyMode;

// Bytes on the bus for one ReadVcp: the 6 request bytes and the 12-byte
// reply (with the 0x6F address byte in MasterRead, the 0x50 address byte in
// SlaveReceive).
constexpr double kBytesPerTransaction = 18.0;

void runReadVcp(benchmark::State& state, ReplyMode mode, std::int32_t replyArgument) {
    velmora::bench::VirtualBench bench;
    velmora::platform::RecordingMessageSink messages;
    velmora::link::ProgramFlags flags;
    velmora::link::JigLink jig(bench.platform(messages), flags);
    jig.setReplyMode(mode);
    std::uint8_t request[6] = {0, 0, 0x82, 0x01, 0x10, 0};
    const auto accessesBefore = bench.board().portAccesses();
    std::int64_t transactions = 0;
    for (auto _ : state) {
        const std::uint8_t* reply = jig.transact(request, replyArgument);
        if (reply == nullptr) {
            state.SkipWithError("transaction failed");
            break;
        }
        benchmark::DoNotOptimize(reply[10]);
        ++transactions;
    }
    const double accesses = static_cast<double>(bench.board().portAccesses() - accessesBefore);
    if (transactions > 0) {
        state.counters["port_accesses_per_byte"] =
            accesses / (kBytesPerTransaction * static_cast<double>(transactions));
    }
}

// MasterRead with a 1 ms wait: the reply wait itself is left out, only the
// few clock readings of a 1 ms busy-wait remain.
void BM_ReadVcpMasterRead(benchmark::State& state) { runReadVcp(state, ReplyMode::MasterRead, 1); }
// SlaveReceive has no wait: the monitor answers as soon as the request ends.
void BM_ReadVcpSlaveReceive(benchmark::State& state) { runReadVcp(state, ReplyMode::SlaveReceive, 30); }

BENCHMARK(BM_ReadVcpMasterRead)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadVcpSlaveReceive)->Unit(benchmark::kMicrosecond);
const bool kMasterReadCost = velmora::benchmarks::addTarget(
    {"BM_ReadVcpMasterRead", "cpu_time", velmora::benchmarks::Bound::AtMost, 50.0});
const bool kSlaveReceiveCost = velmora::benchmarks::addTarget(
    {"BM_ReadVcpSlaveReceive", "cpu_time", velmora::benchmarks::Bound::AtMost, 50.0});

// The real bus delay: one delay unit at the default count of 100 iterations
// should last about 1 µs after calibration.
void BM_CalibratedDelayUnit(benchmark::State& state) {
    velmora::platform::CalibratedSpin spin;
    for (auto _ : state) spin.spin(100);
    state.counters["trips_per_iteration"] = spin.tripsPerIteration();
}
BENCHMARK(BM_CalibratedDelayUnit)->Unit(benchmark::kNanosecond);

}  // namespace
