#include "platform/calibrated_spin.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace velmora::platform {

std::uint64_t spinTrips(std::uint64_t trips) {
    std::uint64_t done = 0;
    for (std::uint64_t i = 0; i < trips; ++i) {
        // The empty asm with the counter as operand keeps the loop: the
        // compiler must assume the statement reads and changes it.
        asm volatile("" : "+r"(done));
        ++done;
    }
    return done;
}

std::int32_t CalibratedSpin::tripsFor(double nanosecondsPerTrip) {
    if (!(nanosecondsPerTrip > 0.0)) return 1;
    const double trips = std::ceil(kTargetIterationNanoseconds * kCalibrationMargin / nanosecondsPerTrip);
    return static_cast<std::int32_t>(std::clamp(trips, 1.0, 1.0e6));
}

double CalibratedSpin::measureTripNanoseconds() {
    using Clock = std::chrono::steady_clock;
    // expects: the CPU to reach its working clock within the warm-up; the
    // loop ends on time however slow the machine is.
    const auto warmUpEnd = Clock::now() + std::chrono::duration<double, std::milli>(kWarmUpMilliseconds);
    while (Clock::now() < warmUpEnd) spinTrips(10'000);

    constexpr std::uint64_t kTrips = 2'000'000;
    constexpr int kRuns = 8;
    double best = 0.0;
    for (int run = 0; run < kRuns; ++run) {
        const auto begin = Clock::now();
        spinTrips(kTrips);
        const auto end = Clock::now();
        const double ns = std::chrono::duration<double, std::nano>(end - begin).count() /
                          static_cast<double>(kTrips);
        if (run == 0 || ns < best) best = ns;
    }
    return best;
}

CalibratedSpin::CalibratedSpin() : tripsPerIteration_(tripsFor(measureTripNanoseconds())) {}

CalibratedSpin::CalibratedSpin(std::int32_t tripsPerIteration)
    : tripsPerIteration_(std::max<std::int32_t>(1, tripsPerIteration)) {}

void CalibratedSpin::spin(std::int32_t iterations) {
    if (iterations <= 0) return;
    spinTrips(static_cast<std::uint64_t>(iterations) *
              static_cast<std::uint64_t>(tripsPerIteration_));
}

}  // namespace velmora::platform
