#pragma once
#include <cstdint>

#include "platform/spin_delay.h"

namespace velmora::platform {

// The bus delay on a real machine. One iteration of the link's delay is a
// fixed number of trips through a loop the optimiser cannot remove; that
// number is measured once, when the object is made, so that one delay unit
// at the default bus delay count (100 iterations) lasts about 1 µs, i.e. one
// iteration about 10 ns. After calibration the spin only counts: it never
// reads a clock.
class CalibratedSpin : public SpinDelay {
public:
    static constexpr double kTargetIterationNanoseconds = 10.0;

    CalibratedSpin();                                   // measures
    explicit CalibratedSpin(std::int32_t tripsPerIteration);  // fixed, for tests

    void spin(std::int32_t iterations) override;

    [[nodiscard]] std::int32_t tripsPerIteration() const { return tripsPerIteration_; }

    // Trips per iteration for a measured trip duration; at least 1.
    [[nodiscard]] static std::int32_t tripsFor(double nanosecondsPerTrip);

    // Duration of one trip through the spin loop, best of a few runs.
    [[nodiscard]] static double measureTripNanoseconds();

private:
    std::int32_t tripsPerIteration_;
};

// The loop itself; returns the number of trips made so the caller can prove
// the work was done.
std::uint64_t spinTrips(std::uint64_t trips);

}  // namespace velmora::platform
