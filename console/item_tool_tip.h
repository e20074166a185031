#pragma once
#include <string>

#include "console/page_lists.h"

namespace velmora::console {

// What the item list's tooltip says of an item beside the name the model
// gives it: for a VCP item, its code with the feature's standard (MCCS)
// name and kind, "VCP 20h: Horizontal Position (Phase), continuous"; for a
// memory item, nothing.
std::string itemToolTip(const ItemRecord& item);

}  // namespace velmora::console
