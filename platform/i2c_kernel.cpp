#include "platform/i2c_kernel.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace velmora::platform {

int LinuxI2cKernel::openNode(const char* path) {
    const int descriptor = ::open(path, O_RDWR | O_NONBLOCK | O_CLOEXEC);
    return descriptor >= 0 ? descriptor : -errno;
}

int LinuxI2cKernel::combinedTransfer(int descriptor, i2c_rdwr_ioctl_data& data) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int result = ::ioctl(descriptor, I2C_RDWR, &data);
        if (result >= 0) return result;
        if (errno != EINTR) return -errno;
    }
    return -EINTR;
}

void LinuxI2cKernel::closeNode(int descriptor) {
    if (descriptor >= 0) ::close(descriptor);
}

}  // namespace velmora::platform
