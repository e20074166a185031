// Decoding the timing bytes of the model's mode records into TimingEntry
// records. Each microcontroller family stores frequencies, polarities and a
// resolution code in its own layout.
#include <array>
#include <string>

#include "model/image_layout.h"
#include "model/model_compiler.h"
#include "model/text_rules.h"

namespace velmora::model {

namespace {

// Resolution code of a family -> ResolutionNames row; codes past a map give 0.
constexpr std::array<std::uint8_t, 20> kResolutionMap1 = {0, 1, 2, 3, 4, 5, 6, 7, 9, 10,
                                                          12, 13, 14, 15, 16, 11, 17, 8, 0, 0};
constexpr std::array<std::uint8_t, 20> kResolutionMap2 = {1, 3, 4, 5, 6, 9, 12, 13, 14, 16,
                                                          17, 2, 7, 8, 10, 11, 15, 0, 0, 0};
constexpr std::array<std::uint8_t, 20> kResolutionMap3 = {1, 3, 4, 5, 6, 12, 13, 9, 14, 16,
                                                          17, 2, 8, 7, 10, 11, 15, 0, 0, 0};
constexpr std::array<std::uint8_t, 24> kResolutionMap4 = {0, 18, 4, 3, 9, 5, 7, 10, 15, 1, 6, 12,
                                                          13, 14, 16, 17, 2, 8, 11, 0, 0, 0, 0, 0};

template <std::size_t N>
std::uint16_t mapResolution(const std::array<std::uint8_t, N>& map, unsigned code) {
    return code < N ? map[code] : 0;
}

// A byte read as two decimal digits (31h is 31) and as two decimal fraction digits (47h is .47).
double decimalDigits(std::uint8_t x) { return (x >> 4) * 10 + (x & 0x0F); }
double fractionDigits(std::uint8_t y) { return (y >> 4) * 0.1 + (y & 0x0F) * 0.01; }

constexpr std::uint8_t kVacantMark = 0xFF;  // first timing byte of an unused mode record
constexpr std::uint8_t kSgs4InUse = 0x55;   // t6 of an SGS_4 record that holds a mode

bool bit(std::uint8_t value, int index) { return (value >> index) & 1; }

enum class Family { Sgs1, Sgs2, Sgs3, Sgs4, Motorola1, Motorola2, Velmora1, Velmora2, Unknown };

constexpr std::pair<std::string_view, Family> kFamilies[] = {
    {"SGS_1", Family::Sgs1},           {"SGS_2", Family::Sgs2},
    {"SGS_3", Family::Sgs3},           {"SGS_4", Family::Sgs4},
    {"MOTOROLA_1", Family::Motorola1}, {"MOTOROLA_2", Family::Motorola2},
    {"VELMORA_1", Family::Velmora1},   {"VELMORA_2", Family::Velmora2},
};

Family familyNamed(std::string_view name) {
    for (const auto& [familyName, family] : kFamilies) {
        if (equalsIgnoringCase(name, familyName)) return family;
    }
    return Family::Unknown;
}

// An entry without a usable timing: listed as not defined.
TimingEntry notDefined(double mark) {
    TimingEntry entry;
    entry.hFreqKHz = mark;
    return entry;
}

// Frequencies from a 4-bit-plus-tenths form used by the Motorola and Velmora parts.
double tenthsKHz(std::uint8_t t0, std::uint8_t t1) { return (t0 & 0x0F) * 25.6 + t1 * 0.1; }

// t holds the record's timing bytes from the timing offset on.
TimingEntry decodeRecord(Family family, const std::array<std::uint8_t, 7>& t) {
    TimingEntry entry;
    switch (family) {
    case Family::Sgs1:
        entry.hFreqKHz = t[0] + t[1] / 256.0;
        entry.vFreqHz = t[2] + t[3] / 256.0;
        entry.hPolarity = bit(t[4], 1);
        entry.vPolarity = bit(t[4], 0);
        entry.resolutionIndex = mapResolution(kResolutionMap1, t[4] >> 2);
        if (t[0] == kVacantMark) entry.hFreqKHz = kVacantModeKHz;
        break;
    case Family::Sgs2:
    case Family::Sgs3:
        entry.hFreqKHz = decimalDigits(t[0]) + fractionDigits(t[1]);
        entry.vFreqHz = decimalDigits(t[2]) + fractionDigits(t[3]);
        entry.hPolarity = bit(t[4], 7);
        entry.vPolarity = bit(t[4], 6);
        if (family == Family::Sgs2) {
            // 22h marks a mode that accepts either polarity.
            if (t[4] == 0x22) entry.hPolarity = entry.vPolarity = kPolarityEither;
            entry.resolutionIndex = mapResolution(kResolutionMap2, t[5]);
        } else {
            entry.resolutionIndex = mapResolution(kResolutionMap3, t[4] & 0x3F);
        }
        if (t[0] == kVacantMark) entry.hFreqKHz = kVacantModeKHz;
        break;
    case Family::Sgs4: {
        // Periods in counter ticks: 512 kHz for the line, 2 MHz for the frame.
        const unsigned linePeriod = t[0] * 256u + t[1];
        const unsigned framePeriod = t[2] * 256u + t[3];
        if (linePeriod == 0 || framePeriod == 0) return notDefined(kVacantModeKHz);
        entry.hFreqKHz = 512000.0 / linePeriod;
        entry.vFreqHz = 2000000.0 / framePeriod;
        entry.hPolarity = bit(t[4], 7);
        entry.vPolarity = bit(t[4], 6);
        entry.resolutionIndex = mapResolution(kResolutionMap4, t[5] & 0x3F);
        if (t[6] != kSgs4InUse) entry.hFreqKHz = kVacantModeKHz;
        break;
    }
    case Family::Motorola1:
    case Family::Motorola2:
    case Family::Velmora1:
        entry.hFreqKHz = tenthsKHz(t[0], t[1]);
        entry.vFreqHz = t[2];
        if (family == Family::Velmora1) {
            entry.hPolarity = bit(t[0], 7);
            entry.vPolarity = bit(t[0], 6);
        } else {
            entry.hPolarity = bit(t[0], 6);
            entry.vPolarity = bit(t[0], 7);
        }
        if (family == Family::Motorola1) entry.resolutionIndex = mapResolution(kResolutionMap3, t[3]);
        if (t[0] == kVacantMark) entry.hFreqKHz = kVacantModeKHz;
        break;
    case Family::Velmora2: {
        // The record names a standard mode by its number.
        const std::optional<std::size_t> row = findPresetByNumber(t[0]);
        if (!row) return notDefined(kUnknownPresetKHz);
        const PresetTiming& preset = PresetTimingTable[*row];
        entry.hFreqKHz = preset.hFreqKHz;
        entry.vFreqHz = preset.vFreqHz;
        entry.hPolarity = preset.hPolarity;
        entry.vPolarity = preset.vPolarity;
        break;
    }
    case Family::Unknown:
        return notDefined(kVacantModeKHz);
    }
    return entry;
}

}  // namespace

bool isTimingFamily(std::string_view name) { return familyNamed(name) != Family::Unknown; }

std::string timingFamilyNames() {
    std::string names;
    for (const auto& [familyName, family] : kFamilies) {
        if (!names.empty()) names += ", ";
        names += familyName;
    }
    return names;
}

int ModelCompiler::decodeTimings() {
    model_.timingEntries[0] = TimingEntry{};
    const std::optional<std::uint16_t> payload = model_.findChunk(chunk::AllGeometry);
    // Without a TIMING label there is nothing to look up (and nothing to report).
    if (!payload || model_.timingLabel.empty()) return 0;
    const std::uint16_t table = lookupSymbol(model_.timingLabel);
    if (table == ModelDescription::kNotFound) return 0;

    const std::uint8_t descriptorCount = model_.imageByte(*payload);
    std::optional<std::size_t> descriptor;
    for (std::size_t i = 0; i < descriptorCount && !descriptor; ++i) {
        const std::size_t position = *payload + 1 + 8 * i;
        if (model_.imageWord(position + 4) == table) descriptor = position;
    }
    if (!descriptor) return 0;

    const std::uint8_t columns = model_.imageByte(*descriptor);
    std::size_t rows = model_.imageByte(*descriptor + 1);
    if (rows > ModelDescription::kTimingCapacity) {
        reportError("timing table " + model_.timingLabel + " has " + std::to_string(rows) + " modes: only the first " +
                    std::to_string(ModelDescription::kTimingCapacity) + " are decoded\n");
        rows = ModelDescription::kTimingCapacity;
    }
    const Family family = familyNamed(model_.timingFamily);
    for (std::size_t i = 0; i < rows; ++i) {
        const std::size_t first = std::size_t{table} + i * columns + model_.timingOffset;
        std::array<std::uint8_t, 7> timingBytes{};
        for (std::size_t j = 0; j < timingBytes.size(); ++j) timingBytes[j] = model_.imageByte(first + j);
        TimingEntry entry = decodeRecord(family, timingBytes);
        entry.presetIndex = presetLookup(entry);
        model_.timingEntries[i] = entry;
    }
    model_.timingEntries[rows] = TimingEntry{};
    return 1;
}

}  // namespace velmora::model
