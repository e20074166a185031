// Which monitor operations count as writes to the EEPROM, and so pass the
// backup check first.
#include <gtest/gtest.h>

#include "interpreter_on_bench.h"
#include "tools/memory_writing_functions.h"

namespace velmora::tools {
namespace {

TEST(MemoryWritingFunctions, SavesDeletesAndMemoryScriptsCountVcpScriptsDoNot) {
    model::ModelDescription model;
    model.modelPath = std::string(VELMORA_SAMPLE_MODELS_DIR) + "vm1995pro.mdl";
    ASSERT_EQ(model.loadModelFile(), 1);
    ASSERT_FALSE(model.errorFlag) << model.errorText;
    struct Row {
        int item;
        const char* name;
        bool writes;
    };
    for (const Row& row : {Row{0x18, "MODE SAVE", true}, Row{0x19, "STND MODE DUMP", false},
                           Row{0x1A, "ALL MODE SAVE", true}, Row{0x1B, "USER DELETE", true},
                           Row{0x1C, "GEOMETRY CENTRE (__SETVCP)", false}, Row{0x1D, "MODE 5 GEOMETRY (__USER_TBL_S)", true},
                           Row{0x3B, "USER DELETE2", true}, Row{0x54, "CHANNEL 1", false}, Row{0x58, "COLOR SAVE", true},
                           Row{0x5A, "ALL COLOR SAVE", true}, Row{0x5C, "WHITE BALANCE 9300K (__USER_TBL)", true},
                           Row{0x5D, "Test COlor", false}, Row{0x8C, "EEPROM INIT (__SET_REPLY C0 06)", true},
                           Row{0xD1, "MOIRE CANCEL OFF (__SETVCP_ONLY)", false}, Row{0xD2, "Degauss", false}}) {
        const model::ItemEntry& entry = model.itemTable[static_cast<std::size_t>(row.item)];
        EXPECT_EQ(functionWritesMemory(model, entry.kind, entry.arg), row.writes) << row.name;
    }
    struct ServiceRow {
        std::uint8_t code;
        bool writes;
    };
    for (const ServiceRow row : {ServiceRow{0x0C, true}, ServiceRow{0x58, true}, ServiceRow{0x7D, true},
                                 ServiceRow{0x50, true}, ServiceRow{0x7B, false}, ServiceRow{0x01, false}}) {
        EXPECT_EQ(serviceCodeWritesMemory(row.code), row.writes) << int(row.code);
    }
}

}  // namespace
}  // namespace velmora::tools
