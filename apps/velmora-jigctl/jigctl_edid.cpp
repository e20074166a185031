#include "apps/velmora-jigctl/jigctl_edid.h"

#include <unistd.h>

#include <cerrno>

#include "apps/velmora-jigctl/jigctl_commands.h"
#include "tools/edid_decoder.h"
#include "tools/edid_input.h"
#include "tools/edid_json.h"
#include "tools/edid_text.h"

namespace velmora::apps::jigctl {

using namespace velmora::tools;

namespace {

// A hex text of the largest EDID the decoder keeps, with generous blanks.
constexpr std::size_t kEdidInputLimit = kEdidBytesCapacity * 4;

}  // namespace

std::optional<std::string> readStandardInput(std::size_t limit) {
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return std::nullopt;
        if (got == 0) return text;
        if (text.size() + static_cast<std::size_t>(got) > limit) return std::nullopt;
        text.append(buffer, static_cast<std::size_t>(got));
    }
}

int printDecodedEdid(std::string_view what, std::span<const std::uint8_t> bytes, nlohmann::json* json,
                     std::ostream& out, std::ostream& err) {
    const EdidDecoding decoding = decodeEdid(bytes);
    if (!decoding.edid) {
        err << "velmora-jigctl: " << what << ": " << decoding.refusal << "\n";
        return kExitUsage;
    }
    if (json != nullptr) {
        *json = edidJson(*decoding.edid);
    } else {
        out << edidText(*decoding.edid);
    }
    return kExitSuccess;
}

int decodeEdidFile(const Invocation& invocation, nlohmann::json* json, std::ostream& out, std::ostream& err) {
    EdidBytes input;
    if (invocation.file == kStandardStream) {
        const auto text = readStandardInput(kEdidInputLimit);
        if (!text) {
            err << "velmora-jigctl: decode-edid: standard input: cannot be read, or holds more than "
                << kEdidInputLimit << " bytes\n";
            return kExitUsage;
        }
        input = edidBytesFromContents(*text);
        if (!input.ok) input.refusal = "standard input: " + input.refusal;
    } else {
        input = readEdidFile(invocation.file);
    }
    if (!input.ok) {
        err << "velmora-jigctl: decode-edid: " << input.refusal << "\n";
        return kExitUsage;
    }
    return printDecodedEdid("decode-edid", input.bytes, json, out, err);
}

bool loadBenchEdid(bench::VirtualBench& bench, const std::string& path, std::ostream& err) {
    EdidBytes input;
    if (path == kStandardStream) {
        const auto text = readStandardInput(kEdidInputLimit);
        input = text ? edidBytesFromContents(*text) : EdidBytes{false, {}, "more than the largest EDID"};
        if (!input.ok) input.refusal = "standard input: " + input.refusal;
    } else {
        input = readEdidFile(path);
    }
    if (!input.ok) {
        err << "velmora-jigctl: --bench-edid: " << input.refusal << "\n";
        return false;
    }
    bench.eeprom(0).load(input.bytes);
    return true;
}

}  // namespace velmora::apps::jigctl
