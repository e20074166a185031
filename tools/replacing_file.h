#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace velmora::tools {

// Writes a file so that the chosen path only ever holds its old contents or
// the complete new ones: the text goes to a temporary file in the same folder,
// which replaces the chosen name in one rename. A ReplacingFile that is never
// committed leaves no trace and leaves the chosen path as it was.
class ReplacingFile {
public:
    // Creates the temporary file beside `path`; nothing when that is impossible
    // (no such folder, no permission).
    static std::optional<ReplacingFile> create(const std::string& path);

    ReplacingFile(ReplacingFile&& other) noexcept;
    ReplacingFile& operator=(ReplacingFile&&) = delete;
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;
    ~ReplacingFile();

    // Writes the whole text and renames it over the chosen path.
    [[nodiscard]] bool commit(std::string_view text);

private:
    ReplacingFile(std::string path, std::string temporaryPath, int descriptor);
    void discard();

    std::string path_;
    std::string temporaryPath_;
    int descriptor_ = -1;
};

}  // namespace velmora::tools
