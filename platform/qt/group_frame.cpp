#include "platform/qt/group_frame.h"

#include <QPainter>
#include <QStyle>

namespace velmora::platform::qt {

void GroupFrame::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const int frameTop = metrics.height() / 2;
    const QRect frame(0, frameTop, width() - 2, height() - frameTop - 2);

    // Etched line: a shadow line with a highlight one pixel below and right.
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(frame.translated(1, 1));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(frame);

    if (title().isEmpty()) {
        return;
    }
    const int indent = metrics.averageCharWidth();
    const int gap = 2;
    const QRect textArea(indent, 0, metrics.horizontalAdvance(title()) + 2 * gap, metrics.height());
    painter.fillRect(textArea, palette().color(QPalette::Window));
    style()->drawItemText(&painter, textArea.adjusted(gap, 0, 0, 0),
                          Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic, palette(),
                          isEnabled(), title(), QPalette::WindowText);
}

}  // namespace velmora::platform::qt
