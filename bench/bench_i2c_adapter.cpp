#include "bench/bench_i2c_adapter.h"

#include <algorithm>
#include <cerrno>

namespace velmora::bench {

namespace {

// Per message, as i2c-dev takes them.
constexpr __u32 kMaxMessages = I2C_RDWR_IOCTL_MAX_MSGS;
constexpr __u16 kMaxMessageBytes = 8192;
constexpr __u16 kSegmentPointer = 0x30;
constexpr __u16 kEdidDevice = 0x50;

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

int BenchI2cAdapter::adapterFunctions(int descriptor, unsigned long& reported) {
    if (descriptor != kDescriptor || !open_) return -EBADF;
    reported = functions;
    return 0;
}

int BenchI2cAdapter::lockNode(int descriptor, std::int32_t) {
    if (descriptor != kDescriptor || !open_) return -EBADF;
    return lockHeldBy.empty() ? 0 : -EWOULDBLOCK;
}

std::string BenchI2cAdapter::lockHolder(int) { return lockHeldBy; }

int BenchI2cAdapter::setSlaveAddress(int descriptor, std::uint8_t address) {
    if (descriptor != kDescriptor || !open_) return -EBADF;
    if (address > 0x7F) return -EINVAL;
    if (slaveAddressError != 0) return -slaveAddressError;
    slaveAddress_ = address;
    return 0;
}

int BenchI2cAdapter::writeBytes(int descriptor, const std::uint8_t* bytes, std::size_t count) {
    if (descriptor != kDescriptor || !open_) return -EBADF;
    if (count > kMaxMessageBytes) return -EINVAL;
    // write() hands the driver a message it does not change.
    i2c_msg message{slaveAddress_, 0, static_cast<__u16>(count), const_cast<std::uint8_t*>(bytes)};
    const int result = runMessages(&message, 1);
    return result < 0 ? result : static_cast<int>(count);
}

int BenchI2cAdapter::readBytes(int descriptor, std::uint8_t* bytes, std::size_t count) {
    if (descriptor != kDescriptor || !open_) return -EBADF;
    if (count > kMaxMessageBytes) return -EINVAL;
    i2c_msg message{slaveAddress_, I2C_M_RD, static_cast<__u16>(count), bytes};
    const int result = runMessages(&message, 1);
    return result < 0 ? result : static_cast<int>(count);
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
    if (combinedRefused) return -EINVAL;
    return runMessages(data.msgs, data.nmsgs);
}

int BenchI2cAdapter::runMessages(i2c_msg* messages, __u32 count) {
    ++transfers;
    if (transferError != 0) return -transferError;
    if (readError != 0) {
        for (__u32 i = 0; i < count; ++i) {
            if ((messages[i].flags & I2C_M_RD) != 0) return -readError;
        }
    }
    if (bench_.faults.sdaLow) return -ETIMEDOUT;

    int result = static_cast<int>(count);
    I2cDevice* device = nullptr;
    segment_ = 0;  // the segment pointer resets at every STOP
    for (__u32 i = 0; i < count; ++i) {
        if (device != nullptr) device->onEnd();  // repeated START
        device = nullptr;
        if (const int error = transferMessage(messages[i], device); error != 0) {
            result = -error;
            break;
        }
    }
    if (device != nullptr) device->onEnd();  // STOP
    segment_ = 0;
    return result;
}

int BenchI2cAdapter::transferMessage(const i2c_msg& message, I2cDevice*& device) {
    const bool read = (message.flags & I2C_M_RD) != 0;
    if (record.size() == kRecordCapacity) record.pop_front();
    record.push_back({static_cast<std::uint8_t>(message.addr), read, {}});
    std::vector<std::uint8_t>& recorded = record.back().bytes;
    spendBytes(1);

    if (message.addr == kSegmentPointer && !read && !edidSegments.empty() && !bench_.faults.noMonitor) {
        spendBytes(message.len);
        if (message.len > 0) segment_ = message.buf[0];
        recorded.assign(message.buf, message.buf + message.len);
        return 0;
    }
    if (message.addr == kEdidDevice && segment_ > 0) {
        // Segments above 0 come from the table; one nobody has is not acknowledged.
        if (static_cast<std::size_t>(segment_) > edidSegments.size()) return ENXIO;
        auto& bytes = edidSegments[static_cast<std::size_t>(segment_ - 1)];
        spendBytes(message.len);
        for (__u16 b = 0; b < message.len; ++b) {
            if (read) message.buf[b] = bytes[segmentOffset_++];
            else if (b == 0) segmentOffset_ = message.buf[b];
        }
        recorded.assign(message.buf, message.buf + message.len);
        return 0;
    }

    device = addressed(static_cast<std::uint8_t>(message.addr << 1 | (read ? 1 : 0)));
    if (device == nullptr) {
        if (!read || !absentReadsOnes) return ENXIO;
        // Some adapters report no missing acknowledge on a read: the lines
        // float high and every byte reads FFh.
        spendBytes(message.len);
        std::fill(message.buf, message.buf + message.len, 0xFF);
        recorded.assign(message.buf, message.buf + message.len);
        return 0;
    }
    spendBytes(message.len);
    for (__u16 b = 0; b < message.len; ++b) {
        if (read) {
            message.buf[b] = device->onRead();
        } else if (!device->onWrite(message.buf[b])) {
            recorded.assign(message.buf, message.buf + b + 1);
            return EREMOTEIO;
        }
    }
    recorded.assign(message.buf, message.buf + message.len);
    return 0;
}

}  // namespace velmora::bench
