#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace velmora::link {

// How a monitor control set (MCCS 2.2) feature takes its value.
enum class FeatureKind : std::uint8_t {
    Continuous,     // a value from 0 to a maximum the monitor reports
    NonContinuous,  // one of a list of values, each with a meaning
    Table,          // a block of bytes (Table Read / Table Write)
    WriteOnly,      // an action: writing it does something, reading means nothing
};

// Which group a feature belongs to, for the pages of a model made from it.
enum class FeatureGroup : std::uint8_t { Geometry, Colour, Other };

struct MccsFeature {
    std::uint8_t code;
    std::string_view name;
    FeatureKind kind;
    bool readOnly;  // the monitor reports it; a write is refused or ignored
    FeatureGroup group;
};

// "continuous", "non-continuous", "table", "write-only".
std::string_view featureKindName(FeatureKind kind);

// The standard features in code order. Codes E0h to FFh are the makers' own
// and have no standard meaning.
std::span<const MccsFeature> mccsFeatures();

// The standard feature of `code`, or nothing for a code the standard leaves
// undefined or to the makers.
std::optional<MccsFeature> mccsFeature(std::uint8_t code);

// The feature's standard name; "Manufacturer specific" for E0h and up,
// "Unknown feature" for an undefined code.
std::string_view mccsFeatureName(std::uint8_t code);

inline constexpr std::uint8_t kFirstMakerFeature = 0xE0;

}  // namespace velmora::link
