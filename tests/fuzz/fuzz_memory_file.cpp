// Reads arbitrary bytes as a memory image file, from text and from disk.
// Whatever the loader accepts must lie within the monitor's memory and
// write back, in upper case, to the very text it came from.
#include <unistd.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "tools/memory_file.h"
#include "tools/memory_image.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

// In memory where the machine offers it: the file system is not under test.
// Removed again when the run ends.
struct ScratchFile {
    ScratchFile()
        : path((::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + std::string("/fuzz_memory_file.") +
               std::to_string(::getpid()) + ".mem") {}
    ~ScratchFile() { std::remove(path.c_str()); }
    std::string path;
};

const std::string& scratchPath() {
    static const ScratchFile file;
    return file.path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora::tools;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const auto parsed = parseMemoryImage(text);
    if (const auto* image = std::get_if<MemoryImage>(&parsed)) {
        require(image->start >= 0 && image->start <= image->end && image->end <= kLastMemoryLocation);
        require(image->bytes.size() == static_cast<std::size_t>(image->end - image->start + 1));
        std::string upper(text);
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        require(formatMemoryImage(image->start, image->end, image->bytes) == upper);
    } else {
        require(!std::get<std::string>(parsed).empty());
    }

    // The file reader judges the same text the same way.
    if (std::FILE* file = std::fopen(scratchPath().c_str(), "wb")) {
        const bool written = std::fwrite(data, 1, size, file) == size;
        std::fclose(file);
        if (written) {
            const auto loaded = readMemoryFile(scratchPath());
            require(loaded.index() == parsed.index());
            if (const auto* image = std::get_if<MemoryImage>(&loaded)) {
                require(image->bytes == std::get<MemoryImage>(parsed).bytes);
            } else {
                require(std::get<std::string>(loaded) == std::get<std::string>(parsed));
            }
        }
    }
    return 0;
}
