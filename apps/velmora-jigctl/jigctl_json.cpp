#include "apps/velmora-jigctl/jigctl_json.h"

#include <cmath>
#include <cstdio>

#include "console/console_session.h"
#include "model/item_kinds.h"
#include "model/timing_tables.h"

namespace velmora::apps::jigctl {

using namespace velmora::tools;

namespace {

// As in the Preset Timing list: from 255 kHz up a mode is "Not Defined".
constexpr double kNotDefinedKHz = 255.0;
constexpr std::size_t kListedTimings = 16;
constexpr std::uint32_t kUnitsPerHour = 6;
constexpr int kJsonPageBytes = 256;
// The first four characters of a function's text are its Alt+digit prefix.
constexpr std::size_t kFunctionPrefix = 4;

// The two decimals the timing list prints.
double twoDecimals(double value) { return std::round(value * 100.0) / 100.0; }

std::string polarity(std::uint8_t value) {
    if (value == model::kPolarityNegative) return "N";
    if (value == model::kPolarityEither) return "-";
    return "P";
}

std::string trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return std::string(text);
}

// "1024 x  768" as {width, height}; null for a name without the two numbers.
nlohmann::json resolutionJson(std::string_view name) {
    int width = 0;
    int height = 0;
    char separator = 0;
    const std::string text(name);
    if (std::sscanf(text.c_str(), "%d %c %d", &width, &separator, &height) == 3 && separator == 'x') {
        return {{"width", width}, {"height", height}};
    }
    return nullptr;
}

nlohmann::json itemJson(const console::ItemRecord& item) {
    nlohmann::json entry{{"name", item.name}};
    if (model::isServiceMemoryKind(item.kind)) {
        entry["vcp"] = nullptr;
        entry["memory"] = {{"page", model::memoryItemPage(item.kind, item.code)},
                           {"address", static_cast<std::uint16_t>(item.code) % kJsonPageBytes}};
    } else {
        entry["vcp"] = item.code;
        entry["memory"] = nullptr;
    }
    entry["current"] = item.current;
    entry["maximum"] = item.maximum;
    return entry;
}

}  // namespace

nlohmann::json vcpJson(int vcp, int current, int maximum) {
    return {{"vcp", vcp}, {"current", current}, {"maximum", maximum}};
}

nlohmann::json pageJson(int page, const console::PageLists& lists, std::span<const int> functionItems) {
    nlohmann::json items = nlohmann::json::array();
    for (const auto& item : lists.items) items.push_back(itemJson(item));
    nlohmann::json functions = nlohmann::json::array();
    for (std::size_t i = 0; i < lists.functions.size(); ++i) {
        const std::string& text = lists.functions[i].text;
        nlohmann::json item = nullptr;
        if (i < functionItems.size()) item = functionItems[i];
        functions.push_back({{"item", item},
                             {"name", trimmed(text.size() > kFunctionPrefix ? text.substr(kFunctionPrefix) : text)},
                             {"text", text}});
    }
    const bool known = page >= 0 && page < console::kPageCount;
    nlohmann::json name = nullptr;
    if (known) name = console::kPageNames[static_cast<std::size_t>(page)];
    return {{"page", page}, {"name", name}, {"items", items}, {"functions", functions}};
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
        const bool defined = entry.hFreqKHz < kNotDefinedKHz;
        nlohmann::json row{{"number", i},           {"defined", defined},   {"hFreqKHz", nullptr},
                           {"vFreqHz", nullptr},    {"hPolarity", nullptr}, {"vPolarity", nullptr},
                           {"resolution", nullptr}, {"resolutionName", nullptr}, {"standard", nullptr}};
        if (defined) {
            const auto resolution = entry.resolutionIndex < model::ResolutionNames.size()
                                        ? model::ResolutionNames[entry.resolutionIndex]
                                        : model::ResolutionNames[0];
            row["hFreqKHz"] = twoDecimals(entry.hFreqKHz);
            row["vFreqHz"] = twoDecimals(entry.vFreqHz);
            row["hPolarity"] = polarity(entry.hPolarity);
            row["vPolarity"] = polarity(entry.vPolarity);
            row["resolution"] = resolutionJson(resolution);
            if (const std::string name = trimmed(resolution); !name.empty()) row["resolutionName"] = name;
            if (entry.presetIndex < model::kPresetTimingCount) {
                const model::PresetTiming& preset = model::PresetTimingTable[entry.presetIndex];
                row["standard"] = {{"number", preset.number}, {"name", std::string(preset.name)}};
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

nlohmann::json errorJson(std::string_view text, std::optional<int> linkError) {
    nlohmann::json code = nullptr;
    if (linkError) code = *linkError;
    return {{"error", std::string(text)}, {"linkError", code}};
}

std::string errorText(std::string_view lines) {
    while (!lines.empty() && (lines.back() == '\n' || lines.back() == ' ')) lines.remove_suffix(1);
    return std::string(lines);
}

std::string jsonLine(const nlohmann::json& document) {
    return document.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace velmora::apps::jigctl
