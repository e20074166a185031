#include "apps/velmora-jigctl/jigctl_edid.h"

#include <algorithm>

#include "apps/velmora-jigctl/jigctl_commands.h"
#include "tools/edid_decoder.h"
#include "tools/edid_input.h"
#include "tools/edid_json.h"
#include "tools/edid_text.h"

namespace velmora::apps::jigctl {

using namespace velmora::tools;

namespace {

bool take(std::vector<std::string>& arguments, const std::string& flag) {
    const auto found = std::find(arguments.begin(), arguments.end(), flag);
    if (found == arguments.end()) return false;
    arguments.erase(found);
    return true;
}

}  // namespace

std::string takeEdidFlags(std::vector<std::string>& commandArguments, Invocation& invocation) {
    const bool edid = invocation.command == Command::Edid;
    if (edid || invocation.command == Command::DecodeEdid) {
        if (take(commandArguments, "--json")) invocation.json = true;
    }
    if (edid && take(commandArguments, "--decode")) invocation.decode = true;
    return {};
}

int printDecodedEdid(std::span<const std::uint8_t> bytes, nlohmann::json* json, std::ostream& out, std::ostream& err) {
    const EdidDecoding decoding = decodeEdid(bytes);
    if (!decoding.edid) {
        err << "velmora-jigctl: " << decoding.refusal << "\n";
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
    const EdidBytes input = readEdidFile(invocation.file);
    if (!input.ok) {
        err << "velmora-jigctl: " << input.refusal << "\n";
        return kExitUsage;
    }
    return printDecodedEdid(input.bytes, json, out, err);
}

bool loadBenchEdid(bench::VirtualBench& bench, const std::string& path, std::ostream& err) {
    const EdidBytes input = readEdidFile(path);
    if (!input.ok) {
        err << "velmora-jigctl: " << input.refusal << "\n";
        return false;
    }
    bench.eeprom(0).load(input.bytes);
    return true;
}

}  // namespace velmora::apps::jigctl
