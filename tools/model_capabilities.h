#pragma once
#include <string>

#include "model/model_description.h"

namespace velmora::tools {

// The capabilities string a monitor of this model would send: its name,
// the DDC/CI commands the jig's requests use, and in vcp() the VCP codes of
// the items the console lists for it (chunk 07 codes that have an item),
// in listing order. The bench monitor answers with it.
std::string capabilitiesOfModel(const model::ModelDescription& model);

}  // namespace velmora::tools
