#include "console/ui/item_list_keys.h"

#include <QKeyEvent>

namespace velmora::console::ui {

namespace {

bool isDialogKey(int key) {
    return key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Return || key == Qt::Key_Enter ||
           key == Qt::Key_Escape;
}

}  // namespace

ItemListKey classifyItemListKey(const QKeyEvent& event, std::optional<int> newDigitPress) {
    const bool fromKeypad = event.modifiers().testFlag(Qt::KeypadModifier);
    if (event.modifiers().testFlag(Qt::AltModifier)) {
        if (newDigitPress) return {ItemListKeyUse::AltDigit, StepKey::Left, *newDigitPress};
        return {ItemListKeyUse::Default, StepKey::Left, 0};
    }
    if (isDialogKey(event.key())) return {ItemListKeyUse::Default, StepKey::Left, 0};
    if (fromKeypad) return {};

    switch (event.key()) {
    case Qt::Key_Left: return {ItemListKeyUse::StepValue, StepKey::Left, 0};
    case Qt::Key_Right: return {ItemListKeyUse::StepValue, StepKey::Right, 0};
    case Qt::Key_PageUp: return {ItemListKeyUse::StepValue, StepKey::PageUp, 0};
    case Qt::Key_PageDown: return {ItemListKeyUse::StepValue, StepKey::PageDown, 0};
    case Qt::Key_Home: return {ItemListKeyUse::StepValue, StepKey::Home, 0};
    case Qt::Key_End: return {ItemListKeyUse::StepValue, StepKey::End, 0};
    case Qt::Key_Up:
    case Qt::Key_Down: return {ItemListKeyUse::MoveInList, StepKey::Left, 0};
    default: return {};
    }
}

}  // namespace velmora::console::ui
