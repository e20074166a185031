#include "apps/velmora-jigctl/jigctl_json.h"

#include <cmath>

#include "console/console_session.h"
#include "model/timing_tables.h"

namespace velmora::apps::jigctl {

using namespace velmora::tools;

namespace {

// As in the Preset Timing list: from 255 kHz up a mode is "Not Defined".
constexpr double kNotDefinedKHz = 255.0;
constexpr std::size_t kListedTimings = 16;
constexpr std::uint32_t kUnitsPerHour = 6;

// The two decimals the timing list prints.
double twoDecimals(double value) { return std::round(value * 100.0) / 100.0; }

std::string polarity(std::uint8_t value) {
    if (value == model::kPolarityNegative) return "N";
    if (value == model::kPolarityEither) return "-";
    return "P";
}

}  // namespace

nlohmann::json vcpJson(int code, int current, int maximum) {
    return {{"code", code}, {"current", current}, {"maximum", maximum}};
}

nlohmann::json pageJson(int page, const console::PageLists& lists) {
    nlohmann::json items = nlohmann::json::array();
    for (const auto& item : lists.items) {
        items.push_back({{"name", item.name}, {"code", item.code}, {"current", item.current}, {"maximum", item.maximum}});
    }
    nlohmann::json functions = nlohmann::json::array();
    for (const auto& function : lists.functions) functions.push_back({{"text", function.text}, {"code", function.code}});
    const bool known = page >= 0 && page < console::kPageCount;
    return {{"page", known ? console::kPageNames[static_cast<std::size_t>(page)] : "?"},
            {"items", items},
            {"functions", functions}};
}

nlohmann::json memoryByteJson(int page, int address, int value) {
    return {{"page", page}, {"address", address}, {"value", value}};
}

nlohmann::json blockJson(int block, std::span<const std::uint8_t> bytes) {
    return {{"block", block}, {"bytes", std::vector<int>(bytes.begin(), bytes.end())}};
}

nlohmann::json crtTimeJson(const CrtOnTimeReadout& readout) {
    return {{"tenMinuteUnits", readout.tenMinuteUnits},
            {"hours", readout.tenMinuteUnits / kUnitsPerHour},
            {"minutes", readout.tenMinuteUnits % kUnitsPerHour * 10},
            {"text", readout.text}};
}

nlohmann::json timingsJson(const model::ModelDescription& model) {
    nlohmann::json rows = nlohmann::json::array();
    for (std::size_t i = 0; i < kListedTimings && i < model.timingEntries.size(); ++i) {
        const model::TimingEntry& entry = model.timingEntries[i];
        if (entry.hFreqKHz == 0.0) break;
        nlohmann::json row{{"number", i}, {"defined", entry.hFreqKHz < kNotDefinedKHz}};
        if (entry.hFreqKHz < kNotDefinedKHz) {
            const auto resolution = entry.resolutionIndex < model::ResolutionNames.size()
                                        ? model::ResolutionNames[entry.resolutionIndex]
                                        : model::ResolutionNames[0];
            row["hFreqKHz"] = twoDecimals(entry.hFreqKHz);
            row["vFreqHz"] = twoDecimals(entry.vFreqHz);
            row["hPolarity"] = polarity(entry.hPolarity);
            row["vPolarity"] = polarity(entry.vPolarity);
            row["resolution"] = std::string(resolution);
            if (entry.presetIndex < model::kPresetTimingCount) {
                const model::PresetTiming& preset = model::PresetTimingTable[entry.presetIndex];
                row["standard"] = {{"number", preset.number}, {"name", std::string(preset.name)}};
            } else {
                row["standard"] = nullptr;
            }
        }
        rows.push_back(row);
    }
    return {{"model", model.modelName}, {"timings", rows}};
}

nlohmann::json transferJson(const std::string& file, const MemoryRange& range) {
    return {{"file", file},
            {"from", range.startLocation()},
            {"to", range.endLocation()},
            {"bytes", range.endLocation() - range.startLocation() + 1}};
}

nlohmann::json errorJson(std::string_view text, link::LinkError code) {
    return {{"error", std::string(text)}, {"code", static_cast<int>(code)}};
}

std::string errorText(std::string_view lines) {
    while (!lines.empty() && (lines.back() == '\n' || lines.back() == ' ')) lines.remove_suffix(1);
    return std::string(lines);
}

std::string jsonLine(const nlohmann::json& document) {
    return document.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace velmora::apps::jigctl
