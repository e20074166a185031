#pragma once
#include <cstdint>
#include <string>

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
class BenchI2cAdapter : public platform::I2cKernel {
public:
    static constexpr std::int64_t kByteNanoseconds = 90'000;
    static constexpr int kDescriptor = 97;

    explicit BenchI2cAdapter(VirtualBench& bench) : bench_(bench) {}

    int openNode(const char* path) override;
    int combinedTransfer(int descriptor, i2c_rdwr_ioctl_data& data) override;
    void closeNode(int descriptor) override;

    // A test may make the node fail to open with this errno (0: it opens).
    int openError = 0;
    // A test may make every transfer fail with this errno (0: none), or
    // only those that read (the reply of a request that went through).
    int transferError = 0;
    int readError = 0;
    std::string openedPath;
    int transfers = 0;

private:
    I2cDevice* addressed(std::uint8_t addressByte);
    void spendBytes(std::size_t count);

    VirtualBench& bench_;
    bool open_ = false;
};

}  // namespace velmora::bench
