#pragma once
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <string>

#include <linux/i2c-dev.h>
#include <linux/i2c.h>

namespace velmora::platform {

// The kernel calls made on an i2c-dev adapter node (/dev/i2c-N), in the
// kernel's own terms: a descriptor, a count, or a negative errno value.
// LinuxI2cKernel makes the calls; the bench puts a stand-in adapter in its
// place that decodes the very structures the kernel would get.
class I2cKernel {
public:
    virtual ~I2cKernel() = default;
    // open(path, O_RDWR | O_NONBLOCK): a descriptor, or -errno.
    virtual int openNode(const char* path) = 0;
    // ioctl(descriptor, I2C_RDWR, &data): the messages transferred, or -errno.
    virtual int combinedTransfer(int descriptor, i2c_rdwr_ioctl_data& data) = 0;
    virtual void closeNode(int descriptor) = 0;

    // ioctl(descriptor, I2C_FUNCS): 0 and the adapter's I2C_FUNC_* bits, or
    // -errno. A stand-in that only speaks combined transfers says plain I2C.
    virtual int adapterFunctions(int descriptor, unsigned long& functions) {
        (void)descriptor;
        functions = I2C_FUNC_I2C;
        return 0;
    }
    // flock(descriptor, LOCK_EX | LOCK_NB), repeated for up to waitMs
    // milliseconds while another process holds the lock: 0 or -errno
    // (-EWOULDBLOCK while it is still held).
    virtual int lockNode(int descriptor, std::int32_t waitMs) {
        (void)descriptor;
        (void)waitMs;
        return 0;
    }
    // Who holds the node's lock, as "PID 1234 (ddcutil)"; empty when unknown.
    virtual std::string lockHolder(int descriptor) {
        (void)descriptor;
        return {};
    }
    // The plain read()/write() path of drivers without I2C_RDWR: ioctl
    // I2C_SLAVE, then write() or read() of whole messages. 0 or a count, or
    // -errno; a stand-in without it says ENOTTY.
    virtual int setSlaveAddress(int descriptor, std::uint8_t address) {
        (void)descriptor;
        (void)address;
        return -ENOTTY;
    }
    virtual int writeBytes(int descriptor, const std::uint8_t* bytes, std::size_t count) {
        (void)descriptor;
        (void)bytes;
        (void)count;
        return -ENOTTY;
    }
    virtual int readBytes(int descriptor, std::uint8_t* bytes, std::size_t count) {
        (void)descriptor;
        (void)bytes;
        (void)count;
        return -ENOTTY;
    }
};

// The real kernel. Opening never waits (O_NONBLOCK); a transfer is bounded
// by the adapter driver's own time-out (one second on the common drivers)
// and is repeated at most once when a signal interrupts it.
class LinuxI2cKernel : public I2cKernel {
public:
    int openNode(const char* path) override;
    int combinedTransfer(int descriptor, i2c_rdwr_ioctl_data& data) override;
    void closeNode(int descriptor) override;
    int adapterFunctions(int descriptor, unsigned long& functions) override;
    int lockNode(int descriptor, std::int32_t waitMs) override;
    std::string lockHolder(int descriptor) override;
    int setSlaveAddress(int descriptor, std::uint8_t address) override;
    int writeBytes(int descriptor, const std::uint8_t* bytes, std::size_t count) override;
    int readBytes(int descriptor, std::uint8_t* bytes, std::size_t count) override;
};

}  // namespace velmora::platform
