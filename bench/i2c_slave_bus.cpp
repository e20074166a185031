#include "bench/i2c_slave_bus.h"

namespace velmora::bench {

I2cSlaveBus::I2cSlaveBus(const BenchFaults& faults, ClockStretcher& stretcher)
    : faults_(faults), stretcher_(stretcher) {}

bool I2cSlaveBus::attach(I2cDevice& device) {
    if (deviceCount_ >= devices_.size()) return false;
    devices_[deviceCount_++] = &device;
    return true;
}

void I2cSlaveBus::onLinesChanged(BusLevels before, BusLevels after) {
    if (before.scl && after.scl) {
        // SDA moved while SCL was high: a bus condition, not data.
        if (before.sda && !after.sda) onStart();
        if (!before.sda && after.sda) onStop();
        return;
    }
    if (!before.scl && after.scl) onSclRise(after.sda);
    if (before.scl && !after.scl) onSclFall();
}

void I2cSlaveBus::endTransfer() {
    if (selected_ != nullptr) selected_->onEnd();
    selected_ = nullptr;
}

void I2cSlaveBus::onStart() {
    endTransfer();
    state_ = State::Receiving;
    addressPhase_ = true;
    bits_ = 0;
    shift_ = 0;
    pullSda_ = false;
}

void I2cSlaveBus::onStop() {
    endTransfer();
    state_ = State::Idle;
    pullSda_ = false;
}

void I2cSlaveBus::onSclRise(bool sda) {
    if (state_ == State::Receiving && bits_ < 8) {
        shift_ = static_cast<std::uint8_t>((shift_ << 1) | (sda ? 1 : 0));
        ++bits_;
    } else if (state_ == State::AwaitingAck) {
        masterAcknowledged_ = !sda;
    }
}

void I2cSlaveBus::onSclFall() {
    switch (state_) {
    case State::Receiving:
        if (bits_ == 8) finishReceivedByte();
        break;
    case State::Acknowledging:
        pullSda_ = false;
        if (reading_) {
            beginByteToMaster();
        } else {
            state_ = State::Receiving;
            bits_ = 0;
            shift_ = 0;
        }
        break;
    case State::Transmitting:
        if (++bits_ < 8) {
            driveCurrentBit();
        } else {
            pullSda_ = false;  // the master's acknowledge bit
            state_ = State::AwaitingAck;
            stretchAcknowledgeClock();
        }
        break;
    case State::AwaitingAck:
        ++(masterAcknowledged_ ? masterAcknowledges : masterRefusals);
        if (masterAcknowledged_) {
            beginByteToMaster();
        } else {
            state_ = State::Ignoring;  // no acknowledge: the master is done reading
        }
        break;
    case State::Idle:
    case State::Ignoring:
        break;
    }
}

void I2cSlaveBus::finishReceivedByte() {
    bool acknowledged = false;
    if (addressPhase_) {
        addressPhase_ = false;
        reading_ = (shift_ & 1) != 0;
        if (!faults_.noMonitor) {
            for (std::size_t i = 0; i < deviceCount_ && selected_ == nullptr; ++i) {
                if (devices_[i]->onAddress(shift_)) selected_ = devices_[i];
            }
        }
        acknowledged = selected_ != nullptr;
    } else {
        acknowledged = selected_ != nullptr && selected_->onWrite(shift_);
    }
    if (!acknowledged) {
        state_ = State::Ignoring;
        pullSda_ = false;
        return;
    }
    pullSda_ = true;
    state_ = State::Acknowledging;
    stretchAcknowledgeClock();
}

void I2cSlaveBus::stretchAcknowledgeClock() {
    if (selected_ != nullptr && selected_->clockStretchReads() > 0) {
        stretcher_.arm(selected_->clockStretchReads());
    }
}

void I2cSlaveBus::beginByteToMaster() {
    shift_ = selected_ != nullptr ? selected_->onRead() : 0xFF;
    bits_ = 0;
    state_ = State::Transmitting;
    driveCurrentBit();
}

void I2cSlaveBus::driveCurrentBit() { pullSda_ = ((shift_ >> (7 - bits_)) & 1) == 0; }

}  // namespace velmora::bench
