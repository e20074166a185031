#include "model/standard_names.h"

#include <array>

namespace velmora::model {

namespace {

constexpr std::array<StandardName, kStandardNameRows> kStandardNameTable{{
    {"NO VCP", 0x00},
    {"H-POSITION", 0x20},
    {"H-SIZE", 0x22},
    {"V-POSITION", 0x30},
    {"V-SIZE", 0x32},
    {"PINCUSHION", 0x24},
    {"TRAPEZOID", 0x42},
    {"PARALELL", 0x40},
    {"V-LINEARITY", 0x3A},
    {"PINBALANCE", 0x26},
    {"CONTRAST", 0x12},
    {"BRIGHTNESS", 0x10},
    {"RED GAIN", 0x16},
    {"GREEN GAIN", 0x18},
    {"BLUE GAIN", 0x1A},
    {"RED CUTOFF", 0x6C},
    {"GREEN CUTOFF", 0x6E},
    {"BLUE CUTOFF", 0x70},
    {"ABL", 0xF6},
    {"ROTATION", 0x44},
    {"H-LINEARITY", 0x2A},
    {"SUB-BRIGHT", 0xF4},
    {"SUB-CONTRAST", 0xF2},
    {"H-CONVERGE", 0x28},
    {"V-CONVERGE", 0x38},
    {"TOP CORNER", 0x46},
    {"H-FOCUS", 0xF0},
    {"V-FOCUS", 0xEE},
    {"S-LINEARITY", 0xEC},
    {"B +", 0xD8},
    {"H DUTY", 0xE8},
    {"COLOR CHANNEL", 0x14},
    {"HBU AMP.", 0x92},
    {"HBU DELAY", 0x94},
    {"VBU AMP.", 0x96},
    {"VBU DELAY", 0x98},
    {"H_MOIRE", 0x56},
    {"V_MOIRE", 0x58},
    {"VOLUME", 0xDE},
    {"V LINEARITY bal", 0x3C},
    {"Sub ABL", 0xE0},
    {"H-FOCUS Keystone", 0xD9},
    {"BOTTOM CORNER", 0x4A},
    {" SHIFT_KEY      ", 0xF0},
    {" MODE SAVE      ", 0x81},
    {"USER DELETE2    ", 0x82},
    {" STND COLOR DUMP", 0x83},
    {"  ALL COLOR SAVE", 0x84},
    {"  STND MODE DUMP", 0x85},
    {" COLOR SAVE     ", 0x86},
    {"   ALL MODE SAVE", 0x87},
    {"USER DELETE     ", 0x89},
    {"  CHANNEL 1     ", 0x93},
    {"  CHANNEL 2     ", 0x94},
    {"  CHANNEL 3     ", 0x95},
    {"  CHANNEL 4     ", 0x96},
    {"  Degauss       ", 0xA1},
    {"  Test Function ", 0x29},
    {"  Test COlor    ", 0x2A},
}};

}  // namespace

const StandardName& standardName(std::size_t row) { return kStandardNameTable.at(row); }

std::optional<std::string_view> standardVcpName(std::uint8_t code) {
    for (std::size_t row = kFirstVcpNameRow; row <= kLastVcpNameRow; ++row) {
        if (kStandardNameTable[row].code == code) return kStandardNameTable[row].name;
    }
    return std::nullopt;
}

std::string_view standardFunctionName(std::uint8_t code) {
    for (std::size_t row = kFirstFunctionNameRow; row <= kLastFunctionNameRow; ++row) {
        if (kStandardNameTable[row].code == code) return kStandardNameTable[row].name;
    }
    return kNoVcpName;
}

}  // namespace velmora::model
