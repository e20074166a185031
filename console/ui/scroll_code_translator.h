#pragma once
#include <QObject>

class QScrollBar;

namespace velmora::console::ui {

// Turns what a Qt scroll bar does into the scroll codes 0..8 the value
// adjustment works with, in the order a classic dialog scroll bar sends
// them:
//   arrow button              0 / 1, repeated while held, 8 on release
//   click in the shaft        2 / 3, repeated while held, 8 on release
//   dragging the thumb        5 with the position at every movement,
//                             then 4 with the final position and 8 on release
//   Home / End (keyboard)     6 / 7, 8 when the key goes up
//   wheel                     one 0 / 1 per turn, then 8
// Anything else that moves the bar is followed by 8 at once, so every
// operation ends with the end-of-scrolling code. (The main window gives the
// bar no context menu.)
//
// The bar keeps moving itself as Qt scroll bars do; whoever handles
// `scrolled` sets its range and position afterwards, and that is what it
// shows.
class ScrollCodeTranslator : public QObject {
    Q_OBJECT
public:
    // Watches the bar for its lifetime (the translator is the bar's child).
    explicit ScrollCodeTranslator(QScrollBar& bar);

    [[nodiscard]] QScrollBar& bar() const { return bar_; }

signals:
    void scrolled(int code, int position);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onActionTriggered(int action);
    void onSliderReleased();
    void endScrolling();
    bool handleWheel(QEvent* event);

    QScrollBar& bar_;
    bool mouseHeld_ = false;
    bool keyHeld_ = false;
    bool scrolledWhileHeld_ = false;
};

}  // namespace velmora::console::ui
