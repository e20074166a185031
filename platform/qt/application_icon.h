#pragma once
#include <QIcon>

namespace velmora::platform::qt {

// The program's icon (resource 128): a CRT monitor, in 16, 32, 48 and 64 pixels.
[[nodiscard]] QIcon applicationIcon();

}  // namespace velmora::platform::qt
