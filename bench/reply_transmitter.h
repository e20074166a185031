#pragma once
#include <cstdint>
#include <vector>

#include "bench/bench_log.h"
#include "bench/bench_time.h"
#include "bench/bus_agent.h"

namespace velmora::bench {

// The monitor as bus master, writing a reply to the PC in SlaveReceive mode:
// START, the bytes (each acknowledged by the receiver), STOP. It steps on the
// PC's port accesses, kPhaseAccesses per half bit, so it keeps pace with the
// PC's polling on any time base.
//
// It never collides with the PC's next transaction:
//  - a reply that has not begun is dropped as soon as the PC writes the data
//    register (the PC is no longer listening);
//  - once begun, the PC may only pull SDA for an acknowledge and release it
//    once afterwards; any other write (a START, a STOP, SCL pulled) makes the
//    monitor give up at once and release both lines, as a master that lost
//    the bus does. The same happens when the PC does not acknowledge a byte,
//    except that the monitor first ends with a STOP.
class ReplyTransmitter : public BusAgent {
public:
    static constexpr std::int32_t kPhaseAccesses = 4;
    static constexpr std::int32_t kTurnaroundAccesses = 40;  // request STOP to reply START
    static constexpr std::size_t kCapacity = 1024;           // bytes of one message

    ReplyTransmitter(BenchTime& time, BenchLog& log) : time_(time), log_(log) {}

    // Queues a message (the first byte is the address the monitor sends); it
    // begins once the bus is idle, after the turnaround and not before
    // `readyAtMicroseconds`. Longer messages are cut at kCapacity.
    void schedule(std::vector<std::uint8_t> bytes, std::int64_t readyAtMicroseconds);
    void cancel();

    [[nodiscard]] bool idle() const { return state_ == State::Idle; }
    [[nodiscard]] std::size_t bytesAcknowledged() const { return acknowledged_; }

    [[nodiscard]] AgentRoles roles() const override {
        return AgentRole::StepsWithAccesses | AgentRole::PullsScl | AgentRole::PullsSda;
    }
    void onPortAccess(const PortAccess& access, BusLevels levels) override;
    [[nodiscard]] bool pullsScl() const override { return pullScl_; }
    [[nodiscard]] bool pullsSda() const override { return pullSda_; }

private:
    enum class State : std::uint8_t {
        Idle, Pending, StartHold, BitSetup, BitHigh, AckSetup, AckHigh, StopSetup, StopHigh
    };

    void onPcWrite(std::uint8_t value);
    void advance(BusLevels levels);
    void enter(State state);
    void beginBit();
    void abandon();

    BenchTime& time_;
    BenchLog& log_;
    State state_ = State::Idle;
    std::vector<std::uint8_t> bytes_;
    std::int64_t readyAt_ = 0;
    std::int32_t countdown_ = 0;
    std::int32_t sclWaits_ = 0;
    std::size_t byteIndex_ = 0;
    int bitIndex_ = 0;
    std::size_t acknowledged_ = 0;
    bool pullScl_ = false;
    bool pullSda_ = false;
    bool acknowledgeWindow_ = false;   // the PC may pull SDA now
    bool releaseExpected_ = false;     // the PC may release its acknowledge now
};

}  // namespace velmora::bench
