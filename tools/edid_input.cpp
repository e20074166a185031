#include "tools/edid_input.h"

#include <algorithm>

#include "platform/files.h"
#include "tools/edid_decoder.h"

namespace velmora::tools {

namespace {

// A hex text holds three characters for each byte at most ("FF "), and a
// little more for line breaks; anything longer is refused before it is read.
constexpr std::size_t kFileCapacity = 4 * kEdidBytesCapacity;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

EdidBytes refused(std::string reason) { return {false, {}, std::move(reason)}; }

}  // namespace

EdidBytes edidBytesFromContents(std::string_view contents) {
    const bool hexText =
        !contents.empty() && std::all_of(contents.begin(), contents.end(), [](char c) { return isBlank(c) || hexValue(c) >= 0; });
    EdidBytes result;
    if (hexText) {
        std::size_t i = 0;
        while (i < contents.size()) {
            if (isBlank(contents[i])) {
                ++i;
                continue;
            }
            if (i + 1 >= contents.size() || isBlank(contents[i + 1])) {
                return refused("the hex text has a lone digit after byte " + std::to_string(result.bytes.size()) +
                               "; write each byte as two hex digits");
            }
            if (result.bytes.size() == kEdidBytesCapacity) {
                return refused("more than " + std::to_string(kEdidBytesCapacity) + " bytes (256 blocks)");
            }
            result.bytes.push_back(static_cast<std::uint8_t>(hexValue(contents[i]) << 4 | hexValue(contents[i + 1])));
            i += 2;
        }
    } else {
        if (contents.size() > kEdidBytesCapacity) {
            return refused("more than " + std::to_string(kEdidBytesCapacity) + " bytes (256 blocks)");
        }
        result.bytes.assign(contents.begin(), contents.end());
    }
    const EdidDecoding decoding = decodeEdid(result.bytes);
    if (!decoding.edid) return refused(decoding.refusal);
    result.ok = true;
    return result;
}

EdidBytes readEdidFile(const std::string& path) {
    const platform::FileRead file = platform::readFilePrefix(path, kFileCapacity + 1);
    if (!file.ok) return refused(file.failure);
    if (file.bytes.size() > kFileCapacity) {
        return refused(path + ": longer than " + std::to_string(kFileCapacity) + " bytes, no EDID");
    }
    EdidBytes result = edidBytesFromContents(file.bytes);
    if (!result.ok) result.refusal = path + ": " + result.refusal;
    return result;
}

}  // namespace velmora::tools
