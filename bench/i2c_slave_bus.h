#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

#include "bench/bench_faults.h"
#include "bench/bus_agent.h"
#include "bench/i2c_device.h"

namespace velmora::bench {

// The slave side of every device on the bus: turns line changes into START,
// STOP, address, data and acknowledge events, and drives SDA for the
// acknowledges and the bits of bytes read. An address nobody acknowledges is
// ignored until the next START or STOP; a byte read beyond what a device
// offers is whatever the device returns (0xFF by convention).
class I2cSlaveBus : public BusAgent {
public:
    static constexpr std::size_t kDeviceCapacity = 8;

    I2cSlaveBus(const BenchFaults& faults, ClockStretcher& stretcher);

    bool attach(I2cDevice& device);  // false when full

    [[nodiscard]] AgentRoles roles() const override { return AgentRole::PullsSda | AgentRole::WatchesLines; }
    void onLinesChanged(BusLevels before, BusLevels after) override;
    [[nodiscard]] bool pullsSda() const override { return pullSda_; }

    // Acknowledges the master gave (true) or refused (false) for bytes read.
    std::uint64_t masterAcknowledges = 0;
    std::uint64_t masterRefusals = 0;

private:
    enum class State : std::uint8_t { Idle, Receiving, Acknowledging, Transmitting, AwaitingAck, Ignoring };

    void onStart();
    void onStop();
    void onSclRise(bool sda);
    void onSclFall();
    void finishReceivedByte();
    void beginByteToMaster();
    void driveCurrentBit();
    void endTransfer();
    void stretchAcknowledgeClock();

    const BenchFaults& faults_;
    ClockStretcher& stretcher_;
    std::array<I2cDevice*, kDeviceCapacity> devices_{};
    std::size_t deviceCount_ = 0;

    State state_ = State::Idle;
    I2cDevice* selected_ = nullptr;
    bool addressPhase_ = false;
    bool reading_ = false;
    bool masterAcknowledged_ = false;
    std::uint8_t shift_ = 0;
    int bits_ = 0;
    bool pullSda_ = false;
};

}  // namespace velmora::bench
