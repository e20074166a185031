#pragma once
#include <QColor>
#include <QRect>
#include <QString>

class QPainter;

namespace velmora::console::ui {

// Every row of the item list and the function list is this many pixels high.
inline constexpr int kListRowHeight = 20;

// Where the texts of a row start, from the row's top left corner.
inline constexpr int kItemNameLeft = 10;
inline constexpr int kItemValueLeft = 130;
inline constexpr int kItemTextTop = 2;
inline constexpr int kFunctionTextLeft = 5;
inline constexpr int kFunctionTextTop = 4;

// The colours a row is painted with. A selected row is painted with every
// colour inverted, which looks exactly like inverting the finished row but
// needs no raster operations, so it works on any paint device.
struct RowColours {
    QColor background;
    QColor text;
    QColor lightEdge;  // top and left edge of a raised frame
    QColor darkEdge;   // bottom and right edge
};

[[nodiscard]] RowColours itemRowColours(bool selected);
[[nodiscard]] RowColours functionRowColours(bool selected);
[[nodiscard]] QColor invertedColour(const QColor& colour);

// An adjustable item: white row, black name at +10, value text at +130.
// No focus rectangle is ever drawn.
void paintItemRow(QPainter& painter, const QRect& row, const QString& name,
                  const QString& valueText, bool selected);

// A function: light grey row in a raised one-pixel frame, text at +5, +4.
void paintFunctionRow(QPainter& painter, const QRect& row, const QString& text, bool selected);

}  // namespace velmora::console::ui
