#pragma once
#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>

#include "bench/bench_faults.h"
#include "bench/bench_time.h"
#include "bench/bus_agent.h"
#include "platform/port_io.h"

namespace velmora::bench {

// The simulated interface board behind the port, wired as board_wiring.h
// tells: data bit 3 pulls SCL and data bit 7 pulls SDA (open collector);
// each line is low when the board or any agent pulls it. Status bit 3 reads
// SCL and bit 7 reads SDA.
//
// The other status inputs are not wired on the board; with the port's
// pull-ups they read 1, except Busy (bit 7), which the port inverts: with
// the board, status = 0x77 | SCL bit | SDA bit; without the board
// (no-board) every status pin floats high, the register reads 0x7F and the
// PC's writes reach no line. The data register reads back what was written;
// other ports read 0xFF and ignore writes.
//
// Every access advances the bench time, lets the agents step, then settles
// the lines and reports each change to the agents (time-driven pulls, such
// as the DDC1 stream, are therefore seen from the access on which they fall). A change of both lines at
// once is reported as two: SCL first when it falls, SDA first when SCL rises,
// so that no START or STOP is seen that the PC did not make.
class PinAdapter : public platform::PortIo {
public:
    static constexpr std::size_t kAgentCapacity = 8;

    PinAdapter(BenchTime& time, const BenchFaults& faults);

    std::uint8_t read8(std::uint16_t port) override;
    void write8(std::uint16_t port, std::uint8_t value) override;

    // Adds an agent; false when the board is full.
    bool attach(BusAgent& agent);

    [[nodiscard]] BusLevels levels() const { return levels_; }
    [[nodiscard]] std::uint8_t dataRegister() const { return data_; }
    [[nodiscard]] std::uint64_t portAccesses() const { return accesses_; }
    [[nodiscard]] std::uint64_t statusReads() const { return statusReads_; }
    // Every value the data register has received.
    [[nodiscard]] const std::bitset<256>& valuesWritten() const { return valuesWritten_; }
    void clearValuesWritten() { valuesWritten_.reset(); }

private:
    [[nodiscard]] BusLevels computeLevels() const;
    void step(const PortAccess& access);
    void settle();

    BenchTime& time_;
    const BenchFaults& faults_;
    // Agents by role, each list in attach order.
    struct AgentList {
        std::array<BusAgent*, kAgentCapacity> items{};
        std::size_t count = 0;
        void add(BusAgent& agent) { items[count++] = &agent; }
    };
    std::size_t agentCount_ = 0;
    AgentList steppers_;
    AgentList sclPullers_;
    AgentList sdaPullers_;
    AgentList watchers_;
    std::uint8_t data_ = 0;
    BusLevels levels_;
    std::uint64_t accesses_ = 0;
    std::uint64_t statusReads_ = 0;
    std::bitset<256> valuesWritten_;
};

}  // namespace velmora::bench
