#pragma once
#include <cstdint>

#include "platform/spin_delay.h"

namespace velmora::platform {

// The bus delay on a real machine. One iteration of the link's delay is a
// fixed number of trips through a loop the optimiser cannot remove; that
// number is measured once, when the object is made, after a warm-up that
// brings the CPU out of its idle clock (measured at a low clock, the loop
// would run faster later and the bus with it). After calibration the spin
// only counts: it never reads a clock.
//
// One iteration lasts at least kTargetIterationNanoseconds at the clock
// measured. The shortest SCL high phase of the bus primitives is 6 delay
// units (a data bit, an acknowledge, a bit read); at the fastest bus delay
// count the Options dialog offers (50) that is 300 iterations, and the
// target keeps it above the 4 µs that I2C standard mode asks for, before
// the port accesses add their own time. The default count (100) then gives
// a delay unit of about 1.3 µs (1.9 µs with the margin below).
//
// The trip measured is lengthened by kCalibrationMargin: measured while the
// other hardware thread of the same core is busy (a build, a browser), the
// loop runs up to about a quarter faster once that thread idles, and the bus
// must never run faster than standard mode; a slower bus costs nothing.
class CalibratedSpin : public SpinDelay {
public:
    static constexpr std::int32_t kShortestSclHighUnits = 6;
    static constexpr std::int32_t kFastestBusDelayCount = 50;
    static constexpr double kStandardModeSclHighNanoseconds = 4000.0;
    static constexpr double kTargetIterationNanoseconds =
        kStandardModeSclHighNanoseconds / (kShortestSclHighUnits * kFastestBusDelayCount) + 0.1;  // about 13.4
    static constexpr double kWarmUpMilliseconds = 50.0;
    static constexpr double kCalibrationMargin = 1.4;

    CalibratedSpin();                                   // measures
    explicit CalibratedSpin(std::int32_t tripsPerIteration);  // fixed, for tests

    void spin(std::int32_t iterations) override;

    [[nodiscard]] std::int32_t tripsPerIteration() const { return tripsPerIteration_; }

    // Trips per iteration for a measured trip duration: enough to last the
    // target with the margin, and at least 1.
    [[nodiscard]] static std::int32_t tripsFor(double nanosecondsPerTrip);

    // Duration of one trip through the spin loop after the warm-up, the
    // best of a few runs (the one least disturbed by other work).
    [[nodiscard]] static double measureTripNanoseconds();

private:
    std::int32_t tripsPerIteration_;
};

// The loop itself; returns the number of trips made so the caller can prove
// the work was done.
std::uint64_t spinTrips(std::uint64_t trips);

}  // namespace velmora::platform
