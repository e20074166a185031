#include "console/ui/scroll_code_translator.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include "console/value_adjustment.h"

namespace velmora::console::ui {

namespace {

int code(ScrollCode scrollCode) { return static_cast<int>(scrollCode); }

}  // namespace

ScrollCodeTranslator::ScrollCodeTranslator(QScrollBar& bar) : QObject(&bar), bar_(bar) {
    // Qt scroll bars invert their keys (Left steps right) to match their
    // wheel; the wheel is translated here, so the keys act as labelled.
    bar_.setInvertedControls(false);
    bar_.installEventFilter(this);
    connect(&bar_, &QAbstractSlider::actionTriggered, this, &ScrollCodeTranslator::onActionTriggered);
    connect(&bar_, &QAbstractSlider::sliderReleased, this, &ScrollCodeTranslator::onSliderReleased);
}

void ScrollCodeTranslator::onActionTriggered(int action) {
    const int position = bar_.sliderPosition();
    switch (static_cast<QAbstractSlider::SliderAction>(action)) {
    case QAbstractSlider::SliderSingleStepSub: emit scrolled(code(ScrollCode::LineLeft), position); break;
    case QAbstractSlider::SliderSingleStepAdd: emit scrolled(code(ScrollCode::LineRight), position); break;
    case QAbstractSlider::SliderPageStepSub: emit scrolled(code(ScrollCode::PageLeft), position); break;
    case QAbstractSlider::SliderPageStepAdd: emit scrolled(code(ScrollCode::PageRight), position); break;
    case QAbstractSlider::SliderToMinimum: emit scrolled(code(ScrollCode::LeftEnd), position); break;
    case QAbstractSlider::SliderToMaximum: emit scrolled(code(ScrollCode::RightEnd), position); break;
    case QAbstractSlider::SliderMove:
        emit scrolled(code(bar_.isSliderDown() ? ScrollCode::ThumbTrack : ScrollCode::ThumbPosition), position);
        break;
    case QAbstractSlider::SliderNoAction: return;
    }
    if (mouseHeld_ || keyHeld_) {
        scrolledWhileHeld_ = true;
    } else if (!bar_.isSliderDown()) {
        endScrolling();
    }
}

void ScrollCodeTranslator::onSliderReleased() {
    emit scrolled(code(ScrollCode::ThumbPosition), bar_.sliderPosition());
    endScrolling();
}

void ScrollCodeTranslator::endScrolling() {
    mouseHeld_ = false;
    keyHeld_ = false;
    scrolledWhileHeld_ = false;
    emit scrolled(code(ScrollCode::EndScroll), bar_.sliderPosition());
}

bool ScrollCodeTranslator::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &bar_) return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        mouseHeld_ = true;
        break;
    case QEvent::MouseButtonRelease:
        // A thumb drag ends in sliderReleased, which the bar emits while it
        // handles this release; arrows and shaft end here. A press that
        // moved nothing (a right click) sends nothing: the end-of-scrolling
        // code writes the interpreter's last value, which is this item's
        // only after a step.
        if (!bar_.isSliderDown()) {
            if (scrolledWhileHeld_) endScrolling();
            mouseHeld_ = false;
        }
        break;
    case QEvent::KeyPress:
        keyHeld_ = true;
        break;
    case QEvent::KeyRelease:
        if (!static_cast<QKeyEvent*>(event)->isAutoRepeat()) {
            if (scrolledWhileHeld_) endScrolling();
            keyHeld_ = false;
        }
        break;
    case QEvent::Wheel:
        return handleWheel(event);
    default:
        break;
    }
    return false;
}

bool ScrollCodeTranslator::handleWheel(QEvent* event) {
    const QPoint delta = static_cast<QWheelEvent*>(event)->angleDelta();
    const int amount = delta.y() != 0 ? delta.y() : delta.x();
    if (amount != 0 && !bar_.isSliderDown()) {
        emit scrolled(code(amount > 0 ? ScrollCode::LineRight : ScrollCode::LineLeft), bar_.sliderPosition());
        emit scrolled(code(ScrollCode::EndScroll), bar_.sliderPosition());
    }
    event->accept();
    return true;
}

}  // namespace velmora::console::ui
