#include "tools/replacing_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <utility>
#include <vector>

namespace velmora::tools {

std::optional<ReplacingFile> ReplacingFile::create(const std::string& path) {
    if (path.empty() || path.back() == '/') return std::nullopt;
    std::string pattern = path + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int descriptor = ::mkstemp(name.data());
    if (descriptor < 0) return std::nullopt;
    // A memory file is an ordinary document: give it the usual permissions
    // rather than mkstemp's private 0600.
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(descriptor, 0666 & ~mask);
    return ReplacingFile(path, std::string(name.data()), descriptor);
}

ReplacingFile::ReplacingFile(std::string path, std::string temporaryPath, int descriptor)
    : path_(std::move(path)), temporaryPath_(std::move(temporaryPath)), descriptor_(descriptor) {}

ReplacingFile::ReplacingFile(ReplacingFile&& other) noexcept
    : path_(std::move(other.path_)),
      temporaryPath_(std::move(other.temporaryPath_)),
      descriptor_(std::exchange(other.descriptor_, -1)) {}

ReplacingFile::~ReplacingFile() { discard(); }

void ReplacingFile::discard() {
    if (descriptor_ < 0) return;
    ::close(descriptor_);
    ::unlink(temporaryPath_.c_str());
    descriptor_ = -1;
}

bool ReplacingFile::commit(std::string_view text) {
    if (descriptor_ < 0) return false;
    const char* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        ssize_t written = ::write(descriptor_, data, left);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            discard();
            return false;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    const bool synced = ::fsync(descriptor_) == 0;
    const bool closed = ::close(descriptor_) == 0;
    descriptor_ = -1;
    if (!synced || !closed) {
        ::unlink(temporaryPath_.c_str());
        return false;
    }
    if (::rename(temporaryPath_.c_str(), path_.c_str()) != 0) {
        ::unlink(temporaryPath_.c_str());
        return false;
    }
    return true;
}

}  // namespace velmora::tools
