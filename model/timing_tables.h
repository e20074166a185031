#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::model {

// Sync polarity coding shared by decoded timings and the standard table.
inline constexpr std::uint8_t kPolarityNegative = 0;
inline constexpr std::uint8_t kPolarityPositive = 1;
inline constexpr std::uint8_t kPolarityEither = 2;

// Marks of a decoded timing.
inline constexpr std::uint8_t kNoPreset = 0xFF;
inline constexpr double kVacantModeKHz = 1000.0;      // the firmware flags the record unused
inline constexpr double kUnknownPresetKHz = 65535.0;  // a preset number not in the table
inline constexpr double kUsableLimitKHz = 999.0;      // at or above: no usable timing

// One of the model's display modes, decoded from its mode table.
struct TimingEntry {
    double hFreqKHz = 0.0;
    double vFreqHz = 0.0;
    std::uint16_t resolutionIndex = 0;
    std::uint8_t hPolarity = 0;
    std::uint8_t vPolarity = 0;
    std::uint8_t presetIndex = 0;
};

// One standard timing. `number` is the mode number shown to the user; the
// interlaced row carries its frame rate (half the field rate of its name).
struct PresetTiming {
    std::uint16_t number;
    std::string_view name;
    std::uint16_t width;
    std::uint16_t height;
    double hFreqKHz;
    double vFreqHz;
    std::uint8_t interlaced;
    std::uint8_t hPolarity;
    std::uint8_t vPolarity;
};

inline constexpr std::size_t kPresetTimingCount = 65;

// The 65 standard timings followed by a terminating row of zeros (number 0).
extern const std::array<PresetTiming, kPresetTimingCount + 1> PresetTimingTable;

// Resolution labels, 11 characters each so that a column lines up.
inline constexpr std::size_t kResolutionNameCount = 19;
extern const std::array<std::string_view, kResolutionNameCount> ResolutionNames;

// Row index of the first standard timing that matches the entry (within
// 0.1 kHz, 0.5 Hz of the frame-corrected rate, compatible polarities), or
// kNoPreset. Entries at or above kUsableLimitKHz never match.
std::uint8_t presetLookup(const TimingEntry& entry);

// Row index of the first standard timing with this mode number; the
// terminating row never matches.
std::optional<std::size_t> findPresetByNumber(std::uint16_t number);

// Whether a TIMING directive's family is one whose records are decoded
// (compared as a whole, without regard to case).
bool isTimingFamily(std::string_view name);
// The families' names, in the table's order, separated by ", ".
std::string timingFamilyNames();

}  // namespace velmora::model
