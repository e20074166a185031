#include "platform/i2c_kernel.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace velmora::platform {

namespace {

// A call interrupted by a signal is made once more; a second interruption
// is reported (as EINTR) rather than looped on.
template <typename Call>
int retriedOnce(Call call) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        const auto result = call();
        if (result >= 0) return static_cast<int>(result);
        if (errno != EINTR) return -errno;
    }
    return -EINTR;
}

constexpr std::int32_t kLockPollMs = 100;

}  // namespace

int LinuxI2cKernel::openNode(const char* path) {
    const int descriptor = ::open(path, O_RDWR | O_NONBLOCK | O_CLOEXEC);
    return descriptor >= 0 ? descriptor : -errno;
}

int LinuxI2cKernel::combinedTransfer(int descriptor, i2c_rdwr_ioctl_data& data) {
    return retriedOnce([&] { return ::ioctl(descriptor, I2C_RDWR, &data); });
}

void LinuxI2cKernel::closeNode(int descriptor) {
    if (descriptor >= 0) ::close(descriptor);
}

int LinuxI2cKernel::adapterFunctions(int descriptor, unsigned long& functions) {
    functions = 0;
    return ::ioctl(descriptor, I2C_FUNCS, &functions) >= 0 ? 0 : -errno;
}

int LinuxI2cKernel::lockNode(int descriptor, std::int32_t waitMs) {
    // Bounded: the lock is tried every 100 ms until waitMs have passed.
    for (std::int32_t waited = 0;; waited += kLockPollMs) {
        if (::flock(descriptor, LOCK_EX | LOCK_NB) == 0) return 0;
        const int error = errno;
        if (error != EWOULDBLOCK && error != EINTR) return -error;
        if (waited >= waitMs) return -EWOULDBLOCK;
        const timespec pause{0, kLockPollMs * 1'000'000L};
        ::nanosleep(&pause, nullptr);
    }
}

std::string LinuxI2cKernel::lockHolder(int descriptor) {
    // /proc/locks names the holder of each lock by PID and by the locked
    // file's device and inode: "1: FLOCK  ADVISORY  WRITE 1234 00:05:321 0 EOF".
    struct stat node {};
    if (::fstat(descriptor, &node) != 0) return {};
    char key[64];
    std::snprintf(key, sizeof key, "%02x:%02x:%ju", major(node.st_dev), minor(node.st_dev),
                  static_cast<std::uintmax_t>(node.st_ino));
    std::ifstream locks("/proc/locks");
    std::string line;
    const long self = static_cast<long>(::getpid());
    for (int lines = 0; lines < 10000 && std::getline(locks, line); ++lines) {
        std::istringstream fields(line);
        std::string number, kind, advisory, mode, pid, file;
        if (!(fields >> number >> kind >> advisory >> mode >> pid >> file)) continue;
        if (kind != "FLOCK" || file != key || pid == std::to_string(self)) continue;
        std::ifstream comm("/proc/" + pid + "/comm");
        std::string program;
        std::getline(comm, program);
        return "PID " + pid + (program.empty() ? std::string() : " (" + program + ")");
    }
    return {};
}

int LinuxI2cKernel::setSlaveAddress(int descriptor, std::uint8_t address) {
    return ::ioctl(descriptor, I2C_SLAVE, static_cast<unsigned long>(address)) >= 0 ? 0 : -errno;
}

int LinuxI2cKernel::writeBytes(int descriptor, const std::uint8_t* bytes, std::size_t count) {
    return retriedOnce([&] { return ::write(descriptor, bytes, count); });
}

int LinuxI2cKernel::readBytes(int descriptor, std::uint8_t* bytes, std::size_t count) {
    return retriedOnce([&] { return ::read(descriptor, bytes, count); });
}

}  // namespace velmora::platform
