#pragma once
#include <array>
#include <cstdint>

#include "bench/bench_faults.h"
#include "bench/bench_time.h"
#include "bench/bus_agent.h"

namespace velmora::bench {

// A DDC1 monitor: with ddc1=T set it drives SDA with its EDID base block
// continuously, one bit cell every T ms (its vertical sync): each byte's 8
// bits, most significant first, then one high cell. The cycle of 128 bytes is
// 1152 cells; cell c of the cycle is shown at bench time
// (c - phaseCells) x T ms modulo the cycle, so `phaseCells` moves the
// header within a capture. With ddc1-silent-after=N the stream stops (SDA
// released) from N ms on.
class Ddc1Stream : public BusAgent {
public:
    Ddc1Stream(const BenchTime& time, const BenchFaults& faults, const std::array<std::uint8_t, 256>& eeprom)
        : time_(time), faults_(faults), eeprom_(eeprom) {}

    [[nodiscard]] AgentRoles roles() const override { return AgentRole::PullsSda; }
    [[nodiscard]] bool pullsSda() const override;

    // The level of cycle cell `cell` (0..1151): true when high.
    [[nodiscard]] bool cellLevel(std::int64_t cell) const;

    std::int64_t phaseCells = 0;

private:
    const BenchTime& time_;
    const BenchFaults& faults_;
    const std::array<std::uint8_t, 256>& eeprom_;
};

}  // namespace velmora::bench
