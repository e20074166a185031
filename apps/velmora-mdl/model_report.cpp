#include "apps/velmora-mdl/model_report.h"

#include <cstdio>

namespace velmora::apps::mdl {

using namespace velmora::model;

namespace {

std::string hexImage(const ModelDescription& model) {
    static constexpr char kDigits[] = "0123456789abcdef";
    const std::size_t length = std::min<std::size_t>(model.locationCounter, ModelDescription::kImageCapacity);
    std::string text;
    text.reserve(2 * length);
    for (std::size_t i = 0; i < length; ++i) {
        text += kDigits[model.modelImage[i] >> 4];
        text += kDigits[model.modelImage[i] & 0x0F];
    }
    return text;
}

unsigned asUnsigned16(std::int32_t value) { return static_cast<std::uint16_t>(value); }

}  // namespace

std::string_view replyModeName(link::ReplyMode mode) {
    return mode == link::ReplyMode::MasterRead ? "MasterRead" : "SlaveReceive";
}

nlohmann::json modelToJson(const ModelDescription& model, int loaded, link::ReplyMode replyMode) {
    nlohmann::json symbols = nlohmann::json::array();
    for (std::int32_t i = 0; i < model.symbolCount; ++i) {
        const Symbol& symbol = model.symbolTable[static_cast<std::size_t>(i)];
        symbols.push_back({{"name", symbol.name.view()}, {"value", asUnsigned16(symbol.value)}});
    }
    nlohmann::json keyNames = nlohmann::json::array();
    for (std::size_t i = 0; i < model.keyNameCount; ++i) {
        keyNames.push_back({{"name", model.keyNames[i].name.view()}, {"code", model.keyNames[i].code}});
    }
    nlohmann::json items = nlohmann::json::array();
    for (std::size_t code = 0; code < ModelDescription::kItemCount; ++code) {
        const ItemEntry& entry = model.itemTable[code];
        if (entry == ItemEntry{}) continue;
        items.push_back({{"code", code},
                         {"kind", asUnsigned16(entry.kind)},
                         {"arg", asUnsigned16(entry.arg)},
                         {"ref", asUnsigned16(entry.ref)}});
    }
    nlohmann::json timings = nlohmann::json::array();
    for (std::size_t i = 0; i < model.timingCount(); ++i) {
        const TimingEntry& entry = model.timingEntries[i];
        timings.push_back({{"hFreqKHz", entry.hFreqKHz},
                           {"vFreqHz", entry.vFreqHz},
                           {"resolutionIndex", entry.resolutionIndex},
                           {"hPolarity", entry.hPolarity},
                           {"vPolarity", entry.vPolarity},
                           {"presetIndex", entry.presetIndex}});
    }
    return {
        {"loaded", loaded},
        {"modelName", model.modelName},
        {"version", model.version},
        {"oldVersion", model.oldVersion},
        {"replyMode", replyModeName(replyMode)},
        {"timingFamily", model.timingFamily},
        {"timingLabel", model.timingLabel},
        {"timingOffset", model.timingOffset},
        {"locationCounter", model.locationCounter},
        {"image", hexImage(model)},
        {"symbols", std::move(symbols)},
        {"keyNames", std::move(keyNames)},
        {"items", std::move(items)},
        {"pages", model.pageCount()},
        {"timings", std::move(timings)},
        {"errors", model.errorText},
    };
}

std::string diagnosticLine(const std::string& fileName, int line, int column, std::string_view severity,
                           std::string_view text) {
    std::string result = fileName;
    // Appended piece by piece: GCC 12 at -O3 warns (-Wrestrict) about a
    // literal added to a temporary string, a false alarm that -Werror stops on.
    if (line > 0) {
        result += ':';
        result += std::to_string(line);
    }
    if (line > 0 && column > 0) {
        result += ':';
        result += std::to_string(column);
    }
    result += ": ";
    result += severity;
    result += ": ";
    result += text;
    return result;
}

std::string summaryLine(const std::string& fileName, const ModelDescription& model) {
    return fileName + ": \"" + model.modelName + "\", " + std::to_string(model.pageCount()) + " pages, " +
           std::to_string(model.timingCount()) + " timings";
}

}  // namespace velmora::apps::mdl
