#include "platform/files.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora::platform {

namespace {

// Owns one POSIX descriptor for the length of a read.
class OpenFile {
public:
    // Non-blocking, so that a named pipe or a device cannot hold the open;
    // the readers accept regular files only.
    explicit OpenFile(const std::string& path)
        : fd_(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)) {}
    ~OpenFile() {
        if (fd_ >= 0) ::close(fd_);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

std::string describeErrno(const std::string& path, const char* what) {
    return path + ": " + what + ": " + std::strerror(errno);
}

// Reads up to `wanted` bytes, retrying short reads and interrupted calls.
// Returns -1 when the read itself fails (a directory, an I/O error).
long long readUpTo(int fd, char* buffer, std::size_t wanted) {
    std::size_t done = 0;
    while (done < wanted) {
        const ssize_t got = ::read(fd, buffer + done, wanted - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return -1;
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    return static_cast<long long>(done);
}

bool endsWithIgnoringCase(std::string_view text, std::string_view tail) {
    if (text.size() < tail.size()) return false;
    const std::string_view end = text.substr(text.size() - tail.size());
    for (std::size_t i = 0; i < tail.size(); ++i) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(end[i]) != lower(tail[i])) return false;
    }
    return true;
}

}  // namespace

std::string programDirectory() {
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return {};
    std::string directory = exe.parent_path().string();
    if (directory.empty() || directory.back() != '/') directory += '/';
    return directory;
}

std::vector<std::string> listFilesWithExtension(const std::string& directory,
                                                std::string_view extension) {
    std::vector<std::string> names;
    std::error_code error;
    std::filesystem::directory_iterator it(directory.empty() ? "." : directory, error);
    if (error) return names;
    for (const auto& entry : it) {
        std::error_code typeError;
        if (!entry.is_regular_file(typeError)) continue;
        std::string name = entry.path().filename().string();
        if (name.size() > extension.size() && endsWithIgnoringCase(name, extension)) {
            names.push_back(std::move(name));
        }
    }
    return names;
}

FileRead readWholeFile(const std::string& path) {
    FileRead result;
    OpenFile file(path);
    if (file.fd() < 0) {
        result.failure = describeErrno(path, "cannot open");
        return result;
    }
    struct stat info {};
    if (::fstat(file.fd(), &info) != 0) {
        result.failure = describeErrno(path, "cannot get its size");
        return result;
    }
    if (!S_ISREG(info.st_mode)) {
        result.failure = path + ": not a regular file";
        return result;
    }
    const auto size = static_cast<std::size_t>(info.st_size);
    try {
        result.bytes.resize(size);
    } catch (const std::bad_alloc&) {
        result.failure = path + ": no memory for " + std::to_string(size) + " bytes";
        return result;
    }
    if (readUpTo(file.fd(), result.bytes.data(), size) != static_cast<long long>(size)) {
        result.bytes.clear();
        result.failure = path + ": read fewer bytes than its size";
        return result;
    }
    result.ok = true;
    return result;
}

FileRead readFilePrefix(const std::string& path, std::size_t count) {
    FileRead result;
    OpenFile file(path);
    if (file.fd() < 0) {
        result.failure = describeErrno(path, "cannot open");
        return result;
    }
    struct stat info {};
    if (::fstat(file.fd(), &info) != 0 || !S_ISREG(info.st_mode)) {
        result.failure = path + ": not a regular file";
        return result;
    }
    result.bytes.resize(count);
    const long long got = readUpTo(file.fd(), result.bytes.data(), count);
    if (got < 0) {
        result.bytes.clear();
        result.failure = describeErrno(path, "cannot read");
        return result;
    }
    result.bytes.resize(static_cast<std::size_t>(got));
    result.ok = true;
    return result;
}

}  // namespace velmora::platform
