#pragma once
#include <string>

namespace velmora::platform {

// The user's data folder without a trailing '/': $XDG_DATA_HOME when it is
// set to an absolute path, otherwise $HOME/.local/share; empty when neither
// is known.
std::string userDataHome();

// The user's settings folder, the same way: $XDG_CONFIG_HOME, otherwise
// $HOME/.config; empty when neither is known.
std::string userConfigHome();

}  // namespace velmora::platform
