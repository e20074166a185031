// The VESA monitor control command set's features as MCCS 2.2 names them,
// the names DDC/CI tools show, so that a technician finds the same words in
// either. Read-only features keep the kind the standard gives their value.
#include "link/mccs_features.h"

#include <algorithm>
#include <array>

namespace velmora::link {

namespace {

using enum FeatureKind;
using enum FeatureGroup;
constexpr bool RO = true;
constexpr bool RW = false;

constexpr auto kFeatures = std::to_array<MccsFeature>({
    {0x01, "Degauss", WriteOnly, RW, Geometry},
    {0x02, "New control value", NonContinuous, RW, Other},
    {0x03, "Soft controls", NonContinuous, RW, Other},
    {0x04, "Restore factory defaults", WriteOnly, RW, Other},
    {0x05, "Restore factory brightness/contrast defaults", WriteOnly, RW, Colour},
    {0x06, "Restore factory geometry defaults", WriteOnly, RW, Geometry},
    {0x08, "Restore factory color defaults", WriteOnly, RW, Colour},
    {0x0A, "Restore factory TV defaults", WriteOnly, RW, Other},
    {0x0B, "Color temperature increment", NonContinuous, RO, Colour},
    {0x0C, "Color temperature request", Continuous, RW, Colour},
    {0x0E, "Clock", Continuous, RW, Geometry},
    {0x10, "Brightness", Continuous, RW, Colour},
    {0x11, "Flesh tone enhancement", NonContinuous, RW, Colour},
    {0x12, "Contrast", Continuous, RW, Colour},
    {0x13, "Backlight control", Continuous, RW, Colour},
    {0x14, "Select color preset", NonContinuous, RW, Colour},
    {0x16, "Video gain: Red", Continuous, RW, Colour},
    {0x17, "User color vision compensation", Continuous, RW, Colour},
    {0x18, "Video gain: Green", Continuous, RW, Colour},
    {0x1A, "Video gain: Blue", Continuous, RW, Colour},
    {0x1C, "Focus", Continuous, RW, Geometry},
    {0x1E, "Auto setup", NonContinuous, RW, Geometry},
    {0x1F, "Auto color setup", NonContinuous, RW, Colour},
    {0x20, "Horizontal Position (Phase)", Continuous, RW, Geometry},
    {0x22, "Horizontal Size", Continuous, RW, Geometry},
    {0x24, "Horizontal Pincushion", Continuous, RW, Geometry},
    {0x26, "Horizontal Pincushion Balance", Continuous, RW, Geometry},
    {0x28, "Horizontal Convergence R/B", Continuous, RW, Geometry},
    {0x29, "Horizontal Convergence M/G", Continuous, RW, Geometry},
    {0x2A, "Horizontal Linearity", Continuous, RW, Geometry},
    {0x2C, "Horizontal Linearity Balance", Continuous, RW, Geometry},
    {0x2E, "Gray scale expansion", NonContinuous, RW, Colour},
    {0x30, "Vertical Position (Phase)", Continuous, RW, Geometry},
    {0x32, "Vertical Size", Continuous, RW, Geometry},
    {0x34, "Vertical Pincushion", Continuous, RW, Geometry},
    {0x36, "Vertical Pincushion Balance", Continuous, RW, Geometry},
    {0x38, "Vertical Convergence R/B", Continuous, RW, Geometry},
    {0x39, "Vertical Convergence M/G", Continuous, RW, Geometry},
    {0x3A, "Vertical Linearity", Continuous, RW, Geometry},
    {0x3C, "Vertical Linearity Balance", Continuous, RW, Geometry},
    {0x3E, "Clock phase", Continuous, RW, Geometry},
    {0x40, "Horizontal Parallelogram", Continuous, RW, Geometry},
    {0x41, "Vertical Parallelogram", Continuous, RW, Geometry},
    {0x42, "Horizontal Keystone", Continuous, RW, Geometry},
    {0x43, "Vertical Keystone", Continuous, RW, Geometry},
    {0x44, "Rotation", Continuous, RW, Geometry},
    {0x46, "Top Corner Flare", Continuous, RW, Geometry},
    {0x48, "Top Corner Hook", Continuous, RW, Geometry},
    {0x4A, "Bottom Corner Flare", Continuous, RW, Geometry},
    {0x4C, "Bottom Corner Hook", Continuous, RW, Geometry},
    {0x52, "Active control", NonContinuous, RO, Other},
    {0x54, "Performance Preservation", NonContinuous, RW, Other},
    {0x56, "Horizontal Moire", Continuous, RW, Geometry},
    {0x58, "Vertical Moire", Continuous, RW, Geometry},
    {0x59, "6 axis saturation: Red", Continuous, RW, Colour},
    {0x5A, "6 axis saturation: Yellow", Continuous, RW, Colour},
    {0x5B, "6 axis saturation: Green", Continuous, RW, Colour},
    {0x5C, "6 axis saturation: Cyan", Continuous, RW, Colour},
    {0x5D, "6 axis saturation: Blue", Continuous, RW, Colour},
    {0x5E, "6 axis saturation: Magenta", Continuous, RW, Colour},
    {0x60, "Input Source", NonContinuous, RW, Other},
    {0x62, "Audio speaker volume", Continuous, RW, Other},
    {0x63, "Speaker Select", NonContinuous, RW, Other},
    {0x64, "Audio: Microphone Volume", Continuous, RW, Other},
    {0x66, "Ambient light sensor", NonContinuous, RW, Other},
    {0x6B, "Backlight Level: White", Continuous, RW, Colour},
    {0x6C, "Video black level: Red", Continuous, RW, Colour},
    {0x6D, "Backlight Level: Red", Continuous, RW, Colour},
    {0x6E, "Video black level: Green", Continuous, RW, Colour},
    {0x6F, "Backlight Level: Green", Continuous, RW, Colour},
    {0x70, "Video black level: Blue", Continuous, RW, Colour},
    {0x71, "Backlight Level: Blue", Continuous, RW, Colour},
    {0x72, "Gamma", NonContinuous, RW, Colour},
    {0x73, "LUT Size", Table, RO, Colour},
    {0x74, "Single point LUT operation", Table, RW, Colour},
    {0x75, "Block LUT operation", Table, RW, Colour},
    {0x76, "Remote Procedure Call", Table, RW, Other},
    {0x78, "Display Identification Operation", Table, RO, Other},
    {0x7A, "Adjust Focal Plane", Continuous, RW, Other},
    {0x7C, "Adjust Zoom", Continuous, RW, Other},
    {0x7E, "Trapezoid", Continuous, RW, Geometry},
    {0x80, "Keystone", Continuous, RW, Geometry},
    {0x82, "Horizontal Mirror (Flip)", NonContinuous, RW, Geometry},
    {0x84, "Vertical Mirror (Flip)", NonContinuous, RW, Geometry},
    {0x86, "Display Scaling", NonContinuous, RW, Geometry},
    {0x87, "Sharpness", Continuous, RW, Other},
    {0x88, "Velocity Scan Modulation", Continuous, RW, Other},
    {0x8A, "Color Saturation", Continuous, RW, Colour},
    {0x8B, "TV Channel Up/Down", WriteOnly, RW, Other},
    {0x8C, "TV Sharpness", Continuous, RW, Other},
    {0x8D, "Audio mute/Screen blank", NonContinuous, RW, Other},
    {0x8E, "TV Contrast", Continuous, RW, Other},
    {0x8F, "Audio Treble", Continuous, RW, Other},
    {0x90, "Hue", Continuous, RW, Colour},
    {0x91, "Audio Bass", Continuous, RW, Other},
    {0x92, "TV Black level/Luminance", Continuous, RW, Other},
    {0x93, "Audio Balance L/R", Continuous, RW, Other},
    {0x94, "Audio Processor Mode", NonContinuous, RW, Other},
    {0x95, "Window Position(TL_X)", Continuous, RW, Other},
    {0x96, "Window Position(TL_Y)", Continuous, RW, Other},
    {0x97, "Window Position(BR_X)", Continuous, RW, Other},
    {0x98, "Window Position(BR_Y)", Continuous, RW, Other},
    {0x99, "Window control on/off", NonContinuous, RW, Other},
    {0x9A, "Window background", Continuous, RW, Other},
    {0x9B, "6 axis hue control: Red", Continuous, RW, Colour},
    {0x9C, "6 axis hue control: Yellow", Continuous, RW, Colour},
    {0x9D, "6 axis hue control: Green", Continuous, RW, Colour},
    {0x9E, "6 axis hue control: Cyan", Continuous, RW, Colour},
    {0x9F, "6 axis hue control: Blue", Continuous, RW, Colour},
    {0xA0, "6 axis hue control: Magenta", Continuous, RW, Colour},
    {0xA2, "Auto setup on/off", WriteOnly, RW, Geometry},
    {0xA4, "Window mask control", Table, RW, Other},
    {0xA5, "Change the selected window", NonContinuous, RW, Other},
    {0xAA, "Screen Orientation", NonContinuous, RO, Geometry},
    {0xAC, "Horizontal frequency", Continuous, RO, Other},
    {0xAE, "Vertical frequency", Continuous, RO, Other},
    {0xB0, "Settings", WriteOnly, RW, Other},
    {0xB2, "Flat panel sub-pixel layout", NonContinuous, RO, Other},
    {0xB4, "Source Timing Mode", Table, RW, Other},
    {0xB6, "Display technology type", NonContinuous, RO, Other},
    {0xB7, "Monitor status", NonContinuous, RO, Other},
    {0xB8, "Packet count", Continuous, RW, Other},
    {0xB9, "Monitor X origin", Continuous, RW, Other},
    {0xBA, "Monitor Y origin", Continuous, RW, Other},
    {0xBB, "Header error count", Continuous, RW, Other},
    {0xBC, "Body CRC error count", Continuous, RW, Other},
    {0xBD, "Client ID", Continuous, RW, Other},
    {0xBE, "Link control", NonContinuous, RW, Other},
    {0xC0, "Display usage time", Continuous, RO, Other},
    {0xC2, "Display descriptor length", Continuous, RO, Other},
    {0xC3, "Transmit display descriptor", Table, RW, Other},
    {0xC4, "Enable display of 'display descriptor'", NonContinuous, RW, Other},
    {0xC6, "Application enable key", NonContinuous, RO, Other},
    {0xC8, "Display controller type", NonContinuous, RO, Other},
    {0xC9, "Display firmware level", Continuous, RO, Other},
    {0xCA, "OSD", NonContinuous, RW, Other},
    {0xCC, "OSD Language", NonContinuous, RW, Other},
    {0xCD, "Status Indicators", NonContinuous, RW, Other},
    {0xCE, "Auxiliary display size", NonContinuous, RO, Other},
    {0xCF, "Auxiliary display data", Table, RW, Other},
    {0xD0, "Output select", NonContinuous, RW, Other},
    {0xD2, "Asset Tag", Table, RW, Other},
    {0xD4, "Stereo video mode", NonContinuous, RW, Other},
    {0xD6, "Power mode", NonContinuous, RW, Other},
    {0xD7, "Auxiliary power output", NonContinuous, RW, Other},
    {0xDA, "Scan mode", NonContinuous, RW, Geometry},
    {0xDB, "Image Mode", NonContinuous, RW, Other},
    {0xDC, "Display Mode", NonContinuous, RW, Other},
    {0xDE, "Scratch Pad", NonContinuous, RW, Other},
    {0xDF, "VCP Version", NonContinuous, RO, Other},
});

static_assert(std::is_sorted(kFeatures.begin(), kFeatures.end(),
                             [](const MccsFeature& a, const MccsFeature& b) { return a.code < b.code; }),
              "the feature table is searched by code");

}  // namespace

std::string_view featureKindName(FeatureKind kind) {
    switch (kind) {
    case Continuous: return "continuous";
    case NonContinuous: return "non-continuous";
    case Table: return "table";
    case WriteOnly: return "write-only";
    }
    return "?";
}

std::span<const MccsFeature> mccsFeatures() { return kFeatures; }

std::optional<MccsFeature> mccsFeature(std::uint8_t code) {
    const auto* found = std::lower_bound(kFeatures.begin(), kFeatures.end(), code,
                                         [](const MccsFeature& feature, std::uint8_t c) { return feature.code < c; });
    if (found == kFeatures.end() || found->code != code) return std::nullopt;
    return *found;
}

std::string_view mccsFeatureName(std::uint8_t code) {
    if (const auto feature = mccsFeature(code)) return feature->name;
    return code >= kFirstMakerFeature ? "Manufacturer specific" : "Unknown feature";
}

}  // namespace velmora::link
