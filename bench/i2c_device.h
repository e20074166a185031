#pragma once
#include <cstdint>

namespace velmora::bench {

// A byte-level device on the simulated I2C bus. Addresses are 8-bit address
// bytes with the read/write bit (0x6E writes to the monitor, 0x6F reads).
class I2cDevice {
public:
    virtual ~I2cDevice() = default;
    // An address byte after START; true acknowledges it and selects the device.
    virtual bool onAddress(std::uint8_t addressByte) = 0;
    // A byte written by the master; true acknowledges it.
    virtual bool onWrite(std::uint8_t value) = 0;
    // The next byte the master reads.
    virtual std::uint8_t onRead() = 0;
    // STOP, or a repeated START, ends the device's transfer.
    virtual void onEnd() = 0;
    // Status reads for which the device holds SCL low at each acknowledge clock.
    [[nodiscard]] virtual std::int32_t clockStretchReads() const { return 0; }
};

}  // namespace velmora::bench
