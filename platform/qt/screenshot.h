#pragma once
#include <QString>

class QWidget;

namespace velmora::platform::qt {

// Renders the widget (its client area, children included) into a PNG file.
// Works on hidden widgets and on the offscreen platform. False when the
// file cannot be written.
[[nodiscard]] bool saveScreenshot(QWidget& widget, const QString& pngPath);

}  // namespace velmora::platform::qt
