#pragma once
#include <string>

#include "tools/edid_decoder.h"

namespace velmora::tools {

// A decoded EDID block as text for the technician, lines ended by LF:
// identity, basic parameters, colour, the timings, the descriptors one by
// one, then the name, serial and limits gathered from them. A wrong
// checksum is said in the second line.
[[nodiscard]] std::string edidText(const DecodedEdid& edid);

// Name of an extension block's tag (byte 0 of the block).
[[nodiscard]] std::string edidExtensionName(std::uint8_t tag);

}  // namespace velmora::tools
