#pragma once
#include <chrono>
#include <cstdint>

#include "platform/clock.h"
#include "platform/interrupt_shield.h"
#include "platform/spin_delay.h"

namespace velmora::bench {

// The time the simulated devices live in: reply delays and the DDC1 bit
// clock are measured on it. Bus state machines step on port accesses, not on
// time, so they work the same on either time base.
class BenchTime {
public:
    virtual ~BenchTime() = default;
    [[nodiscard]] virtual std::int64_t nowMicroseconds() const = 0;
    virtual void onPortAccess() = 0;
};

// Deterministic time for tests: nothing moves unless the link does something.
//   a port access          1 µs
//   a clock reading        20 µs (so busy-waits on the clock end)
//   a spin iteration       10 ns (one delay unit at count 100 = 1 µs)
//   a sleep                its length
class VirtualClock : public platform::Clock, public BenchTime {
public:
    static constexpr std::int64_t kPortAccessNs = 1'000;
    static constexpr std::int64_t kClockReadNs = 20'000;
    static constexpr std::int64_t kSpinIterationNs = 10;

    std::int32_t milliseconds() override;
    void sleepMilliseconds(std::int32_t ms) override;
    [[nodiscard]] std::int64_t nowMicroseconds() const override { return nanoseconds_ / 1000; }
    void onPortAccess() override { nanoseconds_ += kPortAccessNs; }

    void advanceNanoseconds(std::int64_t ns) { if (ns > 0) nanoseconds_ += ns; }
    [[nodiscard]] std::int64_t nanoseconds() const { return nanoseconds_; }
    // Milliseconds as the link would see them, without the cost of a reading.
    [[nodiscard]] std::int64_t elapsedMilliseconds() const { return nanoseconds_ / 1'000'000; }

private:
    std::int64_t nanoseconds_ = 0;
};

// The bus delay on the virtual clock: spinning costs virtual time only.
class VirtualSpin : public platform::SpinDelay {
public:
    explicit VirtualSpin(VirtualClock& clock) : clock_(clock) {}
    void spin(std::int32_t iterations) override {
        if (iterations > 0) clock_.advanceNanoseconds(iterations * VirtualClock::kSpinIterationNs);
    }

private:
    VirtualClock& clock_;
};

// Wall-clock time for running the windows on the bench.
class RealBenchTime : public BenchTime {
public:
    RealBenchTime() : origin_(std::chrono::steady_clock::now()) {}
    [[nodiscard]] std::int64_t nowMicroseconds() const override {
        return std::chrono::duration_cast<std::chrono::microseconds>(
                   std::chrono::steady_clock::now() - origin_)
            .count();
    }
    void onPortAccess() override {}

private:
    std::chrono::steady_clock::time_point origin_;
};

// The bench's interrupt shield: no priority games, but it counts its use so
// tests can see that the slave receiver held it.
class BenchShield : public platform::InterruptShield {
public:
    void enter() override { ++enters; ++depth; }
    void leave() override { ++leaves; --depth; }
    int enters = 0;
    int leaves = 0;
    int depth = 0;
};

}  // namespace velmora::bench
