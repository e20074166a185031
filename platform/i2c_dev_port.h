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

    // 0 when open, otherwise the errno of the failure. Closes a node opened
    // before. The node is locked for as long as it is open, so that two
    // programs never interleave their requests: while another process holds
    // it, open waits up to lockWaitMs and then fails with EWOULDBLOCK
    // (lockHolder() says who). An adapter that cannot do plain I2C transfers
    // (an SMBus controller) is closed again without a transfer: EOPNOTSUPP.
    int open(const std::string& path, std::int32_t lockWaitMs = 0);
    [[nodiscard]] bool isOpen() const { return descriptor_ >= 0; }
    [[nodiscard]] const std::string& path() const { return path_; }
    // The process holding the node when open failed with EWOULDBLOCK.
    [[nodiscard]] const std::string& lockHolder() const { return lockHolder_; }
    // Whether transfers go through I2C_SLAVE and read()/write(), after the
    // driver refused I2C_RDWR with EINVAL (the NVIDIA proprietary driver).
    [[nodiscard]] bool usesPlainReadWrite() const { return plainReadWrite_; }

    // 0 when every segment went through, otherwise an errno value: ENXIO
    // (address not acknowledged), EREMOTEIO or EIO (a byte not acknowledged),
    // ETIMEDOUT (a line held), EBUSY or EAGAIN (the adapter in use), EINVAL
    // (a transfer the kernel does not take). A port that is not open gives ENXIO.
    [[nodiscard]] int transfer(std::span<const I2cSegment> segments);
    // The errno of the last transfer, 0 when it went through.
    [[nodiscard]] int lastError() const { return lastError_; }

private:
    int marshalAndTransfer(std::span<const I2cSegment> segments);
    int transferByReadWrite(std::span<const I2cSegment> segments);
    void closeNode();

    I2cKernel& kernel_;
    std::string path_;
    std::string lockHolder_;
    int descriptor_ = -1;
    int lastError_ = 0;
    bool plainReadWrite_ = false;
};

// What the user reads when the node cannot be opened or used: the reason and
// what to do about it. `holder` names the process holding the node's lock.
std::string describeI2cFailure(const std::string& path, int errorNumber, const std::string& holder = {});

}  // namespace velmora::platform
