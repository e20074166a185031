// Reads arbitrary bytes as an EDID file, then decodes them and renders the
// text and the JSON object the way velmora-jigctl does. Besides the
// sanitizers' findings, a descriptor text that is not UTF-8 (the JSON
// writer could not write it), an accepted input that then fails to decode
// or a broken bound aborts the run.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "tools/edid_decoder.h"
#include "tools/edid_input.h"
#include "tools/edid_json.h"
#include "tools/edid_text.h"

using namespace velmora::tools;

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

// Well-formed UTF-8 as the strict JSON writer takes it: no stray
// continuation byte, no overlong form, no surrogate, nothing past U+10FFFF.
bool isUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        unsigned char low = 0x80, high = 0xBF;  // range of the second byte
        if (lead < 0x80) {
            length = 1;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        } else {
            return false;
        }
        if (text.size() - i < length) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto byte = static_cast<unsigned char>(text[i + k]);
            if (byte < (k == 1 ? low : 0x80) || byte > (k == 1 ? high : 0xBF)) return false;
        }
        i += length;
    }
    return true;
}

bool absentOrUtf8(const std::optional<std::string>& text) { return !text || isUtf8(*text); }

// The JSON object is built and written for one input in four, chosen by its
// content so that a finding reproduces from the input alone: it costs more
// than decoding and the text together. Its texts are checked for every input.
void render(const DecodedEdid& edid, bool withJson) {
    require(edid.headerValid);
    require(edid.checksumValid == (edid.blockSum == 0));
    require(edid.standardTimings.size() <= 8);
    require(edid.establishedTimings.size() <= 17);
    require(edid.extensionTags.size() <= static_cast<std::size_t>(edid.extensionCount));
    require(!edid.displayName || edid.displayName->size() <= kEdidTextCapacity);
    require(!edid.displaySerial || edid.displaySerial->size() <= kEdidTextCapacity);
    require(!edidText(edid).empty());
    require(isUtf8(edid.manufacturer) && absentOrUtf8(edid.displayName) && absentOrUtf8(edid.displaySerial));
    for (const auto& text : edid.texts) require(isUtf8(text));
    if (!withJson) return;
    // The strict writer throws on text that is not UTF-8.
    const auto json = edidJson(edid);
    require(json.size() == 21);
    require(!json.dump().empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    std::uint8_t mix = 0;
    for (std::uint8_t byte : bytes) mix ^= byte;
    const bool withJson = (mix & 3) == 0;

    const EdidDecoding direct = decodeEdid(bytes);
    require(direct.edid.has_value() == direct.refusal.empty());
    if (direct.edid) render(*direct.edid, withJson);

    const EdidBytes input = edidBytesFromContents(std::string_view(reinterpret_cast<const char*>(data), size));
    require(input.ok == input.refusal.empty());
    require(input.bytes.size() <= kEdidBytesCapacity);
    if (!input.ok) return 0;
    // Raw bytes taken as they are were decoded and rendered above.
    if (std::equal(input.bytes.begin(), input.bytes.end(), bytes.begin(), bytes.end())) {
        require(direct.edid.has_value());
        return 0;
    }
    const EdidDecoding decoded = decodeEdid(input.bytes);
    require(decoded.edid.has_value());
    render(*decoded.edid, withJson);
    return 0;
}
