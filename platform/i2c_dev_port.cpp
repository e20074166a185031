#include "platform/i2c_dev_port.h"

#include <array>
#include <cerrno>
#include <cstring>

namespace velmora::platform {

I2cDevPort::~I2cDevPort() {
    if (descriptor_ >= 0) kernel_.closeNode(descriptor_);
}

int I2cDevPort::open(const std::string& path) {
    if (descriptor_ >= 0) kernel_.closeNode(descriptor_);
    path_ = path;
    const int result = kernel_.openNode(path.c_str());
    descriptor_ = result >= 0 ? result : -1;
    return result >= 0 ? 0 : -result;
}

int I2cDevPort::transfer(std::span<const I2cSegment> segments) {
    lastError_ = marshalAndTransfer(segments);
    return lastError_;
}

int I2cDevPort::marshalAndTransfer(std::span<const I2cSegment> segments) {
    if (descriptor_ < 0) return ENXIO;
    if (segments.empty() || segments.size() > kMaxSegments) return EINVAL;
    std::array<i2c_msg, kMaxSegments> messages{};
    for (std::size_t i = 0; i < segments.size(); ++i) {
        const I2cSegment& segment = segments[i];
        if (segment.bytes.size() > kMaxSegmentBytes || segment.address > 0x7F) return EINVAL;
        messages[i].addr = segment.address;
        messages[i].flags = segment.read ? I2C_M_RD : 0;
        messages[i].len = static_cast<__u16>(segment.bytes.size());
        messages[i].buf = segment.bytes.data();
    }
    i2c_rdwr_ioctl_data data{messages.data(), static_cast<__u32>(segments.size())};
    const int result = kernel_.combinedTransfer(descriptor_, data);
    if (result < 0) return -result;
    // A driver that stops early without an error still failed the rest.
    return static_cast<std::size_t>(result) == segments.size() ? 0 : EIO;
}

std::string describeI2cFailure(const std::string& path, int errorNumber) {
    std::string text = path + ": " + std::strerror(errorNumber) + ". ";
    switch (errorNumber) {
    case ENOENT:
    case ENODEV:
        text += "No such display channel; load the i2c-dev module (sudo modprobe i2c-dev) "
                "and see velmora-jigctl detect for the channels there are.";
        break;
    case EACCES:
    case EPERM:
        // The installed package's udev rule gives the logged-in user the
        // graphics cards' channels; a tree built by hand has no rule until
        // it is installed, and a remote login gets nothing from it.
        text += "The udev rule 70-velmora-jig-i2c.rules opens the graphics cards' display channels to the "
                "logged-in user once installed (sudo udevadm control --reload && sudo udevadm trigger); "
                "otherwise add your user to the i2c group (sudo groupadd -f i2c; sudo adduser $USER i2c; "
                "a udev rule KERNEL==\"i2c-[0-9]*\", GROUP=\"i2c\", MODE=\"0660\") and log in again.";
        break;
    case EBUSY:
    case EAGAIN:
        text += "The adapter is busy: another program or driver is using the display channel; try again.";
        break;
    case ENXIO:
    case EREMOTEIO:
    case EIO:
        text += "No monitor answers on this display channel; check the cable and that the monitor is on.";
        break;
    default:
        text += "The display channel cannot be used.";
        break;
    }
    return text;
}

}  // namespace velmora::platform
