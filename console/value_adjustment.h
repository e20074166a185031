#pragma once
#include <cstdint>

#include "console/page_lists.h"
#include "model/feature_interpreter.h"
#include "platform/clock.h"

namespace velmora::console {

// What the value scroll bar reports, numbered as the scroll bar sends them.
enum class ScrollCode : int {
    LineLeft = 0,       // arrow button
    LineRight = 1,
    PageLeft = 2,       // click in the shaft
    PageRight = 3,
    ThumbPosition = 4,  // thumb released at a position
    ThumbTrack = 5,     // thumb being dragged
    LeftEnd = 6,
    RightEnd = 7,
    EndScroll = 8,      // after every scrolling operation
};

// The keys of the cursor block that step the selected item's value.
enum class StepKey {
    Left,      // v - 1
    Right,     // v + 1
    PageUp,    // v + page step
    PageDown,  // v - page step
    Home,      // v - 1000: 0 after clamping
    End,       // v + 1000: the maximum after clamping
};

// Shaft clicks and Page keys move by a sixteenth of the range, rounded down,
// so a range below 16 does not move by page at all.
[[nodiscard]] int pageStep(int maximum);
[[nodiscard]] int clampValue(int value, int maximum);

// The unclamped value a scroll code asks for. `interpreterCurrent` is the
// value last read or written through the interpreter, which the end of
// scrolling writes once more; an unknown code keeps the value.
[[nodiscard]] int scrolledValue(int code, int current, int maximum, int thumbPosition,
                                int interpreterCurrent);
[[nodiscard]] int steppedValue(StepKey key, int current, int maximum);

// Reads and writes the selected item's value through the interpreter, as
// its kind requires: VCP items (kinds up to 22h and FCh) with ReadVcp and
// SetVcp; service memory items (A0h..FBh) with ReadMemory (kind FBh only)
// and WriteMemory on the page their code names. The link reports its own
// failures, and the record shows what the interpreter holds afterwards,
// whatever the results; the writes' results are handed back for the undo
// history, which keeps only changes that reached the monitor.
class ValueAdjuster {
public:
    static constexpr std::int32_t kReadBackDelayMs = 10;

    ValueAdjuster(model::FeatureInterpreter& interpreter, platform::Clock& clock)
        : interpreter_(interpreter), clock_(clock) {}

    // A newly selected item: its value (and maximum) from the monitor.
    void readItem(ItemRecord& record);
    // One scroll bar message. Every code writes; the end of scrolling then
    // waits 10 ms and, for VCP items, reads the monitor's value back. True
    // when the write succeeded.
    bool scroll(ItemRecord& record, int code, int thumbPosition);
    // One key-down of a stepping key; the keyboard never reads back. True
    // when the write succeeded.
    bool step(ItemRecord& record, StepKey key);
    // Writes `value` as releasing the scroll bar's thumb there does: the
    // value, the end of scrolling writing it once more and, for VCP items,
    // the read-back after 10 ms. True when both writes succeeded.
    bool setValue(ItemRecord& record, int value);

private:
    bool write(const ItemRecord& record, int value);

    model::FeatureInterpreter& interpreter_;
    platform::Clock& clock_;
};

}  // namespace velmora::console
