#include "bench/bench_i2c_adapter.h"

#include <cerrno>

namespace velmora::bench {

namespace {

// Per message, as i2c-dev takes them.
constexpr __u32 kMaxMessages = I2C_RDWR_IOCTL_MAX_MSGS;
constexpr __u16 kMaxMessageBytes = 8192;

}  // namespace

int BenchI2cAdapter::openNode(const char* path) {
    if (openError != 0) return -openError;
    openedPath = path;
    open_ = true;
    return kDescriptor;
}

void BenchI2cAdapter::closeNode(int descriptor) {
    if (descriptor == kDescriptor) open_ = false;
}

I2cDevice* BenchI2cAdapter::addressed(std::uint8_t addressByte) {
    if (bench_.faults.noMonitor) return nullptr;
    if (bench_.monitorDevice().onAddress(addressByte)) return &bench_.monitorDevice();
    for (std::size_t slot = 0; slot < VirtualBench::kEepromSlots; ++slot) {
        if (bench_.eeprom(slot).onAddress(addressByte)) return &bench_.eeprom(slot);
    }
    return nullptr;
}

void BenchI2cAdapter::spendBytes(std::size_t count) {
    if (bench_.timing() == BenchTiming::Virtual) {
        bench_.clock().advanceNanoseconds(static_cast<std::int64_t>(count) * kByteNanoseconds);
    }
}

int BenchI2cAdapter::combinedTransfer(int descriptor, i2c_rdwr_ioctl_data& data) {
    if (descriptor != kDescriptor || !open_) return -EBADF;
    if (data.msgs == nullptr || data.nmsgs == 0 || data.nmsgs > kMaxMessages) return -EINVAL;
    for (__u32 i = 0; i < data.nmsgs; ++i) {
        const i2c_msg& message = data.msgs[i];
        if ((message.flags & ~I2C_M_RD) != 0 || message.len > kMaxMessageBytes || message.addr > 0x7F ||
            (message.len > 0 && message.buf == nullptr)) {
            return -EINVAL;
        }
    }
    ++transfers;
    if (transferError != 0) return -transferError;
    if (readError != 0) {
        for (__u32 i = 0; i < data.nmsgs; ++i) {
            if ((data.msgs[i].flags & I2C_M_RD) != 0) return -readError;
        }
    }
    if (bench_.faults.sdaLow) return -ETIMEDOUT;

    int result = static_cast<int>(data.nmsgs);
    I2cDevice* device = nullptr;
    for (__u32 i = 0; i < data.nmsgs && result >= 0; ++i) {
        const i2c_msg& message = data.msgs[i];
        if (device != nullptr) device->onEnd();  // repeated START
        const bool read = (message.flags & I2C_M_RD) != 0;
        spendBytes(1);
        device = addressed(static_cast<std::uint8_t>(message.addr << 1 | (read ? 1 : 0)));
        if (device == nullptr) {
            result = -ENXIO;
            break;
        }
        spendBytes(message.len);
        for (__u16 b = 0; b < message.len; ++b) {
            if (read) {
                message.buf[b] = device->onRead();
            } else if (!device->onWrite(message.buf[b])) {
                result = -EREMOTEIO;
                break;
            }
        }
    }
    if (device != nullptr) device->onEnd();  // STOP
    return result;
}

}  // namespace velmora::bench
