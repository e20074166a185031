#pragma once
#include <optional>

#include "console/value_adjustment.h"

class QKeyEvent;

namespace velmora::console::ui {

// What a key-down in the item list does. Only the cursor block counts:
// a key from the numeric keypad (Qt marks it with the keypad modifier, the
// arrows of a keypad with NumLock off included) is swallowed like every
// other key the list does not use.
enum class ItemListKeyUse {
    StepValue,   // Left, Right, Page Up, Page Down, Home, End: one value step
    MoveInList,  // Up, Down: the list moves its selection
    AltDigit,    // Alt + a digit key of the main keyboard that has just gone down
    Default,     // dialog keys (Tab, Enter, Escape) and other Alt keys: normal handling
    Swallow,     // everything else: the list never sees it
};

struct ItemListKey {
    ItemListKeyUse use = ItemListKeyUse::Swallow;
    StepKey step = StepKey::Left;  // for StepValue
    int digit = 0;                 // for AltDigit: 0..9
};

// `newDigitPress`: the digit (0..9) when the event is a digit key of the
// main keyboard going down (not held), else nothing; see DigitKeyWatch. An
// Alt key-down of a held digit key takes the normal handling.
[[nodiscard]] ItemListKey classifyItemListKey(const QKeyEvent& event, std::optional<int> newDigitPress);

}  // namespace velmora::console::ui
