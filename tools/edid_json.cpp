#include "tools/edid_json.h"

#include <cmath>

namespace velmora::tools {

namespace {

using nlohmann::json;

double rounded(double value) { return std::round(value * 1000.0) / 1000.0; }

json modeJson(const EdidModeRate& mode) {
    return {{"width", mode.width}, {"height", mode.height}, {"refreshHz", mode.refreshHz}};
}

json detailedJson(const EdidDetailedTiming& t) {
    return {{"pixelClockMHz", rounded(t.pixelClockMHz)},
            {"hActive", t.hActive},
            {"hBlank", t.hBlank},
            {"vActive", t.vActive},
            {"vBlank", t.vBlank},
            {"hFrontPorch", t.hFrontPorch},
            {"hSyncWidth", t.hSyncWidth},
            {"vFrontPorch", t.vFrontPorch},
            {"vSyncWidth", t.vSyncWidth},
            {"widthMm", t.widthMm},
            {"heightMm", t.heightMm},
            {"interlaced", t.interlaced},
            {"hFreqKHz", rounded(t.hFreqKHz)},
            {"vFreqHz", rounded(t.vFreqHz)}};
}

json optionalText(const std::optional<std::string>& text) { return text ? json(*text) : json(nullptr); }

}  // namespace

json edidJson(const DecodedEdid& e) {
    json established = json::array();
    for (const auto& mode : e.establishedTimings) established.push_back(modeJson(mode));
    json standard = json::array();
    for (const auto& t : e.standardTimings) standard.push_back(modeJson(t.mode));
    json detailed = json::array();
    for (const auto& d : e.descriptors) {
        if (d.kind == EdidDescriptorKind::DetailedTiming) detailed.push_back(detailedJson(d.timing));
    }
    json limits = nullptr;
    if (e.rangeLimits) {
        limits = {{"minVFreqHz", e.rangeLimits->minVFreqHz},   {"maxVFreqHz", e.rangeLimits->maxVFreqHz},
                  {"minHFreqKHz", e.rangeLimits->minHFreqKHz}, {"maxHFreqKHz", e.rangeLimits->maxHFreqKHz},
                  {"maxPixelClockMHz", e.rangeLimits->maxPixelClockMHz}};
    }
    return {{"headerValid", e.headerValid},
            {"checksumValid", e.checksumValid},
            {"version", std::to_string(e.version) + "." + std::to_string(e.revision)},
            {"manufacturer", e.manufacturer},
            {"productCode", e.productCode},
            {"serialNumber", e.serialNumber},
            {"week", e.week},
            {"year", e.year},
            {"analog", e.analog},
            {"screenWidthCm", e.screenWidthCm},
            {"screenHeightCm", e.screenHeightCm},
            {"gamma", e.gamma ? json(rounded(*e.gamma)) : json(nullptr)},
            {"dpms", {{"standby", e.dpmsStandby}, {"suspend", e.dpmsSuspend}, {"activeOff", e.dpmsActiveOff}}},
            {"establishedTimings", established},
            {"standardTimings", standard},
            {"detailedTimings", detailed},
            {"displayName", optionalText(e.displayName)},
            {"displaySerial", optionalText(e.displaySerial)},
            {"text", e.texts},
            {"rangeLimits", limits},
            {"extensionCount", e.extensionCount}};
}

}  // namespace velmora::tools
