#include "tools/ui/test_patterns.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>

namespace velmora::tools::ui {

namespace {

constexpr TestPatternName kPatterns[] = {
    {TestPattern::Crosshatch, "crosshatch"},
    {TestPattern::Dots, "dots"},
    {TestPattern::Circles, "circles"},
    {TestPattern::Border, "border"},
    {TestPattern::ColourBars, "colour-bars"},
    {TestPattern::PurityRed, "purity-red"},
    {TestPattern::PurityGreen, "purity-green"},
    {TestPattern::PurityBlue, "purity-blue"},
    {TestPattern::PurityWhite, "purity-white"},
    {TestPattern::PurityBlack, "purity-black"},
    {TestPattern::ConvergenceRed, "convergence-red"},
    {TestPattern::ConvergenceGreen, "convergence-green"},
    {TestPattern::ConvergenceBlue, "convergence-blue"},
    {TestPattern::GreySteps, "grey-steps"},
    {TestPattern::GreyWindowLow, "grey-window-low"},
    {TestPattern::GreyWindowHigh, "grey-window-high"},
    {TestPattern::Focus, "focus"},
    {TestPattern::Moire, "moire"},
};

// Low light for the cut-off window: a fifth of full drive.
constexpr int kLowLight = 51;

// Lines one pixel wide at exact pixel positions: fills, not pens, so that
// no antialiasing or pen geometry moves them.
void hLine(QPainter& p, int y, QColor colour) { p.fillRect(0, y, p.device()->width(), 1, colour); }
void vLine(QPainter& p, int x, QColor colour) { p.fillRect(x, 0, 1, p.device()->height(), colour); }

void crosshatch(QPainter& p, QSize size, QColor colour) {
    for (int i = 0; i <= kGridColumns; ++i) vLine(p, gridLine(i, kGridColumns, size.width()), colour);
    for (int j = 0; j <= kGridRows; ++j) hLine(p, gridLine(j, kGridRows, size.height()), colour);
    // The centre lines are doubled so that the centre is found at a glance.
    vLine(p, gridLine(kGridColumns / 2, kGridColumns, size.width()) - 1, colour);
    hLine(p, gridLine(kGridRows / 2, kGridRows, size.height()) - 1, colour);
}

void dots(QPainter& p, QSize size) {
    for (int i = 0; i <= kGridColumns; ++i) {
        for (int j = 0; j <= kGridRows; ++j) {
            const int x = std::min(gridLine(i, kGridColumns, size.width()), size.width() - 2);
            const int y = std::min(gridLine(j, kGridRows, size.height()), size.height() - 2);
            p.fillRect(x, y, 2, 2, Qt::white);
        }
    }
}

// Circles round on the tube: a 4:3 tube's pixel is (4/3) / (w/h) as wide as high.
void circles(QPainter& p, QSize size) {
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Qt::white, 1));
    p.setBrush(Qt::NoBrush);
    const double widthPerHeight = (double(size.width()) / size.height()) / (4.0 / 3.0);
    const auto circle = [&](QPointF centre, double radiusLines) {
        p.drawEllipse(centre, radiusLines * widthPerHeight, radiusLines);
    };
    const QPointF centre((size.width() - 1) / 2.0, (size.height() - 1) / 2.0);
    circle(centre, (size.height() - 1) / 2.0);
    const double small = size.height() / 8.0;
    for (const QPointF corner : {QPointF(small * widthPerHeight, small), QPointF(size.width() - 1 - small * widthPerHeight, small),
                                 QPointF(small * widthPerHeight, size.height() - 1 - small),
                                 QPointF(size.width() - 1 - small * widthPerHeight, size.height() - 1 - small)}) {
        circle(corner, small);
    }
    vLine(p, gridLine(kGridColumns / 2, kGridColumns, size.width()), Qt::white);
    hLine(p, gridLine(kGridRows / 2, kGridRows, size.height()), Qt::white);
}

void border(QPainter& p, QSize size) {
    hLine(p, 0, Qt::white);
    hLine(p, size.height() - 1, Qt::white);
    vLine(p, 0, Qt::white);
    vLine(p, size.width() - 1, Qt::white);
    // A small cross marks the centre for the position.
    const int cx = gridLine(kGridColumns / 2, kGridColumns, size.width());
    const int cy = gridLine(kGridRows / 2, kGridRows, size.height());
    p.fillRect(cx - 10, cy, 21, 1, Qt::white);
    p.fillRect(cx, cy - 10, 1, 21, Qt::white);
}

void bars(QPainter& p, QSize size, std::span<const QColor> colours) {
    const int n = static_cast<int>(colours.size());
    for (int i = 0; i < n; ++i) {
        const int left = size.width() * i / n;
        const int right = size.width() * (i + 1) / n;
        p.fillRect(left, 0, right - left, size.height(), colours[std::size_t(i)]);
    }
}

void window(QPainter& p, QSize size, QColor colour) {
    p.fillRect(size.width() / 3, size.height() / 3, size.width() - 2 * (size.width() / 3),
               size.height() - 2 * (size.height() / 3), colour);
}

