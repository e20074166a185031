#pragma once
#include <QObject>

class QWidget;

namespace velmora::console::ui {

// Lets the mouse wheel act on a widget only while the widget has the
// keyboard focus. A wheel turned to scroll the window past the model
// selector or the page tabs must not choose another model (a recompile and
// a full re-read) or another page. The widget no longer takes the focus by
// the wheel either: a click or Tab gives it.
class WheelNeedsFocus : public QObject {
    Q_OBJECT
public:
    // Guards `widget` while it lives (the guard is its child).
    explicit WheelNeedsFocus(QWidget& widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& widget_;
};

}  // namespace velmora::console::ui
