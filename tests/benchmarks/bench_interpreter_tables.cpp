// Host cost of the interpreter's two table functions on the virtual bench:
// ALL MODE SAVE (a mode-table save: one VCP read per column, then one table
// request per mode) and STND MODE DUMP (a standard dump: a Set VCP and a
// read-back per value) of the VM-1995 Pro sample model, which has the
// largest tables of the samples.
//
// The bench runs on its virtual clock, so the interpreter's waits (10 ms between
// steps, 30 ms before a DDC2Bi reply, 100 ms for a table reply) cost no
// real time; what is measured is the host CPU of building, framing and
// clocking every request and reply through the simulated board and monitor.
// The time per request is reported as the counter "per_request".
#include <benchmark/benchmark.h>

#include <memory>

#include "bench/virtual_bench.h"
#include "model/image_layout.h"
#include "session/monitor_door.h"
#include "platform/files.h"
#include "platform/message_sink.h"

namespace {

using velmora::session::ProgramContext;

void runTableFunction(benchmark::State& state, std::uint8_t opcode) {
    velmora::bench::VirtualBench bench;
    velmora::platform::RecordingMessageSink messages;
    const std::unique_ptr<ProgramContext> program =
        velmora::session::openWayToMonitor({std::nullopt, &bench}, messages).program;
    // The sample models sit beside the programs in build/bin.
    if (program->loadModel(velmora::platform::programDirectory() + "vm1995pro.mdl") != 1 ||
        program->model.errorFlag) {
        state.SkipWithError("the sample model vm1995pro.mdl could not be compiled");
        return;
    }
    std::int64_t requests = 0;
    for (auto _ : state) {
        bench.log.clear();
        if (!program->interpreter.runItem(opcode, 0)) {
            state.SkipWithError("the function failed on the bench");
            break;
        }
        requests += static_cast<std::int64_t>(bench.log.requests().size());
    }
    if (state.iterations() == 0 || requests == 0) return;
    state.counters["requests"] =
        benchmark::Counter(static_cast<double>(requests) / static_cast<double>(state.iterations()));
    state.counters["per_request"] = benchmark::Counter(static_cast<double>(requests),
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_AllModeSave(benchmark::State& state) { runTableFunction(state, velmora::model::opcode::AllModeSave); }
void BM_StandardModeDump(benchmark::State& state) {
    runTableFunction(state, velmora::model::opcode::StandardModeDump);
}

BENCHMARK(BM_AllModeSave)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StandardModeDump)->Unit(benchmark::kMicrosecond);

}  // namespace
