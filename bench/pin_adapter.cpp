#include "bench/pin_adapter.h"

#include "bench/board_wiring.h"

namespace velmora::bench {

void ClockStretcher::onPortAccess(const PortAccess& access, BusLevels levels) {
    (void)levels;
    if (access.isWrite) {
        const bool pcHolds = (access.value & kSclDriveBit) != 0;
        if (pcHeldScl_ && !pcHolds && armed_ > 0) {
            holding_ = true;
            remaining_ = armed_;
            armed_ = 0;
        }
        pcHeldScl_ = pcHolds;
        return;
    }
    // expects: the stretch to end after its count of status reads
    if (!holding_) return;
    if (remaining_ == 0) {
        holding_ = false;
    } else {
        --remaining_;
    }
}

PinAdapter::PinAdapter(BenchTime& time, const BenchFaults& faults) : time_(time), faults_(faults) {}

bool PinAdapter::attach(BusAgent& agent) {
    if (agentCount_ >= kAgentCapacity) return false;
    ++agentCount_;
    const AgentRoles roles = agent.roles();
    if (roles.has(AgentRole::StepsWithAccesses)) steppers_.add(agent);
    if (roles.has(AgentRole::PullsScl)) sclPullers_.add(agent);
    if (roles.has(AgentRole::PullsSda)) sdaPullers_.add(agent);
    if (roles.has(AgentRole::WatchesLines)) watchers_.add(agent);
    return true;
}

BusLevels PinAdapter::computeLevels() const {
    // Without the board the PC reaches no line.
    const std::uint8_t pc = faults_.noBoard ? 0 : data_;
    BusLevels levels{(pc & kSclDriveBit) == 0, (pc & kSdaDriveBit) == 0 && !faults_.sdaLow};
    for (std::size_t i = 0; i < sclPullers_.count && levels.scl; ++i) {
        if (sclPullers_.items[i]->pullsScl()) levels.scl = false;
    }
    for (std::size_t i = 0; i < sdaPullers_.count && levels.sda; ++i) {
        if (sdaPullers_.items[i]->pullsSda()) levels.sda = false;
    }
    return levels;
}

void PinAdapter::settle() {
    // Agents react to changes and may pull in turn; a few rounds settle any
    // real chain of reactions.
    for (int round = 0; round < 16; ++round) {
        const BusLevels target = computeLevels();
        if (target == levels_) return;
        BusLevels next = target;
        if (target.scl != levels_.scl && target.sda != levels_.sda) {
            next = levels_;
            if (!target.scl) next.scl = false;
            else next.sda = target.sda;
        }
        const BusLevels before = levels_;
        levels_ = next;
        for (std::size_t i = 0; i < watchers_.count; ++i) watchers_.items[i]->onLinesChanged(before, next);
    }
}

void PinAdapter::step(const PortAccess& access) {
    ++accesses_;
    time_.onPortAccess();
    if (access.isWrite) data_ = access.value;
    // Agents see a write before the lines move, so a slave can hold SCL
    // against the release it is about to see.
    for (std::size_t i = 0; i < steppers_.count; ++i) steppers_.items[i]->onPortAccess(access, levels_);
    settle();
}

std::uint8_t PinAdapter::read8(std::uint16_t port) {
    if (port == platform::kDataPort) return data_;
    if (port != platform::kStatusPort) return 0xFF;
    ++statusReads_;
    step(PortAccess{false, 0});
    return statusRegister(faults_.noBoard ? kStatusPinsWithoutBoard : statusPinsWithBoard(levels_.scl, levels_.sda));
}

void PinAdapter::write8(std::uint16_t port, std::uint8_t value) {
    if (port != platform::kDataPort) return;
    valuesWritten_.set(value);
    step(PortAccess{true, value});
}

}  // namespace velmora::bench
