// Compiling a large model: every model selection and Reload pays this cost
// on the window's thread. Goal: well under 1 ms per compile.
#include <string>

#include <benchmark/benchmark.h>

#include "model/model_description.h"
#include "benchmark_targets.h"

namespace {

// A model near the image capacity with several hundred symbols: constants,
// 64 script items with names, key names, a 32-mode timing table and data rows.
std::string largeModel() {
    std::string text = "; [MODEL,VM-BENCH 2400]\n; [PROTOCOL,DDC2Bi]\n; [VER,1.4]\n; [TIMING,SGS_2,MODES,4]\n";
    for (int i = 0; i < 250; ++i) text += "K" + std::to_string(i) + "      define " + std::to_string(i % 200) + "\n";
    for (int i = 0; i < 40; ++i) text += "; [KEY,PAGE2+" + std::to_string(i) + ",SCRIPT NAME " + std::to_string(i) + "]\n";
    text += "C_PAGE  db __PAGE,C_GD-C_PAGE,4\n";
    text += "C_GD    db __ALL_GD,C_KEY-C_GD,1\n        db 10,32\n        dw CODES,MODES,NUMBERS\n";
    text += "C_KEY   db __KEY,0\n";
    for (int i = 0; i < 64; ++i) {
        text += "        db PAGE2+" + std::to_string(i) + ",2\n        dw CMD" + std::to_string(i) + ",PAUSE\n";
    }
    text += "        db 0FFh\nPAUSE   db __DELAY,10,5\n";
    for (int i = 0; i < 64; ++i) {
        text += "CMD" + std::to_string(i) + "    db __SETVCP,V_HPOSI+K" + std::to_string(i) + ",K" + std::to_string(i + 1) +
                "+1,'ITEM " + std::to_string(i) + "',0\n";
    }
    text += "CODES   db V_HPOSI,V_HSIZE,V_VPOSI,V_VSIZE,0FFh,0FFh,0FFh,0FFh,0FFh,0FFh\n";
    for (int i = 0; i < 32; ++i) {
        text += (i == 0 ? "MODES" : "M" + std::to_string(i)) + "   db 0,1,0FEh,2, 31h,47h,70h,08h,0C0h,02h\n";
    }
    text += "NUMBERS db 0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29,30,31\n";
    for (int i = 0; i < 40; ++i) {
        text += "D" + std::to_string(i) + "      dw K" + std::to_string(i) + "+D" + std::to_string(i) + ",0FFFFh-K" +
                std::to_string(i + 1) + "\n        db K1,K2,K3,K4,K5,K6,K7,K8\n";
    }
    text += "        end\n";
    return text;
}

void BM_CompileLargeModel(benchmark::State& state) {
    const std::string text = largeModel();
    velmora::model::ModelDescription model;
    model.compileText(text);
    if (model.errorFlag) {
        state.SkipWithError(model.errorText.c_str());
        return;
    }
    for (auto _ : state) {
        model.compileText(text);
        benchmark::DoNotOptimize(model.itemTable);
    }
    state.counters["imageBytes"] = static_cast<double>(model.imageLength());
    state.counters["symbols"] = model.symbolCount;
    state.counters["timings"] = static_cast<double>(model.timingCount());
}
BENCHMARK(BM_CompileLargeModel)->Unit(benchmark::kMicrosecond);
const bool kCompileCost = velmora::benchmarks::addTarget(
    {"BM_CompileLargeModel", "cpu_time", velmora::benchmarks::Bound::AtMost, 1000.0});

}  // namespace
