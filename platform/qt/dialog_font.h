#pragma once
#include <QFont>
#include <QString>

#include "platform/qt/dialog_units.h"

namespace velmora::platform::qt {

// The font a dialog table names, mapped onto the fonts this platform has:
//   "MS Sans Serif", "System" and any other proportional face -> the
//   platform's default sans-serif; "Fixedsys" (and "Courier"/"Terminal")
//   -> the platform's fixed-pitch font. The point size is kept.
[[nodiscard]] QFont dialogFont(const QString& face, int pointSize);

// True for the faces that map onto the fixed-pitch font.
[[nodiscard]] bool isFixedPitchFace(const QString& face);

// Dialog base units measured from a font: the average width of the 52
// letters A-Z and a-z, rounded, and the font's line height.
[[nodiscard]] DialogUnits dialogUnitsFor(const QFont& font);

}  // namespace velmora::platform::qt
