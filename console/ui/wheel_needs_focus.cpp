#include "console/ui/wheel_needs_focus.h"

#include <QEvent>
#include <QWidget>

namespace velmora::console::ui {

WheelNeedsFocus::WheelNeedsFocus(QWidget& widget) : QObject(&widget), widget_(widget) {
    if ((widget_.focusPolicy() & Qt::WheelFocus) == Qt::WheelFocus) widget_.setFocusPolicy(Qt::StrongFocus);
    widget_.installEventFilter(this);
}

bool WheelNeedsFocus::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &widget_ || event->type() != QEvent::Wheel || widget_.hasFocus()) return false;
    event->accept();
    return true;
}

}  // namespace velmora::console::ui
