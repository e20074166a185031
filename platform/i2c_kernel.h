#pragma once
#include <linux/i2c-dev.h>
#include <linux/i2c.h>

namespace velmora::platform {

// The three kernel calls made on an i2c-dev adapter node (/dev/i2c-N), in the
// kernel's own terms: a descriptor or a message count, or a negative errno
// value. LinuxI2cKernel makes the calls; the bench puts a stand-in adapter
// in its place that decodes the very structures the kernel would get.
class I2cKernel {
public:
    virtual ~I2cKernel() = default;
    // open(path, O_RDWR | O_NONBLOCK): a descriptor, or -errno.
    virtual int openNode(const char* path) = 0;
    // ioctl(descriptor, I2C_RDWR, &data): the messages transferred, or -errno.
    virtual int combinedTransfer(int descriptor, i2c_rdwr_ioctl_data& data) = 0;
    virtual void closeNode(int descriptor) = 0;
};

// The real kernel. Opening never waits (O_NONBLOCK); a transfer is bounded
// by the adapter driver's own time-out (one second on the common drivers)
// and is repeated at most once when a signal interrupts it.
class LinuxI2cKernel : public I2cKernel {
public:
    int openNode(const char* path) override;
    int combinedTransfer(int descriptor, i2c_rdwr_ioctl_data& data) override;
    void closeNode(int descriptor) override;
};

}  // namespace velmora::platform
