#pragma once
#include <cstdint>
#include <string>

#include "model/model_description.h"

namespace velmora::model {

// The name the item list shows for a VCP item: its own text when it has a
// non-empty one, else the standard name of its VCP code, else "I Don't know".
std::string vcpItemName(const ModelDescription& model, const ItemEntry& entry, std::uint8_t code);

// The name the function list shows for an entry (before its Alt+digit
// prefix): a service key's text, or by the flags of its name reference the
// image text, the KEY name or the built-in function's standard name.
std::string functionName(const ModelDescription& model, const ItemEntry& entry);

}  // namespace velmora::model
