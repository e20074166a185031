#include "tools/cli/jigctl_edid.h"

#include <algorithm>

#include "tools/cli/jigctl_commands.h"
#include "tools/edid_decoder.h"
#include "tools/edid_input.h"
#include "tools/edid_json.h"
#include "tools/edid_text.h"

namespace velmora::tools::cli {

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
    const bool decoded = invocation.command == Command::DecodeEdid || (edid && invocation.decode);
    if (invocation.json && !decoded) return "--json is given for decode-edid and edid --decode only";
    return {};
}

int printDecodedEdid(std::span<const std::uint8_t> bytes, bool json, std::ostream& out, std::ostream& err) {
    const EdidDecoding decoding = decodeEdid(bytes);
    if (!decoding.edid) {
        err << "velmora-jigctl: " << decoding.refusal << "\n";
        return kExitUsage;
    }
    if (json) {
        out << edidJson(*decoding.edid).dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
    } else {
        out << edidText(*decoding.edid);
    }
    return kExitSuccess;
}

int decodeEdidFile(const Invocation& invocation, std::ostream& out, std::ostream& err) {
    const EdidBytes input = readEdidFile(invocation.file);
    if (!input.ok) {
        err << "velmora-jigctl: " << input.refusal << "\n";
        return kExitUsage;
    }
    return printDecodedEdid(input.bytes, invocation.json, out, err);
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

}  // namespace velmora::tools::cli
