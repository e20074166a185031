#pragma once
#include <string>

namespace velmora::platform {

// Why display modes cannot be set from this session, with what to do
// instead; empty when an X11 session is there to set them.
std::string displayModeObstacle();

}  // namespace velmora::platform
