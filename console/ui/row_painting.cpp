#include "console/ui/row_painting.h"

#include <QPainter>

namespace velmora::console::ui {
namespace {

const QColor kWhite(0xFF, 0xFF, 0xFF);
const QColor kBlack(0x00, 0x00, 0x00);
const QColor kLightGrey(0xC0, 0xC0, 0xC0);

RowColours inverted(const RowColours& colours) {
    return {invertedColour(colours.background), invertedColour(colours.text),
            invertedColour(colours.lightEdge), invertedColour(colours.darkEdge)};
}

// Draws one line of text with its top left corner at the given point.
void drawTextAt(QPainter& painter, const QRect& row, int left, int top, const QString& text) {
    const QRect area(row.left() + left, row.top() + top, row.width() + row.width(), row.height());
    painter.drawText(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}

}  // namespace

QColor invertedColour(const QColor& colour) {
    return QColor(255 - colour.red(), 255 - colour.green(), 255 - colour.blue(), colour.alpha());
}

RowColours itemRowColours(bool selected) {
    const RowColours plain{kWhite, kBlack, kWhite, kWhite};
    return selected ? inverted(plain) : plain;
}

RowColours functionRowColours(bool selected) {
    const RowColours plain{kLightGrey, kBlack, kWhite, kBlack};
    return selected ? inverted(plain) : plain;
}

void paintItemRow(QPainter& painter, const QRect& row, const QString& name,
                  const QString& valueText, bool selected) {
    const RowColours colours = itemRowColours(selected);
    painter.save();
    painter.setClipRect(row);
    painter.fillRect(row, colours.background);
    painter.setPen(colours.text);
    drawTextAt(painter, row, kItemNameLeft, kItemTextTop, name);
    drawTextAt(painter, row, kItemValueLeft, kItemTextTop, valueText);
    painter.restore();
}

void paintFunctionRow(QPainter& painter, const QRect& row, const QString& text, bool selected) {
    const RowColours colours = functionRowColours(selected);
    painter.save();
    painter.setClipRect(row);
    painter.fillRect(row, colours.background);
    if (row.height() > 0) {
        // One-pixel raised frame; the dark edges are drawn last so that they
        // own the bottom-left and top-right corner pixels.
        painter.fillRect(QRect(row.left(), row.top(), row.width(), 1), colours.lightEdge);
        painter.fillRect(QRect(row.left(), row.top(), 1, row.height()), colours.lightEdge);
        painter.fillRect(QRect(row.left(), row.bottom(), row.width(), 1), colours.darkEdge);
        painter.fillRect(QRect(row.right(), row.top(), 1, row.height()), colours.darkEdge);
        painter.setPen(colours.text);
        drawTextAt(painter, row, kFunctionTextLeft, kFunctionTextTop, text);
    }
    painter.restore();
}

}  // namespace velmora::console::ui
