// The item list's tooltip: the standard name of each VCP item's feature,
// whatever the model calls the item.
#include <gtest/gtest.h>

#include "console/item_tool_tip.h"

namespace velmora::console {
namespace {

TEST(ItemToolTip, NamesTheStandardFeatureOfVcpItems) {
    struct Row {
        ItemRecord item;
        std::string tip;
    };
    const Row rows[] = {
        {{"H-POSITION", 0x20, 0x21, 128, 255}, "VCP 20h: Horizontal Position (Phase), continuous"},
        {{"SUB-CONTRAST", 0xF2, 0xFC, 10, 255}, "VCP F2h: Manufacturer specific"},
        {{"ACTIVE", 0x52, 0x21, 0, 255}, "VCP 52h: Active control, non-continuous, read-only"},
        {{"OSD H-POSITION", static_cast<std::int16_t>(0xA210), 0xFB, 0, 255}, ""},  // a memory item has no VCP code
    };
    for (const Row& row : rows) EXPECT_EQ(itemToolTip(row.item), row.tip) << row.item.name;
}

}  // namespace
}  // namespace velmora::console
