#pragma once
#include <string>
#include <string_view>

#include "link/capabilities_parser.h"

namespace velmora::tools {

// A model file for a monitor known only by its capabilities: the standard
// continuous features it lists as items under their standard names, on the
// Geometry, Color and Extra 1 pages by their group; its write-only features
// (degauss, the restore functions) as functions; [MODEL] from the string,
// [PROTOCOL,DDC2Bi] as every DDC/CI monitor replies. The jig's factory
// functions that every model has by default are hidden: they would send
// requests only Velmora's own monitors understand. What it leaves out
// (non-continuous, read-only, table and makers' features, and what does not
// fit the model image) is listed in comments for the author who takes it
// on. `source` says where the string came from, for the heading.
std::string modelFromCapabilities(const link::Capabilities& capabilities, std::string_view source);

}  // namespace velmora::tools
