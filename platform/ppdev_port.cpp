#include "platform/ppdev_port.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace velmora::platform {

std::string describePortFailure(const std::string& devicePath, int errorNumber) {
    std::string text = devicePath + ": " +
                       (errorNumber == ETIMEDOUT
                            ? "the port was not free within " + std::to_string(kPortClaimLimit.count()) + " ms"
                            : std::string(std::strerror(errorNumber))) +
                       ". ";
    switch (errorNumber) {
    case EACCES:
    case EPERM:
        text += "Add your user to the lp group (sudo adduser $USER lp) and log in again.";
        break;
    case ENOENT:
    case ENODEV:
    case ENXIO:
        text += "No parallel port found; load the parport_pc and ppdev modules.";
        break;
    case EBUSY:
    case ETIMEDOUT:
        text += "Another program holds the port: close it (another velmora-jig or velmora-jigctl, or a printer "
                "driver such as lp: sudo rmmod lp) and start again.";
        break;
    default:
        text += "The port cannot be used.";
        break;
    }
    return text + " Working as if no interface board were connected.";
}

PpdevPort::PpdevPort(std::string devicePath, std::ostream& diagnostics, Claim claim,
                     std::chrono::milliseconds claimLimit)
    : devicePath_(std::move(devicePath)), diagnostics_(diagnostics) {
    descriptor_ = ::open(devicePath_.c_str(), O_RDWR | O_CLOEXEC);
    if (descriptor_ < 0) {
        reportOnce("open", errno);
        return;
    }
    if (!claim) claim = [](int descriptor) { return ::ioctl(descriptor, PPCLAIM); };
    const int descriptor = descriptor_;
    // PPCLAIM sleeps for as long as another program holds the port.
    const int error = claimWithin([claim, descriptor] { return claim(descriptor); }, claimLimit);
    if (error != 0) {
        ::close(descriptor_);
        descriptor_ = -1;
        reportOnce("claim", error);
        return;
    }
    claimed_ = true;
}

PpdevPort::~PpdevPort() {
    if (descriptor_ < 0) return;
    if (claimed_) ::ioctl(descriptor_, PPRELEASE);
    ::close(descriptor_);
}

void PpdevPort::reportOnce(const std::string& what, int errorNumber) {
    if (reported_) return;
    reported_ = true;
    diagnostics_ << "velmora: cannot " << what << " the parallel port "
                 << describePortFailure(devicePath_, errorNumber) << '\n';
}

std::uint8_t PpdevPort::read8(std::uint16_t port) {
    if (port != kStatusPort || descriptor_ < 0) return kStatusWithoutBoard;
    unsigned char status = 0;
    if (::ioctl(descriptor_, PPRSTATUS, &status) != 0) {
        reportOnce("read", errno);
        return kStatusWithoutBoard;
    }
    return status;
}

void PpdevPort::write8(std::uint16_t port, std::uint8_t value) {
    if (port != kDataPort || descriptor_ < 0) return;
    unsigned char data = value;
    if (::ioctl(descriptor_, PPWDATA, &data) != 0) reportOnce("write", errno);
}

}  // namespace velmora::platform
