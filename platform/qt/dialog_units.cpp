#include "platform/qt/dialog_units.h"

#include <algorithm>
#include <cstdint>

namespace velmora::platform::qt {

int scaleRounded(int value, int numerator, int denominator) {
    const std::int64_t product = std::int64_t{value} * numerator;
    const std::int64_t half = denominator / 2;
    const std::int64_t rounded = product >= 0 ? (product + half) / denominator
                                              : -((-product + half) / denominator);
    return static_cast<int>(rounded);
}

DialogUnits::DialogUnits(int averageCharWidth, int charHeight)
    : averageCharWidth_(std::max(averageCharWidth, 1)), charHeight_(std::max(charHeight, 1)) {}

int DialogUnits::toPixelsX(int dialogUnits) const {
    return scaleRounded(dialogUnits, averageCharWidth_, 4);
}

int DialogUnits::toPixelsY(int dialogUnits) const {
    return scaleRounded(dialogUnits, charHeight_, 8);
}

PixelRect DialogUnits::toPixels(const DialogRect& rect) const {
    const int left = toPixelsX(rect.x);
    const int top = toPixelsY(rect.y);
    const int right = toPixelsX(rect.x + rect.width);
    const int bottom = toPixelsY(rect.y + rect.height);
    return {left, top, right - left, bottom - top};
}

}  // namespace velmora::platform::qt
