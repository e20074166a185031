#pragma once
#include <cstddef>
#include <string>
#include <string_view>

#include "model/model_description.h"

namespace velmora::tools {

// The Preset Timing window: the model's name above two columns, the model's
// own timings on the left and the standard timing each matches on the right,
// line for line.
inline constexpr std::size_t kMaxListedTimings = 16;
inline constexpr std::string_view kTimingLeftHeading = " No H(kHz) V(Hz) Pol  Resolution";
inline constexpr std::string_view kTimingRightHeading = "  Velmora Standard";

struct PresetTimingTexts {
    std::string modelName;
    std::string left;   // one line per timing, each ended by "\n"
    std::string right;  // the matching standard timing of each line
};

// Fills both columns from the model's decoded timings: at most the first 16,
// up to the end mark. A timing at or above 255 kHz is listed as not defined;
// a model without timings says so in the left column.
PresetTimingTexts presetTimingTexts(const model::ModelDescription& model);

}  // namespace velmora::tools
