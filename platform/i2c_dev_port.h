#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "platform/i2c_kernel.h"

namespace velmora::platform {

// One message of a combined transfer: START (or repeated START), the 7-bit
// address with the read bit, then `bytes` written or read.
struct I2cSegment {
    std::uint8_t address = 0;  // 7-bit: 0x37 for DDC/CI, 0x50 + block for EDID
    bool read = false;
    std::span<std::uint8_t> bytes;
};

// An i2c-dev adapter node (a graphics card's display data channel), open for
// the lifetime of the object. Transfers are marshalled into the kernel's
// i2c_rdwr_ioctl_data: one call, START ... repeated START ... STOP.
class I2cDevPort {
public:
    static constexpr std::size_t kMaxSegments = I2C_RDWR_IOCTL_MAX_MSGS;
    static constexpr std::size_t kMaxSegmentBytes = 8192;  // i2c-dev's limit per message

    explicit I2cDevPort(I2cKernel& kernel) : kernel_(kernel) {}
    ~I2cDevPort();
    I2cDevPort(const I2cDevPort&) = delete;
    I2cDevPort& operator=(const I2cDevPort&) = delete;

    // 0 when open, otherwise the errno of the failure. Closes a node opened before.
    int open(const std::string& path);
    [[nodiscard]] bool isOpen() const { return descriptor_ >= 0; }
    [[nodiscard]] const std::string& path() const { return path_; }

    // 0 when every segment went through, otherwise an errno value: ENXIO
    // (address not acknowledged), EREMOTEIO or EIO (a byte not acknowledged),
    // ETIMEDOUT (a line held), EBUSY or EAGAIN (the adapter in use), EINVAL
    // (a transfer the kernel does not take). A port that is not open gives ENXIO.
    [[nodiscard]] int transfer(std::span<const I2cSegment> segments);
    // The errno of the last transfer, 0 when it went through.
    [[nodiscard]] int lastError() const { return lastError_; }

private:
    int marshalAndTransfer(std::span<const I2cSegment> segments);

    I2cKernel& kernel_;
    std::string path_;
    int descriptor_ = -1;
    int lastError_ = 0;
};

// What the user reads when the node cannot be opened or used: the reason and
// what to do about it.
std::string describeI2cFailure(const std::string& path, int errorNumber);

}  // namespace velmora::platform
