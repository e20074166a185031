#include "platform/qt/application_icon.h"

namespace velmora::platform::qt {

QIcon applicationIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 64}) {
        icon.addFile(QStringLiteral(":/icons/monitor_%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

}  // namespace velmora::platform::qt
