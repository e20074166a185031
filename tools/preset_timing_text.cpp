#include "tools/preset_timing_text.h"

#include <cstdio>

#include "model/timing_tables.h"

namespace velmora::tools {

namespace {

// Decoded modes the firmware marks as vacant or unknown sit at 1000 or 65535
// kHz; anything from 255 kHz up has no usable timing.
constexpr double kNotDefinedKHz = 255.0;

char polarityCharacter(std::uint8_t polarity) {
    if (polarity == model::kPolarityNegative) return 'N';
    if (polarity == model::kPolarityEither) return '-';
    return 'P';
}

// A resolution index outside the label list shows the blank label rather
// than reading past the list.
std::string_view resolutionLabel(std::uint16_t index) {
    return index < model::ResolutionNames.size() ? model::ResolutionNames[index] : model::ResolutionNames[0];
}

std::string timingLine(int line, const model::TimingEntry& entry) {
    const std::string label(resolutionLabel(entry.resolutionIndex));
    char text[96];
    std::snprintf(text, sizeof text, " %2d%7.2f%7.2f %c%c %s", line, entry.hFreqKHz, entry.vFreqHz,
                  polarityCharacter(entry.hPolarity), polarityCharacter(entry.vPolarity), label.c_str());
    return text;
}

// Only rows of the table can be named; any other index is shown as no match.
std::string standardLine(std::uint8_t presetIndex) {
    if (presetIndex >= model::kPresetTimingCount) return "     --------------";
    const model::PresetTiming& preset = model::PresetTimingTable[presetIndex];
    const std::string name(preset.name);
    char text[64];
    std::snprintf(text, sizeof text, " %2d: %s", preset.number, name.c_str());
    return text;
}

}  // namespace

PresetTimingTexts presetTimingTexts(const model::ModelDescription& model) {
    PresetTimingTexts texts;
    texts.modelName = model.modelName;
    int line = 0;
    for (std::size_t i = 0; i < kMaxListedTimings && i < model.timingEntries.size(); ++i) {
        const model::TimingEntry& entry = model.timingEntries[i];
        if (entry.hFreqKHz == 0.0) break;
        if (entry.hFreqKHz >= kNotDefinedKHz) {
            char text[48];
            std::snprintf(text, sizeof text, " %2d             Not Defined...", line);
            texts.left += text;
        } else {
            texts.left += timingLine(line, entry);
            texts.right += standardLine(entry.presetIndex);
        }
        texts.left += "\n";
        texts.right += "\n";
        ++line;
    }
    if (line == 0) texts.left += "\n\n\nTiming is not Defined";
    return texts;
}

}  // namespace velmora::tools
