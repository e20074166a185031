#pragma once

namespace velmora::platform::qt {

// A rectangle as the dialog tables give it: x, y, width, height in dialog units.
struct DialogRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const DialogRect&) const = default;
};

// A rectangle in pixels of the dialog's client area.
struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PixelRect&) const = default;
};

// Converts dialog units into pixels from the dialog font's base units:
// one horizontal unit is a quarter of the font's average character width,
// one vertical unit an eighth of its character height. Windows laid out in
// these units keep their proportions whatever font the platform supplies.
class DialogUnits {
public:
    // Base units in pixels; values below 1 are taken as 1 so that nothing
    // collapses to zero size.
    DialogUnits(int averageCharWidth, int charHeight);

    [[nodiscard]] int averageCharWidth() const { return averageCharWidth_; }
    [[nodiscard]] int charHeight() const { return charHeight_; }

    [[nodiscard]] int toPixelsX(int dialogUnits) const;
    [[nodiscard]] int toPixelsY(int dialogUnits) const;

    // Edges are converted, not sizes: left and right edge (x and x + width)
    // each map to the nearest pixel and the width is their difference, so
    // controls that touch in dialog units also touch in pixels.
    [[nodiscard]] PixelRect toPixels(const DialogRect& rect) const;

private:
    int averageCharWidth_;
    int charHeight_;
};

// value × numerator / denominator rounded to the nearest integer, halves
// away from zero (the rounding of the classic MulDiv). denominator > 0.
[[nodiscard]] int scaleRounded(int value, int numerator, int denominator);

}  // namespace velmora::platform::qt
