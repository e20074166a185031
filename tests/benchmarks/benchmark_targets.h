#pragma once
#include <string>

// The targets a benchmark states, checked after the run: a benchmark program
// fails when one of its benchmarks stops with an error or misses a target.
namespace velmora::benchmarks {

enum class Bound { AtMost, AtLeast };

struct Target {
    std::string benchmark;  // the run's name, "BM_SclPhases/bus_delay_count:50"
    // "cpu_time" (per iteration, in the benchmark's unit) or a counter's name.
    std::string measure;
    Bound bound;
    double limit;
    // A counter that measures time on the machine's clock: like cpu_time, a
    // sanitizer build (whose code runs at another speed) does not check it.
    bool timed = false;
};

// Adds a target for the program's run; returns true, for a static initialiser.
bool addTarget(Target target);

}  // namespace velmora::benchmarks
