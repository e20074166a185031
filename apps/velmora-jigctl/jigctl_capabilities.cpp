#include "apps/velmora-jigctl/jigctl_capabilities.h"

#include <cstdio>

#include "apps/velmora-jigctl/jigctl_commands.h"
#include "apps/velmora-jigctl/jigctl_edid.h"
#include "link/capabilities_read.h"
#include "link/mccs_features.h"
#include "platform/files.h"
#include "platform/replacing_file.h"
#include "tools/model_from_capabilities.h"

namespace velmora::apps::jigctl {

namespace {

// A saved string is a few hundred bytes; a file many times larger is not one.
constexpr std::size_t kCapabilitiesFileLimit = 64 * 1024;

std::string hex2(std::uint8_t value) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", value);
    return text;
}

nlohmann::json optionalText(const std::optional<std::string>& text) {
    return text ? nlohmann::json(*text) : nlohmann::json(nullptr);
}

// The problems on standard error as warnings; the result stays a success.
void reportProblems(const Invocation& invocation, const link::Capabilities& capabilities, std::ostream& err) {
    for (const link::CapabilityProblem& problem : capabilities.problems) {
        err << "velmora-jigctl: " << invocation.commandName << ": warning: " << link::problemText(problem) << "\n";
    }
}

int writeModel(const Invocation& invocation, const link::Capabilities& capabilities, std::string_view source,
               std::ostream& err) {
    if (!invocation.modelOut) return kExitSuccess;
    const std::string& path = *invocation.modelOut;
    std::optional<platform::ReplacingFile> file = platform::ReplacingFile::create(path);
    if (!file) {
        err << "velmora-jigctl: --model-out: cannot write " << path << "\n";
        return kExitUsage;
    }
    if (!file->commit(tools::modelFromCapabilities(capabilities, source))) {
        err << "velmora-jigctl: --model-out: cannot write " << path << ": " << file->failureReason() << "\n";
        return kExitOperationFailed;
    }
    return kExitSuccess;
}

int show(const Invocation& invocation, const link::CapabilitiesReading& reading, std::string_view source,
         nlohmann::json* json, std::ostream& out, std::ostream& err) {
    if (!reading.capabilities) {
        err << "velmora-jigctl: " << invocation.commandName << ": " << source << ": " << reading.refusal << "\n";
        return kExitUsage;
    }
    const link::Capabilities& capabilities = *reading.capabilities;
    if (const int status = writeModel(invocation, capabilities, source, err); status != kExitSuccess) return status;
    if (json != nullptr) {
        *json = capabilitiesJson(capabilities);
    } else {
        reportProblems(invocation, capabilities, err);
        out << capabilitiesText(capabilities);
    }
    return kExitSuccess;
}

}  // namespace

nlohmann::json capabilitiesJson(const link::Capabilities& capabilities) {
    nlohmann::json commands = nlohmann::json::array();
    for (const std::uint8_t code : capabilities.commands) commands.push_back(hex2(code));
    nlohmann::json features = nlohmann::json::array();
    for (const link::CapabilityFeature& feature : capabilities.features) {
        nlohmann::json values = nlohmann::json::array();
        for (const std::uint8_t value : feature.values) values.push_back(hex2(value));
        features.push_back({{"code", hex2(feature.code)},
                            {"name", std::string(link::mccsFeatureName(feature.code))},
                            {"values", values}});
    }
    nlohmann::json errors = nlohmann::json::array();
    for (const link::CapabilityProblem& problem : capabilities.problems) errors.push_back(link::problemText(problem));
    return {{"raw", capabilities.raw},
            {"type", optionalText(capabilities.type)},
            {"model", optionalText(capabilities.model)},
            {"mccsVersion", optionalText(capabilities.mccsVersion)},
            {"commands", commands},
            {"features", features},
            {"errors", errors}};
}

namespace {

// A text of the monitor's as a terminal can show it: what is not printable
// ASCII (an escape sequence, a NUL) becomes "?".
std::string shown(const std::optional<std::string>& text) {
    if (!text) return "(not given)";
    std::string result = *text;
    for (char& c : result) {
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E) c = '?';
    }
    return result;
}

}  // namespace

std::string capabilitiesText(const link::Capabilities& capabilities) {
    std::string text;
    text += "Model: " + shown(capabilities.model) + "\n";
    text += "Type: " + shown(capabilities.type) + "\n";
    text += "MCCS version: " + shown(capabilities.mccsVersion) + "\n";
    text += "Commands:";
    for (const std::uint8_t code : capabilities.commands) text += " " + hex2(code);
    text += "\nFeatures:\n";
    for (const link::CapabilityFeature& feature : capabilities.features) {
        text += "  " + hex2(feature.code) + " " + std::string(link::mccsFeatureName(feature.code));
        if (const auto standard = link::mccsFeature(feature.code)) {
            text += " (" + std::string(link::featureKindName(standard->kind)) + (standard->readOnly ? ", read-only" : "") + ")";
        }
        if (!feature.values.empty()) {
            text += ":";
            for (const std::uint8_t value : feature.values) text += " " + hex2(value);
        }
        text += "\n";
    }
    return text;
}

int parseCapabilitiesFile(const Invocation& invocation, nlohmann::json* json, std::ostream& out, std::ostream& err) {
    const std::string& name = invocation.file;
    std::string raw;
    if (name == kStandardStream) {
        const auto text = readStandardInput(kCapabilitiesFileLimit);
        if (!text) {
            err << "velmora-jigctl: parse-capabilities: standard input: cannot be read, or holds more than "
                << kCapabilitiesFileLimit << " bytes\n";
            return kExitUsage;
        }
        raw = *text;
    } else {
        platform::FileRead read = platform::readWholeFile(name);
        if (!read.ok) {
            err << "velmora-jigctl: parse-capabilities: " << name << ": " << read.failure << "\n";
            return kExitUsage;
        }
        if (read.bytes.size() > kCapabilitiesFileLimit) {
            err << "velmora-jigctl: parse-capabilities: " << name << ": more than " << kCapabilitiesFileLimit
                << " bytes, not a capabilities string\n";
            return kExitUsage;
        }
        raw = std::move(read.bytes);
    }
    // A string saved from a terminal ends in a line break.
    while (!raw.empty() && (raw.back() == '\n' || raw.back() == '\r')) raw.pop_back();
    return show(invocation, link::parseCapabilities(raw), name == kStandardStream ? "standard input" : name, json, out,
                err);
}

int readMonitorCapabilities(const Invocation& invocation, link::MonitorLink& link, platform::Clock& clock,
                            std::int32_t gapMs, nlohmann::json* json, std::ostream& out, std::ostream& err) {
    const link::CapabilitiesTransfer transfer = link::readCapabilities(link, clock, gapMs);
    if (!transfer.text) {
        err << "velmora-jigctl: capabilities: " << transfer.failure << "\n";
        return kExitOperationFailed;
    }
    const link::CapabilitiesReading reading = link::parseCapabilities(*transfer.text);
    if (!reading.capabilities) {
        // The monitor answered, but with nothing readable: the exchange failed.
        err << "velmora-jigctl: capabilities: the monitor's string: " << reading.refusal << "\n";
        return kExitOperationFailed;
    }
    return show(invocation, reading, "read from the monitor", json, out, err);
}

}  // namespace velmora::apps::jigctl
