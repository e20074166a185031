#include "model/builtin_names.h"

#include <string>
#include <unordered_map>

namespace velmora::model {

const std::array<BuiltinName, kBuiltinNameCount> BuiltinNames = {{
    // VCP codes
    {"V_NULL_", 0x00}, {"V_HPOSI", 0x20}, {"V_HSIZE", 0x22}, {"V_VPOSI", 0x30},
    {"V_VSIZE", 0x32}, {"V_PINCU", 0x24}, {"V_TRAPE", 0x42}, {"V_PARAL", 0x40},
    {"V_VLINE", 0x3A}, {"V_PINBA", 0x26}, {"V_CONTR", 0x12}, {"V_BRIGH", 0x10},
    {"V_RGAIN", 0x16}, {"V_GGAIN", 0x18}, {"V_BGAIN", 0x1A}, {"V_R_CUT", 0x6C},
    {"V_G_CUT", 0x6E}, {"V_B_CUT", 0x70}, {"V_ABL__", 0xF6}, {"V_ROTAT", 0x44},
    {"V_HLINE", 0x2A}, {"V_SUBBR", 0xF4}, {"V_SUBCO", 0xF2}, {"V_HCONV", 0x28},
    {"V_VCONV", 0x38}, {"V_CONER", 0x46}, {"V_TCONR", 0x46}, {"V_BCONR", 0x4A},
    {"V_HFOCU", 0xF0}, {"V_VFOCU", 0xEE}, {"V_SLINE", 0xEC}, {"V_BPLUS", 0xD8},
    {"V_HDUTY", 0xE8}, {"V_COLCH", 0x14}, {"V_HBUAM", 0x92}, {"V_HBUDL", 0x94},
    {"V_VBUAM", 0x96}, {"V_VBUDL", 0x98}, {"V_HMOIR", 0x56}, {"V_VMOIR", 0x58},
    {"V_VOLUM", 0xDE}, {"V_VLINB", 0x3C}, {"V_SUBAB", 0xE0}, {"V_HKEYS", 0xD9},
    // Item codes: 01h to 29h are rows of the standard display names;
    // _GD_SAVE_ to _DEGAUSS_ are the function opcodes.
    {"_NULL_", 0x00}, {"_HPOSI_", 0x01}, {"_HSIZE_", 0x02}, {"_VPOSI_", 0x03},
    {"_VSIZE_", 0x04}, {"_PINCU_", 0x05}, {"_TRAPE_", 0x06}, {"_PARAL_", 0x07},
    {"_VLINE_", 0x08}, {"_PINBA_", 0x09}, {"_CONTR_", 0x0A}, {"_BRIGH_", 0x0B},
    {"_RGAIN_", 0x0C}, {"_GGAIN_", 0x0D}, {"_BGAIN_", 0x0E}, {"_R_CUT_", 0x0F},
    {"_G_CUT_", 0x10}, {"_B_CUT_", 0x11}, {"_ABL___", 0x12}, {"_ROTAT_", 0x13},
    {"_HLINE_", 0x14}, {"_SUBBR_", 0x15}, {"_SUBCO_", 0x16}, {"_HCONV_", 0x17},
    {"_VCONV_", 0x18}, {"_CONER_", 0x19}, {"_HFOCU_", 0x1A}, {"_VFOCU_", 0x1B},
    {"_SLINE_", 0x1C}, {"_BPLUS_", 0x1D}, {"_HDUTY_", 0x1E}, {"_COLCH_", 0x1F},
    {"_HBUAM_", 0x20}, {"_HBUDL_", 0x21}, {"_VBUAM_", 0x22}, {"_VBUDL_", 0x23},
    {"_HMOIR_", 0x24}, {"_VMOIR_", 0x25}, {"_VOLUM_", 0x26}, {"_VLINB_", 0x27},
    {"_SUBAB_", 0x28}, {"_HKEYS_", 0x29}, {"_BCONV_", 0x30}, {"_SHIFT_", 0xF0},
    {"_AUTO_MANUAL_", 0xF1}, {"_MODEL_SEL_UP_", 0xF2}, {"_MODEL_SEL_DN_", 0xF3},
    {"_TOGGLE_MODE_", 0xF4}, {"_RESET_JIG_", 0xAB}, {"_RESET_MONITOR_", 0x90},
    {"_GD_SAVE_", 0x81}, {"_USER_DELETE2_", 0x82}, {"_STD_COL_DUMP_", 0x83},
    {"_ALL_COL_SAVE_", 0x84}, {"_STD_GD_DUMP_", 0x85}, {"_COLOR_SAVE_", 0x86},
    {"_ALL_GD_SAVE_", 0x87}, {"_USER_DELETE_", 0x89}, {"_CHANNEL1_", 0x93},
    {"_CHANNEL2_", 0x94}, {"_CHANNEL3_", 0x95}, {"_DEGAUSS_", 0xA1},
    // Chunk identifiers
    {"__NAME", 0x01}, {"__PAGE", 0x02}, {"__STD_GD", 0x03}, {"__STD_COLOR", 0x04},
    {"__ALL_GD", 0x05}, {"__ALL_COLOR", 0x06}, {"__VCP", 0x07}, {"__KEY", 0x08},
    {"__AUTO", 0x09}, {"__MAX", 0x0A}, {"__REV", 0x0B},
    // Command opcodes
    {"__SETVCP", 0x20}, {"__SETVCP_UP", 0x21}, {"__SETVCP_DOWN", 0x22},
    {"__SET_REPLY", 0x23}, {"__SETVCP_ONLY", 0x24}, {"__DELAY", 0x25},
    {"__SOUND", 0x26}, {"__USER_TBL", 0x27}, {"__USER_TBL_S", 0x28},
    {"__TESTVCP", 0x29}, {"__TESTCOLOR", 0x2A}, {"__SETONLY", 0x2B},
    // Status codes
    {"S_ERROR", 0xC0}, {"S_END__", 0xC1}, {"S_CH_CH", 0xC2}, {"S_AUTOM", 0xC3},
    {"S_MA_GE", 0xC4}, {"S_MA_CO", 0xC5}, {"S_MA_U1", 0xC6}, {"S_MA_U2", 0xC7},
    {"S_UP___", 0xC8}, {"S_DOWN_", 0xC9}, {"S_OK___", 0xCA},
    // Page bases and key modifiers
    {"PAGE1", 0x00}, {"PAGE2", 0x40}, {"PAGE3", 0x80}, {"PAGE4", 0xC0},
    {"SHIFT", 0x20}, {"REV", 0x40},
}};

std::optional<std::uint16_t> findBuiltinName(std::string_view name) {
    // Built once, read-only afterwards; emplace keeps the first row of a name,
    // which is the row a search in table order would find.
    static const std::unordered_map<std::string_view, std::uint16_t> index = [] {
        std::unordered_map<std::string_view, std::uint16_t> map;
        for (const BuiltinName& row : BuiltinNames) map.emplace(row.name, row.value);
        return map;
    }();
    const auto found = index.find(name);
    if (found == index.end()) return std::nullopt;
    return found->second;
}

}  // namespace velmora::model
