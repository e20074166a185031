// The undo history without a window: what it keeps, in which order, within
// its capacities, and that another model starts it afresh.
#include "console/value_history.h"

#include <gtest/gtest.h>

#include "console/console_session.h"
#include "console_on_bench.h"

namespace velmora::console {
namespace {

constexpr ItemKey kHPosition{0x21, 0x20};
constexpr ItemKey kHSize{0x21, 0x22};

TEST(ValueHistory, UndoesLastFirstAndKeepsEachItemsFirstValue) {
    ValueHistory history;
    EXPECT_TRUE(history.recordChange(kHPosition, 10, 0));
    EXPECT_TRUE(history.recordChange(kHPosition, 20, 0));
    EXPECT_TRUE(history.recordChange(kHSize, 5, 1));
    const struct {
        ItemKey item;
        std::int16_t previous;
        int page;
    } expected[] = {{kHSize, 5, 1}, {kHPosition, 20, 0}, {kHPosition, 10, 0}};
    for (const auto& change : expected) {
        const auto last = history.lastChange();
        ASSERT_TRUE(last);
        EXPECT_EQ(last->item, change.item);
        EXPECT_EQ(last->previous, change.previous);
        EXPECT_EQ(last->page, change.page);
        history.dropLastChange();
    }
    EXPECT_FALSE(history.lastChange());
    // Undone changes leave the start values for "Restore values read at start".
    EXPECT_EQ(history.startValue(kHPosition), 10);
    EXPECT_EQ(history.startValue(kHSize), 5);
    EXPECT_FALSE(history.startValue(ItemKey{0x21, 0x30}));
    history.clear();
    EXPECT_FALSE(history.startValue(kHPosition));
}

TEST(ValueHistory, CapacitiesDropTheOldestStepAndRefuseANewItem) {
    ValueHistory history;
    for (std::size_t i = 0; i <= ValueHistory::kChangeCapacity; ++i) {
        ASSERT_TRUE(history.recordChange(kHPosition, static_cast<std::int16_t>(i % 256), 0));
    }
    std::size_t kept = 0;
    std::int16_t oldest = -1;
    for (; history.lastChange(); history.dropLastChange(), ++kept) oldest = history.lastChange()->previous;
    EXPECT_EQ(kept, ValueHistory::kChangeCapacity);
    EXPECT_EQ(oldest, 1) << "the first change went";
    EXPECT_EQ(history.startValue(kHPosition), 0) << "its start value stays";

    for (std::size_t i = 1; i < ValueHistory::kItemCapacity; ++i) {
        ASSERT_TRUE(history.recordChange(ItemKey{0x21, static_cast<std::int16_t>(0x100 + i)}, 1, 0));
    }
    EXPECT_FALSE(history.recordChange(kHSize, 7, 0));
    EXPECT_FALSE(history.startValue(kHSize));
    EXPECT_NE(history.lastChange()->item, kHSize);
    EXPECT_TRUE(history.recordChange(kHPosition, 3, 0)) << "items already kept go on";
}

TEST(ValueHistory, LoadingAModelLeavesNothingToUndo) {
    testing::ConsoleOnBench bench;
    testing::TemporaryDirectory directory;
    directory.write("a.mdl", "; [MODEL,A]\nDIR db __VCP,5,1,20h,0\n    db 0FFh\n    end\n");
    ConsoleSession session(bench.context, directory.path(), bench.messages);
    ASSERT_TRUE(session.discoverModels());
    ASSERT_TRUE(session.loadModel(0));
    session.fillLists(0);
    ASSERT_TRUE(session.stepItem(0, StepKey::Right));
    EXPECT_TRUE(session.canUndo());
    EXPECT_TRUE(session.pageHasChanges());
    ASSERT_TRUE(session.loadModel(0));  // Reload
    session.fillLists(0);
    EXPECT_FALSE(session.canUndo());
    EXPECT_FALSE(session.pageHasChanges());
    EXPECT_EQ(session.undoLastChange().outcome, ConsoleSession::UndoOutcome::NothingToUndo);
}

}  // namespace
}  // namespace velmora::console
