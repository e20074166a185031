#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace velmora::platform {

// Writes a file so that the chosen path only ever holds its old contents or
// the complete new ones: the text goes to a temporary file in the target's
// folder, which replaces the target in one rename.
//
// It writes only where the user could write directly: an existing target
// must be a regular file the user may open for writing, and the folder must
// take a new file. A symbolic link is followed, so the file it points to
// gets the text and the link stays. The replaced file keeps its permission
// bits, and its owner and group where the process may set them.
//
// The temporary file has no name while the text is prepared (where the file
// system allows), so a process that is killed leaves nothing behind; it is
// named, with a short name that fits beside any target, only for the moment
// of the rename. A ReplacingFile that is never committed, or whose commit
// fails, leaves the target as it was and no file of its own.
class ReplacingFile {
public:
    // Checks the target and prepares the temporary file; nothing when the
    // target cannot be written (no such folder, a folder or other non-file,
    // a file or folder the user may not write).
    static std::optional<ReplacingFile> create(const std::string& path);

    ReplacingFile(ReplacingFile&& other) noexcept;
    ReplacingFile& operator=(ReplacingFile&&) = delete;
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;
    ~ReplacingFile();

    // Writes the whole text and renames it over the target. On failure the
    // reason (for example "No space left on device") is in failureReason().
    [[nodiscard]] bool commit(std::string_view text);
    [[nodiscard]] const std::string& failureReason() const { return failureReason_; }

    // The file that is replaced: the chosen path with symbolic links followed.
    [[nodiscard]] const std::string& target() const { return target_; }

private:
    struct Attributes {
        mode_t mode;
        uid_t owner;
        gid_t group;
    };

    ReplacingFile(std::string target, std::string folder, std::optional<Attributes> existing, int unnamed);
    bool fail(int errorNumber);
    void applyAttributes(int descriptor) const;
    bool writeNamedCopy(std::string_view text, std::string& temporaryPath);
    bool nameUnnamed(std::string& temporaryPath);

    std::string target_;
    std::string folder_;
    std::optional<Attributes> existing_;
    int unnamed_ = -1;  // the nameless temporary file, or -1 when the file system has none
    std::string failureReason_;
};

}  // namespace velmora::platform
