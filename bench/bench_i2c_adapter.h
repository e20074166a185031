#pragma once
#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "bench/virtual_bench.h"
#include "platform/i2c_kernel.h"

namespace velmora::bench {

// The bench's monitor behind a graphics card's display data channel: stands
// in for the kernel's i2c-dev calls and decodes the i2c_rdwr_ioctl_data it
// is given, message by message, as an adapter driver would: START (or
// repeated START), the address byte, the bytes written (each acknowledged or
// not) or read, and one STOP at the end. The same devices answer as on the
// board: the microcontroller at 0x6E/0x6F and the EEPROMs at 0xA0 + 2 x slot,
// with the bench's faults.
//
// Errors as the adapter drivers give them: ENXIO for an address nobody
// acknowledges, EREMOTEIO for a written byte that is not acknowledged,
// ETIMEDOUT while something holds SDA low (sda-low), EINVAL for a transfer
// the kernel would refuse. With no-board there is simply no board in the
// way: the channel works. On the virtual clock every byte costs the time of
// nine clocks at 100 kHz.
//
// Knobs make it the adapters a technician meets: an SMBus controller
// (functions without I2C_FUNC_I2C), the NVIDIA proprietary driver (I2C_RDWR
// refused with EINVAL, I2C_SLAVE and read()/write() served), the ddcci
// driver holding 0x37 (I2C_SLAVE refused with EBUSY), another program
// holding the node's lock, adapters that read FFh from a device that is not
// there instead of reporting it, and an EDID of more than one segment
// behind the E-DDC segment pointer at 0x30.
//
// Every transfer is recorded, so that a test can assert what was sent where.
class BenchI2cAdapter : public platform::I2cKernel {
public:
    static constexpr std::int64_t kByteNanoseconds = 90'000;
    static constexpr int kDescriptor = 97;

    explicit BenchI2cAdapter(VirtualBench& bench) : bench_(bench) {}

    int openNode(const char* path) override;
    int combinedTransfer(int descriptor, i2c_rdwr_ioctl_data& data) override;
    void closeNode(int descriptor) override;
    int adapterFunctions(int descriptor, unsigned long& functions) override;
    int lockNode(int descriptor, std::int32_t waitMs) override;
    std::string lockHolder(int descriptor) override;
    int setSlaveAddress(int descriptor, std::uint8_t address) override;
    int writeBytes(int descriptor, const std::uint8_t* bytes, std::size_t count) override;
    int readBytes(int descriptor, std::uint8_t* bytes, std::size_t count) override;

    // One message as it reached the adapter.
    struct Message {
        std::uint8_t address = 0;  // 7-bit
        bool read = false;
        std::vector<std::uint8_t> bytes;  // written, or as read
    };

    // A test may make the node fail to open with this errno (0: it opens).
    int openError = 0;
    // A test may make every transfer fail with this errno (0: none), or
    // only those that read (the reply of a request that went through).
    int transferError = 0;
    int readError = 0;
    std::string openedPath;
    int transfers = 0;

    unsigned long functions = I2C_FUNC_I2C | I2C_FUNC_SMBUS_EMUL;  // what I2C_FUNCS reports
    std::string lockHeldBy;         // non-empty: another process holds the node ("PID 77 (ddcutil)")
    bool combinedRefused = false;   // I2C_RDWR fails with EINVAL, as the NVIDIA driver's does
    int slaveAddressError = 0;      // I2C_SLAVE fails with this errno (EBUSY: a driver holds the address)
    bool absentReadsOnes = false;   // a read from nobody gives FFh bytes instead of ENXIO
    // EDID segments 1 and up behind the segment pointer; segment 0 is the
    // bench's EEPROM at 0xA0. Without them 0x30 is not acknowledged.
    std::vector<std::array<std::uint8_t, 256>> edidSegments;
    static constexpr std::size_t kRecordCapacity = 4096;
    std::deque<Message> record;     // the latest messages, in order, at most kRecordCapacity

private:
    I2cDevice* addressed(std::uint8_t addressByte);
    void spendBytes(std::size_t count);
    int runMessages(i2c_msg* messages, __u32 count);
    // 0, or the errno that ends the transfer at this message.
    int transferMessage(const i2c_msg& message, I2cDevice*& device);

    VirtualBench& bench_;
    bool open_ = false;
    std::uint8_t slaveAddress_ = 0;
    std::int32_t segment_ = 0;  // the segment pointer, for the rest of one transfer
    std::uint8_t segmentOffset_ = 0;
};

}  // namespace velmora::bench
