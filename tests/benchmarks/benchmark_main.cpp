// The benchmark programs' main: runs the benchmarks as benchmark_main does,
// then fails (exit status 1) when one stopped with an error, when none ran,
// or when one missed a target its program states. Times are CPU times: the
// machine may be busy with other work, which lengthens the wall clock but
// not what the program itself costs. A sanitizer build checks no times.
#include <benchmark/benchmark.h>

#include <iostream>
#include <vector>

#include "benchmark_targets.h"

namespace velmora::benchmarks {

namespace {

std::vector<Target>& targets() {
    static std::vector<Target> registered;
    return registered;
}

// Keeps every run while the console shows it.
class KeepingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        kept.insert(kept.end(), runs.begin(), runs.end());
        ConsoleReporter::ReportRuns(runs);
    }
    std::vector<Run> kept;
};

bool missed(const Target& target, double value) {
    return target.bound == Bound::AtMost ? value > target.limit : value < target.limit;
}

// What went wrong with the runs, one line each.
std::vector<std::string> faults(const std::vector<benchmark::BenchmarkReporter::Run>& runs, bool checkTimes) {
    std::vector<std::string> found;
    if (runs.empty()) found.push_back("no benchmark ran");
    for (const auto& run : runs) {
        if (run.error_occurred) found.push_back(run.benchmark_name() + " stopped: " + run.error_message);
    }
    for (const Target& target : targets()) {
        if ((target.measure == "cpu_time" || target.timed) && !checkTimes) continue;
        bool seen = false;
        for (const auto& run : runs) {
            if (run.benchmark_name() != target.benchmark || run.error_occurred) continue;
            seen = true;
            double value = 0;
            if (target.measure == "cpu_time") {
                value = run.GetAdjustedCPUTime();
            } else if (const auto counter = run.counters.find(target.measure); counter != run.counters.end()) {
                value = counter->second.value;
            } else {
                found.push_back(target.benchmark + " has no counter " + target.measure);
                continue;
            }
            if (missed(target, value)) {
                found.push_back(target.benchmark + " " + target.measure + " " + std::to_string(value) + " is " +
                                (target.bound == Bound::AtMost ? "above" : "below") + " its target " +
                                std::to_string(target.limit));
            }
        }
        if (!seen && !runs.empty()) found.push_back(target.benchmark + " did not run; its target is unchecked");
    }
    return found;
}

}  // namespace

bool addTarget(Target target) {
    targets().push_back(std::move(target));
    return true;
}

}  // namespace velmora::benchmarks

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    velmora::benchmarks::KeepingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
#ifdef VELMORA_SANITIZE
    constexpr bool checkTimes = false;
#else
    constexpr bool checkTimes = true;
#endif
    const std::vector<std::string> faults = velmora::benchmarks::faults(reporter.kept, checkTimes);
    for (const std::string& fault : faults) std::cerr << "benchmark: " << fault << "\n";
    return faults.empty() ? 0 : 1;
}