void stripes(QPainter& p, QRect area) {
    const int middle = area.left() + area.width() / 2;
    for (int x = area.left(); x < middle; x += 2) p.fillRect(x, area.top(), 1, area.height(), Qt::white);
    for (int y = area.top(); y <= area.bottom(); y += 2) p.fillRect(middle, y, area.right() - middle + 1, 1, Qt::white);
}

void focus(QPainter& p, QSize size) {
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(std::max(8, size.height() / 96));
    p.setFont(font);
    p.setPen(Qt::white);
    const QFontMetrics metrics(font);
    const QString line = QString(QStringLiteral("Hm")).repeated(size.width() / std::max(1, metrics.horizontalAdvance(QStringLiteral("Hm"))) + 1);
    for (int y = metrics.ascent(); y < size.height(); y += metrics.height()) p.drawText(0, y, line);
    const int side = std::max(16, size.height() / 8);
    const QSize square(side * 2, side);
    for (const QPoint corner : {QPoint(0, 0), QPoint(size.width() - square.width(), 0),
                                QPoint(0, size.height() - side), QPoint(size.width() - square.width(), size.height() - side),
                                QPoint((size.width() - square.width()) / 2, (size.height() - side) / 2)}) {
        const QRect area(corner, square);
        p.fillRect(area, Qt::black);
        stripes(p, area);
    }
}

void moire(QPainter& p, QSize size) {
    const int middle = size.height() / 2;
    for (int x = 0; x < size.width(); x += 2) p.fillRect(x, 0, 1, middle, Qt::white);
    for (int y = middle; y < size.height(); y += 2) p.fillRect(0, y, size.width(), 1, Qt::white);
}

void caption(QPainter& p, QSize size, const QString& text) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(std::clamp(size.height() / 40, 11, 24));
    p.setFont(font);
    const QFontMetrics metrics(font);
    const int margin = metrics.height() / 3;
    QRect box = metrics.boundingRect(QRect(0, 0, size.width() - 4 * margin, size.height()), Qt::TextWordWrap, text);
    box.adjust(-margin, -margin, margin, margin);
    box.moveTopLeft(QPoint(2 * margin, 2 * margin));
    p.fillRect(box, Qt::white);
    p.setPen(Qt::black);
    p.drawText(box.adjusted(margin, margin, -margin, -margin), Qt::TextWordWrap, text);
}

}  // namespace

int gridLine(int index, int cells, int extent) {
    return std::min(extent - 1, static_cast<int>(std::lround(double(index) * extent / cells)));
}

std::span<const TestPatternName> testPatterns() { return kPatterns; }

std::optional<TestPattern> findTestPattern(std::string_view name) {
    for (const TestPatternName& entry : kPatterns) {
        if (entry.name == name) return entry.pattern;
    }
    return std::nullopt;
}

std::string_view testPatternName(TestPattern pattern) {
    for (const TestPatternName& entry : kPatterns) {
        if (entry.pattern == pattern) return entry.name;
    }
    return {};
}

QString testPatternNames() {
    QStringList names;
    for (const TestPatternName& entry : kPatterns) names << QString::fromLatin1(entry.name.data(), qsizetype(entry.name.size()));
    return names.join(QStringLiteral(", "));
}

QImage renderTestPattern(TestPattern pattern, QSize size, const QString& text) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    const QColor grey = QColor(kLowLight, kLowLight, kLowLight);
    switch (pattern) {
    case TestPattern::Crosshatch: crosshatch(p, size, Qt::white); break;
    case TestPattern::Dots: dots(p, size); break;
    case TestPattern::Circles: circles(p, size); break;
    case TestPattern::Border: border(p, size); break;
    case TestPattern::ColourBars: {
        const std::array<QColor, 8> colours{Qt::white, Qt::yellow, Qt::cyan, Qt::green,
                                            Qt::magenta, Qt::red, Qt::blue, Qt::black};
        bars(p, size, colours);
        break;
    }
    case TestPattern::PurityRed: image.fill(Qt::red); break;
    case TestPattern::PurityGreen: image.fill(Qt::green); break;
    case TestPattern::PurityBlue: image.fill(Qt::blue); break;
    case TestPattern::PurityWhite: image.fill(Qt::white); break;
    case TestPattern::PurityBlack: break;
    case TestPattern::ConvergenceRed: crosshatch(p, size, Qt::red); break;
    case TestPattern::ConvergenceGreen: crosshatch(p, size, Qt::green); break;
    case TestPattern::ConvergenceBlue: crosshatch(p, size, Qt::blue); break;
    case TestPattern::GreySteps: {
        std::array<QColor, 8> steps;
        for (int i = 0; i < 8; ++i) steps[std::size_t(i)] = QColor(255 * i / 7, 255 * i / 7, 255 * i / 7);
        bars(p, size, steps);
        break;
    }
    case TestPattern::GreyWindowLow: window(p, size, grey); break;
    case TestPattern::GreyWindowHigh: window(p, size, Qt::white); break;
    case TestPattern::Focus: focus(p, size); break;
    case TestPattern::Moire: moire(p, size); break;
    }
    if (!text.isEmpty()) caption(p, size, text);
    return image;
}

}  // namespace velmora::tools::ui
