#include "platform/replacing_file.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

namespace velmora::platform {

namespace {

// As many links as the kernel itself follows in one path.
constexpr int kMaxLinkHops = 40;
// Short, so it fits beside a target whose own name takes the whole NAME_MAX.
constexpr const char* kTemporaryPrefix = "/.velmora-";
constexpr int kNamingAttempts = 100;

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// The path with symbolic links in its last part followed (the folders on
// the way are resolved by the kernel at the rename); nothing for a loop or
// an unreadable link.
std::optional<std::string> followLinks(std::string path) {
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
        std::vector<char> buffer(PATH_MAX);
        const ssize_t length = ::readlink(path.c_str(), buffer.data(), buffer.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= buffer.size()) return std::nullopt;
        std::string next(buffer.data(), static_cast<std::size_t>(length));
        path = next.front() == '/' ? next : folderOf(path) + "/" + next;
    }
    return std::nullopt;
}

// 0, or the errno of the failed write or sync.
int writeAll(int descriptor, std::string_view text) {
    const char* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const ssize_t written = ::write(descriptor, data, left);
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) return errno;
        if (written == 0) return EIO;
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return ::fsync(descriptor) == 0 ? 0 : errno;
}

std::string candidateName(const std::string& folder) {
    static std::atomic<unsigned> counter{0};
    char suffix[16];
    const unsigned mixed = (static_cast<unsigned>(::getpid()) * 2654435761u) ^ (counter++ * 40503u);
    std::snprintf(suffix, sizeof suffix, "%06x", mixed & 0xFFFFFFu);
    return folder + kTemporaryPrefix + suffix;
}

std::vector<char> namePattern(const std::string& folder) {
    const std::string pattern = folder + kTemporaryPrefix + "XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    return name;
}

}  // namespace

std::optional<ReplacingFile> ReplacingFile::create(const std::string& path) {
    if (path.empty() || path.back() == '/') return std::nullopt;
    const auto target = followLinks(path);
    if (!target) return std::nullopt;

    // An existing target must be a file the user could write in place.
    std::optional<Attributes> existing;
    struct stat info {};
    if (::stat(target->c_str(), &info) == 0) {
        if (!S_ISREG(info.st_mode)) return std::nullopt;
        const int probe = ::open(target->c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (probe < 0) return std::nullopt;
        ::close(probe);
        existing = Attributes{static_cast<mode_t>(info.st_mode & 07777), info.st_uid, info.st_gid};
    } else if (errno != ENOENT) {
        return std::nullopt;
    }

    // The folder must take a new file.
    const std::string folder = folderOf(*target);
    const int unnamed = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (unnamed < 0) {
        // No nameless files here: try a named one, which goes again at once.
        auto name = namePattern(folder);
        const int named = ::mkstemp(name.data());
        if (named < 0) return std::nullopt;
        ::close(named);
        ::unlink(name.data());
    }
    return ReplacingFile(*target, folder, existing, unnamed);
}

ReplacingFile::ReplacingFile(std::string target, std::string folder, std::optional<Attributes> existing,
                             int unnamed)
    : target_(std::move(target)), folder_(std::move(folder)), existing_(existing), unnamed_(unnamed) {}

ReplacingFile::ReplacingFile(ReplacingFile&& other) noexcept
    : target_(std::move(other.target_)),
      folder_(std::move(other.folder_)),
      existing_(other.existing_),
      unnamed_(std::exchange(other.unnamed_, -1)),
      failureReason_(std::move(other.failureReason_)) {}

ReplacingFile::~ReplacingFile() {
    if (unnamed_ >= 0) ::close(unnamed_);
}

bool ReplacingFile::fail(int errorNumber) {
    failureReason_ = std::strerror(errorNumber);
    return false;
}

void ReplacingFile::applyAttributes(int descriptor) const {
    if (!existing_) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(descriptor, 0666 & ~mask);
        return;
    }
    // Owner and group first: changing them may clear set-id bits.
    // Where neither may be set by this process, the file becomes its own.
    [[maybe_unused]] const bool kept = ::fchown(descriptor, existing_->owner, existing_->group) == 0 ||
                                       ::fchown(descriptor, static_cast<uid_t>(-1), existing_->group) == 0;
    ::fchmod(descriptor, existing_->mode);
}

bool ReplacingFile::nameUnnamed(std::string& temporaryPath) {
    const std::string self = "/proc/self/fd/" + std::to_string(unnamed_);
    for (int attempt = 0; attempt < kNamingAttempts; ++attempt) {
        temporaryPath = candidateName(folder_);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temporaryPath.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
        if (errno != EEXIST) break;
    }
    temporaryPath.clear();
    return false;
}

bool ReplacingFile::writeNamedCopy(std::string_view text, std::string& temporaryPath) {
    auto name = namePattern(folder_);
    const int descriptor = ::mkstemp(name.data());
    if (descriptor < 0) return fail(errno);
    temporaryPath = name.data();
    applyAttributes(descriptor);
    int error = writeAll(descriptor, text);
    if (::close(descriptor) != 0 && error == 0) error = errno;
    if (error != 0) {
        ::unlink(temporaryPath.c_str());
        return fail(error);
    }
    return true;
}

bool ReplacingFile::commit(std::string_view text) {
    if (target_.empty()) return fail(EBADF);
    std::string temporaryPath;
    if (unnamed_ >= 0) {
        applyAttributes(unnamed_);
        const int error = writeAll(unnamed_, text);
        const bool named = error == 0 && nameUnnamed(temporaryPath);
        ::close(std::exchange(unnamed_, -1));
        if (error != 0) return fail(error);
        // Without /proc the nameless file cannot be given a name: write a
        // named copy instead.
        if (!named && !writeNamedCopy(text, temporaryPath)) return false;
    } else if (!writeNamedCopy(text, temporaryPath)) {
        return false;
    }
    if (::rename(temporaryPath.c_str(), target_.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporaryPath.c_str());
        return fail(error);
    }
    return true;
}

}  // namespace velmora::platform
