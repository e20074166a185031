#pragma once
#include <nlohmann/json.hpp>

#include "tools/edid_decoder.h"

namespace velmora::tools {

// A decoded EDID block as one JSON object with a fixed set of keys, for
// programs on a production line: identity, basic parameters, the timings
// in the block's order, the gathered descriptor texts and the range limits.
// Rates are rounded to three decimals.
[[nodiscard]] nlohmann::json edidJson(const DecodedEdid& edid);

}  // namespace velmora::tools
