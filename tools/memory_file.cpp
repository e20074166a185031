#include "tools/memory_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "tools/memory_dialog_common.h"

namespace velmora::tools {

namespace {

class Descriptor {
public:
    // Non-blocking, so that a named pipe or a device cannot hold the open;
    // anything but a regular file is then refused.
    explicit Descriptor(const std::string& path)
        : fd_(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    [[nodiscard]] int fd() const { return fd_; }

private:
    int fd_;
};

}  // namespace

std::variant<MemoryImage, std::string> readMemoryFile(const std::string& path) {
    Descriptor file(path);
    struct stat info {};
    if (file.fd() < 0 || ::fstat(file.fd(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return cantOpenFileText(path);
    }
    if (info.st_size > static_cast<off_t>(kMaxMemoryFileLength)) return std::string(kNotAMemoryFile);

    std::string text(kMaxMemoryFileLength + 1, '\0');
    std::size_t length = 0;
    // Reads to the end: a file that grew since fstat is still judged whole.
    while (length < text.size()) {
        const ssize_t got = ::read(file.fd(), text.data() + length, text.size() - length);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return cantOpenFileText(path);
        if (got == 0) break;
        length += static_cast<std::size_t>(got);
    }
    text.resize(length);
    return parseMemoryImage(text);
}

}  // namespace velmora::tools
