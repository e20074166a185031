#include "platform/i2c_dev_port.h"

#include <array>
#include <cerrno>
#include <cstring>

namespace velmora::platform {

I2cDevPort::~I2cDevPort() { closeNode(); }

void I2cDevPort::closeNode() {
    if (descriptor_ >= 0) kernel_.closeNode(descriptor_);
    descriptor_ = -1;
}

int I2cDevPort::open(const std::string& path, std::int32_t lockWaitMs) {
    closeNode();
    path_ = path;
    lockHolder_.clear();
    plainReadWrite_ = false;
    const int result = kernel_.openNode(path.c_str());
    if (result < 0) return -result;
    descriptor_ = result;
    if (const int locked = kernel_.lockNode(descriptor_, lockWaitMs); locked < 0) {
        if (-locked == EWOULDBLOCK) lockHolder_ = kernel_.lockHolder(descriptor_);
        closeNode();
        return -locked;
    }
    // Asked before anything is sent: an SMBus controller takes only SMBus
    // commands, and a write to one may reach a memory module's SPD or a
    // power controller.
    unsigned long functions = 0;
    if (const int asked = kernel_.adapterFunctions(descriptor_, functions); asked < 0 || (functions & I2C_FUNC_I2C) == 0) {
        closeNode();
        return asked < 0 && asked != -ENOTTY ? -asked : EOPNOTSUPP;
    }
    return 0;
}

int I2cDevPort::transfer(std::span<const I2cSegment> segments) {
    lastError_ = plainReadWrite_ ? transferByReadWrite(segments) : marshalAndTransfer(segments);
    if (lastError_ == EINVAL && !plainReadWrite_ && descriptor_ >= 0) {
        // The driver refuses combined transfers (the NVIDIA proprietary
        // driver does): from now on each message goes through I2C_SLAVE and
        // read()/write(), which it takes.
        const int plain = transferByReadWrite(segments);
        if (plain != ENOTTY && plain != EINVAL) {
            plainReadWrite_ = true;
            lastError_ = plain;
        }
    }
    return lastError_;
}

int I2cDevPort::transferByReadWrite(std::span<const I2cSegment> segments) {
    if (descriptor_ < 0) return ENXIO;
    if (segments.empty() || segments.size() > kMaxSegments) return EINVAL;
    for (const I2cSegment& segment : segments) {
        if (segment.bytes.size() > kMaxSegmentBytes || segment.address > 0x7F) return EINVAL;
        // I2C_SLAVE is refused with EBUSY while a kernel driver (ddcci)
        // has claimed the address.
        if (const int chosen = kernel_.setSlaveAddress(descriptor_, segment.address); chosen < 0) return -chosen;
        const int done = segment.read ? kernel_.readBytes(descriptor_, segment.bytes.data(), segment.bytes.size())
                                      : kernel_.writeBytes(descriptor_, segment.bytes.data(), segment.bytes.size());
        if (done < 0) return -done;
        if (static_cast<std::size_t>(done) != segment.bytes.size()) return EIO;
    }
    return 0;
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

std::string describeI2cFailure(const std::string& path, int errorNumber, const std::string& holder) {
    std::string text = path + ": " + std::strerror(errorNumber) + ". ";
    switch (errorNumber) {
    case EWOULDBLOCK:
        text += "The display channel is in use by " + (holder.empty() ? std::string("another program") : holder) +
                "; close it, or wait for it with --wait-for-channel.";
        break;
    case EOPNOTSUPP:
        text += "This adapter is not a display channel (it cannot do plain I2C transfers, as an SMBus cannot); "
                "see velmora-jigctl detect for the graphics card's channels.";
        break;
    case ETIMEDOUT:
        text += "The bus is stuck (a line held low); switch the monitor off and on, or unplug and replug its cable.";
        break;
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
        text += "A kernel driver holds the monitor's DDC/CI address (the ddcci module: sudo modprobe -r ddcci_backlight ddcci), "
                "or another program is using the display channel; try again.";
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
