#include "platform/qt/screenshot.h"

#include <QPixmap>
#include <QWidget>

namespace velmora::platform::qt {

bool saveScreenshot(QWidget& widget, const QString& pngPath) {
    widget.ensurePolished();
    const QPixmap picture = widget.grab();
    return !picture.isNull() && picture.save(pngPath, "PNG");
}

}  // namespace velmora::platform::qt
