#include "apps/velmora-mdl/from_capabilities.h"

#include <iostream>
#include <iterator>

#include "link/capabilities_parser.h"
#include "model/model_description.h"
#include "model/model_warnings.h"
#include "platform/files.h"
#include "platform/replacing_file.h"
#include "tools/model_from_capabilities.h"

namespace velmora::apps::mdl {

namespace {

constexpr int kClean = 0;
constexpr int kNotClean = 1;
constexpr int kRefused = 2;
// A saved string is a few hundred bytes; a file many times larger is not one.
constexpr std::size_t kInputLimit = 64 * 1024;

int refuse(std::ostream& err, const std::string& what, const std::string& why) {
    err << "velmora-mdl: from-capabilities: " << what << ": " << why << "\n";
    return kRefused;
}

// The made model compiled as the console will compile it: a clean start
// for its author, or a fault of ours to report.
bool compilesCleanly(const std::string& text, std::ostream& err) {
    model::ModelDescription compiled;
    compiled.compileText(text);
    bool clean = !compiled.errorFlag;
    for (const auto& report : compiled.compileTrace().diagnostics()) {
        err << "velmora-mdl: from-capabilities: the model made does not compile: line " << report.line << ": "
            << report.text << "\n";
    }
    for (const auto& warning : model::findWarnings(compiled, model::WarningOptions{})) {
        err << "velmora-mdl: from-capabilities: the model made has a warning: line " << warning.line << ": "
            << warning.text << "\n";
        clean = false;
    }
    return clean;
}

}  // namespace

int fromCapabilities(const std::string& input, const std::optional<std::string>& output, std::ostream& out,
                     std::ostream& err) {
    std::string raw;
    const bool fromStandardInput = input == "-";
    if (fromStandardInput) {
        raw.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    } else {
        platform::FileRead read = platform::readWholeFile(input);
        if (!read.ok) return refuse(err, input, read.failure);
        raw = std::move(read.bytes);
    }
    if (raw.size() > kInputLimit) return refuse(err, input, "more than 64 KiB, not a capabilities string");
    while (!raw.empty() && (raw.back() == '\n' || raw.back() == '\r')) raw.pop_back();

    const link::CapabilitiesReading reading = link::parseCapabilities(raw);
    if (!reading.capabilities) return refuse(err, input, reading.refusal);
    for (const link::CapabilityProblem& problem : reading.capabilities->problems) {
        err << "velmora-mdl: from-capabilities: warning: " << link::problemText(problem) << "\n";
    }
    const std::string source = fromStandardInput ? std::string("standard input") : input;
    const std::string text = tools::modelFromCapabilities(*reading.capabilities, "from " + source);
    const bool clean = compilesCleanly(text, err);

    if (!output || *output == "-") {
        out << text;
        return clean ? kClean : kNotClean;
    }
    std::optional<platform::ReplacingFile> file = platform::ReplacingFile::create(*output);
    if (!file) return refuse(err, *output, "cannot be written");
    if (!file->commit(text)) return refuse(err, *output, file->failureReason());
    return clean ? kClean : kNotClean;
}

}  // namespace velmora::apps::mdl
