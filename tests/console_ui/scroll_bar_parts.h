#pragma once
#include <QPoint>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>

namespace velmora::console::ui::testing {

// The centre of one part of a scroll bar (arrow, shaft, thumb) as its
// style lays the bar out at present.
inline QPoint scrollBarPart(const QScrollBar& bar, QStyle::SubControl part) {
    QStyleOptionSlider option;
    option.initFrom(&bar);
    option.subControls = QStyle::SC_All;
    option.activeSubControls = QStyle::SC_None;
    option.orientation = bar.orientation();
    option.minimum = bar.minimum();
    option.maximum = bar.maximum();
    option.sliderPosition = bar.sliderPosition();
    option.sliderValue = bar.value();
    option.singleStep = bar.singleStep();
    option.pageStep = bar.pageStep();
    option.upsideDown = bar.invertedAppearance();
    if (bar.orientation() == Qt::Horizontal) option.state |= QStyle::State_Horizontal;
    return bar.style()->subControlRect(QStyle::CC_ScrollBar, &option, part, &bar).center();
}

}  // namespace velmora::console::ui::testing
