#pragma once
#include <optional>
#include <ostream>
#include <string>

namespace velmora::apps::mdl {

// from-capabilities FILE|- [-o MODEL.mdl]: reads a monitor's capabilities
// string, writes a model file made from it (to standard output without
// -o) and compiles it as check does. The string's flaws are warnings on
// `err`. Returns 0, 1 when the model made does not compile cleanly, 2 for
// a file that cannot be read, binary data or an output that cannot be
// written.
int fromCapabilities(const std::string& input, const std::optional<std::string>& output, std::ostream& out,
                     std::ostream& err);

}  // namespace velmora::apps::mdl
