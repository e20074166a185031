#pragma once
#include <QImage>
#include <QString>

#include <optional>
#include <span>
#include <string_view>

namespace velmora::tools::ui {

// The pictures a technician aligns a tube by.
enum class TestPattern {
    Crosshatch,        // 16 x 12 cells (square on a 4:3 tube), doubled centre lines
    Dots,              // a dot where the crosshatch's lines cross
    Circles,           // a circle filling the height and four in the corners, round on a 4:3 tube
    Border,            // a one-pixel frame on the picture's outermost pixels
    ColourBars,        // white, yellow, cyan, green, magenta, red, blue, black
    PurityRed,
    PurityGreen,
    PurityBlue,
    PurityWhite,
    PurityBlack,
    ConvergenceRed,    // the crosshatch in one primary: the others must lie on it
    ConvergenceGreen,
    ConvergenceBlue,
    GreySteps,         // eight steps from black to white
    GreyWindowLow,     // a low-light grey window on black (cut-off)
    GreyWindowHigh,    // a white window on black (drive)
    Focus,             // fine text and one-pixel stripes, centre and corners
    Moire,             // alternating one-pixel columns (top) and lines (bottom)
};

struct TestPatternName {
    TestPattern pattern;
    std::string_view name;  // as typed on the command line
};

// Every pattern, in stepping order.
std::span<const TestPatternName> testPatterns();
std::optional<TestPattern> findTestPattern(std::string_view name);
std::string_view testPatternName(TestPattern pattern);
// The names separated by ", ", for messages.
QString testPatternNames();

// The pattern at exactly `size` pixels; a caption not empty goes into the
// top-left corner, black on white.
QImage renderTestPattern(TestPattern pattern, QSize size, const QString& caption);

// Where the crosshatch's vertical (or horizontal) lines lie across `extent`
// pixels split into `cells`: the first pixel, the last, and evenly between.
int gridLine(int index, int cells, int extent);
inline constexpr int kGridColumns = 16;
inline constexpr int kGridRows = 12;

}  // namespace velmora::tools::ui
