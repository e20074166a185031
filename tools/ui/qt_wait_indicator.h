#pragma once
#include <optional>

#include "platform/qt/wait_cursor.h"
#include "tools/wait_indicator.h"

namespace velmora::tools::ui {

// The logic's wait cursor requests as the program-wide wait cursor.
class QtWaitIndicator : public WaitIndicator {
public:
    void showWaitCursor() override;
    void restoreCursor() override;

private:
    std::optional<platform::qt::WaitCursor> cursor_;
};

}  // namespace velmora::tools::ui
