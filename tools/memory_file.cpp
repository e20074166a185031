#include "tools/memory_file.h"

#include "platform/files.h"
#include "tools/memory_dialog_common.h"

namespace velmora::tools {

std::variant<MemoryImage, std::string> readMemoryFile(const std::string& path) {
    // One byte past the longest image is enough to refuse a longer file, so
    // a large file (or one still growing) is never read whole.
    const platform::FileRead file = platform::readFilePrefix(path, kMaxMemoryFileLength + 1);
    if (!file.ok) return cantOpenFileText(path);
    return parseMemoryImage(file.bytes);
}

}  // namespace velmora::tools
