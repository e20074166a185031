// Reads arbitrary bytes as an EDID file, then decodes them and renders the
// text and the JSON object the way velmora-jigctl does. Besides the
// sanitizers' findings, a JSON text that cannot be written (a character
// outside UTF-8 from a descriptor), an accepted input that then fails to
// decode or a broken bound aborts the run.
#include <cstdint>
#include <cstdlib>
#include <span>
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

void render(const DecodedEdid& edid) {
    require(edid.headerValid);
    require(edid.checksumValid == (edid.blockSum == 0));
    require(edid.standardTimings.size() <= 8);
    require(edid.establishedTimings.size() <= 17);
    require(edid.extensionTags.size() <= static_cast<std::size_t>(edid.extensionCount));
    require(!edid.displayName || edid.displayName->size() <= kEdidTextCapacity);
    require(!edid.displaySerial || edid.displaySerial->size() <= kEdidTextCapacity);
    require(!edidText(edid).empty());
    // The strict writer throws on text that is not UTF-8.
    const auto json = edidJson(edid);
    require(json.size() == 21);
    require(!json.dump().empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const EdidDecoding direct = decodeEdid(bytes);
    require(direct.edid.has_value() == direct.refusal.empty());
    if (direct.edid) render(*direct.edid);

    const EdidBytes input = edidBytesFromContents(std::string_view(reinterpret_cast<const char*>(data), size));
    require(input.ok == input.refusal.empty());
    require(input.bytes.size() <= kEdidBytesCapacity);
    if (input.ok) {
        const EdidDecoding decoded = decodeEdid(input.bytes);
        require(decoded.edid.has_value());
        render(*decoded.edid);
    }
    return 0;
}
