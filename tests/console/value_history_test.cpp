// The undo history's bounds, and another model starting it afresh; what it
// undoes and restores is shown through the window in test_console_dialog.
#include "console/value_history.h"

#include <gtest/gtest.h>

#include "console/console_session.h"
#include "console_on_bench.h"

namespace velmora::console {
namespace {

TEST(ValueHistory, DropsTheOldestChangeAndRefusesAnItemBeyondItsTable) {
    const ItemKey first{0x21, 0x20};
    ValueHistory history;
    for (std::size_t i = 0; i <= ValueHistory::kChangeCapacity; ++i) {
        ASSERT_TRUE(history.recordChange(first, static_cast<std::int16_t>(i), 0));
    }
    std::size_t kept = 0;
    for (; history.lastChange(); history.dropLastChange()) ++kept;
    EXPECT_EQ(kept, ValueHistory::kChangeCapacity) << "only the first change went";
    EXPECT_EQ(history.startValue(first), 0) << "its start value stays";

    for (std::size_t i = 1; i < ValueHistory::kItemCapacity; ++i) {
        ASSERT_TRUE(history.recordChange(ItemKey{0xFB, static_cast<std::int16_t>(i)}, 1, 2));
    }
    EXPECT_FALSE(history.recordChange(ItemKey{0x21, 0x22}, 7, 0));
    EXPECT_FALSE(history.startValue(ItemKey{0x21, 0x22}));
    EXPECT_TRUE(history.recordChange(first, 3, 0)) << "items already kept go on";
}

TEST(ValueHistory, LoadingAModelLeavesNothingToUndo) {
    testing::ConsoleOnBench bench;
    testing::TemporaryDirectory directory;
    directory.write("a.mdl", "; [MODEL,A]\nDIR db __VCP,5,1,20h,0\n    db 0FFh\n    end\n");
    ConsoleSession session(bench.context, directory.path(), bench.messages);
    ASSERT_TRUE(session.discoverModels());
    for (const bool reloaded : {false, true}) {
        ASSERT_TRUE(session.loadModel(0));
        session.fillLists(0);
        EXPECT_FALSE(session.canUndo() || session.pageHasChanges()) << reloaded;
        ASSERT_TRUE(session.stepItem(0, StepKey::Right));
        EXPECT_TRUE(session.canUndo() && session.pageHasChanges()) << reloaded;
    }
}

}  // namespace
}  // namespace velmora::console
