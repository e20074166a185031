#include "console/ui/digit_key_watch.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace velmora::console::ui {

namespace {

std::optional<int> digitOf(const QKeyEvent& event) {
    return mainKeyboardDigit(event.nativeScanCode(), event.key(),
                             event.modifiers().testFlag(Qt::KeypadModifier));
}

}  // namespace

DigitKeyWatch::DigitKeyWatch(const QObject& list, QObject* parent) : QObject(parent), list_(list) {
    QCoreApplication::instance()->installEventFilter(this);
}

std::optional<int> DigitKeyWatch::newDigitPress(const QKeyEvent& event) {
    const std::optional<int> digit = digitOf(event);
    if (!digit) return std::nullopt;
    if (states_.press(*digit, event.timestamp(), event.isAutoRepeat()) != DigitPress::New) return std::nullopt;
    return digit;
}

bool DigitKeyWatch::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease) return false;
    const auto& key = *static_cast<QKeyEvent*>(event);
    const std::optional<int> digit = digitOf(key);
    if (!digit) return false;
    if (type == QEvent::KeyRelease) {
        // Seen by the window and then by each widget it passes: the same
        // release again changes nothing.
        states_.release(*digit, key.timestamp());
    } else if (watched->isWidgetType() && watched != &list_) {
        // A key-down reaches the window first and then the focus widget;
        // it is counted once, at the widget.
        (void)states_.press(*digit, key.timestamp(), key.isAutoRepeat());
    }
    return false;
}

}  // namespace velmora::console::ui
