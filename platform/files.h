#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::platform {

// The program's own directory (where it looks for its model files), taken
// from /proc/self/exe and ending in '/'. Empty if the link cannot be read.
std::string programDirectory();

// Names (without directory) of the regular files in `directory` whose name
// ends in `extension` (compared without regard to case, e.g. ".mdl"), in the
// order the directory enumeration returns them. Empty if the directory
// cannot be read.
std::vector<std::string> listFilesWithExtension(const std::string& directory,
                                                std::string_view extension);

// Outcome of reading a file: `ok` with the bytes, or the reason it failed.
struct FileRead {
    bool ok = false;
    std::string bytes;
    std::string failure;
};

// The whole file. Fails for a file that cannot be opened, is not a regular
// file, or delivers fewer bytes than its size.
[[nodiscard]] FileRead readWholeFile(const std::string& path);

// At most the first `count` bytes of a regular file (fewer if it is shorter).
[[nodiscard]] FileRead readFilePrefix(const std::string& path, std::size_t count);

}  // namespace velmora::platform
