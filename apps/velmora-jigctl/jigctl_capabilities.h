#pragma once
#include <ostream>

#include <nlohmann/json.hpp>

#include "link/capabilities_parser.h"
#include "link/monitor_link.h"
#include "platform/clock.h"
#include "apps/velmora-jigctl/jigctl_arguments.h"

namespace velmora::apps::jigctl {

// {raw, type, model, mccsVersion, commands: ["01", ...], features: [{code:
// "10", name, values: ["01", ...]}], errors: ["offset N: TEXT", ...]};
// type, model and mccsVersion null when the string does not give them.
nlohmann::json capabilitiesJson(const link::Capabilities& capabilities);

// The string parsed for people: model, type, version, commands, then one
// line per feature with its standard name, kind and values.
std::string capabilitiesText(const link::Capabilities& capabilities);

// parse-capabilities FILE (- for standard input): no monitor, no bench.
// Binary data and a string without a capabilities segment are refused (2).
int parseCapabilitiesFile(const Invocation& invocation, nlohmann::json* json, std::ostream& out, std::ostream& err);

// capabilities: reads the string through `link` (waiting `gapMs` between
// fragments where the link does not keep the gap itself) and prints it
// parsed; with --model-out writes a model made from it.
int readMonitorCapabilities(const Invocation& invocation, link::MonitorLink& link, platform::Clock& clock,
                            std::int32_t gapMs, nlohmann::json* json, std::ostream& out, std::ostream& err);

}  // namespace velmora::apps::jigctl
