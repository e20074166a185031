#include "tools/edid_decoding_text.h"

#include "tools/edid_decoder.h"
#include "tools/edid_input.h"
#include "tools/edid_text.h"

namespace velmora::tools {

namespace {

std::string decodedOrReason(const EdidBytes& input, std::string_view source) {
    if (!input.ok) return std::string(source) + ": nothing to decode, " + input.refusal + "\n";
    const EdidDecoding decoding = decodeEdid(input.bytes);
    return std::string(source) + "\n\n" + edidText(*decoding.edid);
}

}  // namespace

std::string decodedDumpText(std::string_view dumpText) {
    constexpr std::string_view source = "EDID in the data box";
    if (dumpText.find_first_not_of(" \r\n") == std::string_view::npos) {
        return std::string(source) + ": nothing to decode, the box is empty; press Read EDID(DDC2B) first\n";
    }
    if (dumpText.find("XX") != std::string_view::npos) {
        return std::string(source) + ": nothing to decode, bytes marked XX could not be read\n";
    }
    return decodedOrReason(edidBytesFromContents(dumpText), source);
}

std::string decodedFileText(const std::string& path) {
    EdidBytes input = readEdidFile(path);
    // The refusal begins with the path already.
    if (!input.ok) return "Nothing to decode: " + input.refusal + "\n";
    return decodedOrReason(input, path);
}

}  // namespace velmora::tools
