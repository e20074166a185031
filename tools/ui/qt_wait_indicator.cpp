#include "tools/ui/qt_wait_indicator.h"

namespace velmora::tools::ui {

void QtWaitIndicator::showWaitCursor() {
    // A second request while the cursor is up keeps the one cursor.
    if (!cursor_) cursor_.emplace();
}

void QtWaitIndicator::restoreCursor() { cursor_.reset(); }

}  // namespace velmora::tools::ui
