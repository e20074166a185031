#pragma once
#include <string>
#include <string_view>

namespace velmora::tools {

// What the EDID window of the Memory & Edid window shows: the decoded text
// of the bytes in the data box (after "Read EDID(DDC2B)" the block read),
// or of an EDID file; when the bytes are no EDID, one line saying why.

// The data box's text: rows of "%02X " cells. A grid with unread cells
// ("XX") or an empty box has nothing to decode.
[[nodiscard]] std::string decodedDumpText(std::string_view dumpText);

// A raw or hex EDID file, as velmora-jigctl decode-edid reads it.
[[nodiscard]] std::string decodedFileText(const std::string& path);

}  // namespace velmora::tools
