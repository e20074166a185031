// What each item kind is to the console, velmora-jigctl and the listing.
#include <gtest/gtest.h>

#include "model/item_kinds.h"

namespace velmora::model {
namespace {

struct KindRow {
    std::int16_t kind;
    bool memory;    // a byte of the monitor's memory
    bool function;  // RUN executes it
    bool readable;  // its value is read from the monitor
};

TEST(ItemKinds, SortEveryKindIntoOneGroup) {
    const KindRow rows[] = {
        {0x00, false, false, false},  // empty entry
        {0x21, false, false, false},  // VCP up
        {0x22, false, false, false},  // VCP down
        {0x20, false, true, false},   // __SETVCP as a built-in
        {0x85, false, true, false},   // STND MODE DUMP
        {0x9F, false, true, false},   // just below the memory kinds
        {0xA0, true, false, false},   // first memory kind
        {0xFA, true, false, false},   // memory type 2
        {0xFB, true, false, true},    // memory type 1: device byte
        {0xFC, false, false, false},  // service VCP
        {0xFD, false, true, false},   // service key script
        {0xFE, false, true, false},   // script
        {0xFF, false, true, false},
    };
    for (const KindRow& row : rows) {
        EXPECT_EQ(isServiceMemoryKind(row.kind), row.memory) << "kind " << std::hex << row.kind;
        EXPECT_EQ(isFunctionKind(row.kind), row.function) << "kind " << std::hex << row.kind;
        EXPECT_EQ(isReadableMemoryKind(row.kind), row.readable) << "kind " << std::hex << row.kind;
        EXPECT_EQ(isServiceItemKind(row.kind), row.memory || row.kind == 0xFC) << "kind " << std::hex << row.kind;
    }
}

struct MemoryRow {
    std::int16_t kind;
    std::uint16_t code;
    std::uint8_t page;
    std::uint8_t count;
};

TEST(ItemKinds, MemoryItemsNameTheirPageAndCount) {
    const MemoryRow rows[] = {
        {0xFB, 0xA010, 0, 1},  // device byte A0h: page 0
        {0xFB, 0xA610, 3, 1},  // device byte A6h: page 3
        {0xFA, 0x0210, 2, 2},  // page in the high byte, memory type 2
        {0xA0, 0x0130, 1, 0x5C},
    };
    for (const MemoryRow& row : rows) {
        const auto code = static_cast<std::int16_t>(row.code);
        EXPECT_EQ(memoryItemPage(row.kind, code), row.page) << "kind " << std::hex << row.kind << " code " << row.code;
        EXPECT_EQ(memoryItemCount(row.kind), row.count) << "kind " << std::hex << row.kind;
    }
}

}  // namespace
}  // namespace velmora::model
