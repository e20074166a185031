#pragma once
#include <string>
#include <variant>

#include "tools/memory_image.h"

namespace velmora::tools {

// Opens a memory image file and reads it: the image, or the message that
// refuses it ("Can't Open File : name" for what cannot be opened or is not a
// regular file, "This is not a memory File." for a file longer than any
// memory image, told from no more than its first bytes, or the format's own
// refusals).
std::variant<MemoryImage, std::string> readMemoryFile(const std::string& path);

}  // namespace velmora::tools
