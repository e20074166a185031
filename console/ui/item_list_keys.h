#pragma once
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
    AltDigit,    // Alt + 1..9, 0 of the main keyboard, not auto-repeated
    Default,     // dialog keys (Tab, Enter, Escape) and other Alt keys: normal handling
    Swallow,     // everything else: the list never sees it
};

struct ItemListKey {
    ItemListKeyUse use = ItemListKeyUse::Swallow;
    StepKey step = StepKey::Left;  // for StepValue
    int digit = 0;                 // for AltDigit: 0..9
};

[[nodiscard]] ItemListKey classifyItemListKey(const QKeyEvent& event);

}  // namespace velmora::console::ui
