#include "platform/qt/wait_cursor.h"

#include <QApplication>
#include <QCursor>

namespace velmora::platform::qt {

WaitCursor::WaitCursor() {
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

WaitCursor::~WaitCursor() {
    restore();
}

void WaitCursor::restore() {
    if (active_) {
        active_ = false;
        QApplication::restoreOverrideCursor();
    }
}

}  // namespace velmora::platform::qt
