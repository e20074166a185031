#pragma once
#include <string>

#include <nlohmann/json.hpp>

#include "link/reply_mode.h"
#include "model/model_description.h"

namespace velmora::apps::mdl {

std::string_view replyModeName(link::ReplyMode mode);

// The compiled model as one JSON object (the keys of `velmora-mdl dump`).
// `replyMode` is the link's mode after the load.
nlohmann::json modelToJson(const model::ModelDescription& model, int loaded, link::ReplyMode replyMode);

// One report as compilers print them, for editors and CI to jump to:
// "FILE:LINE:COLUMN: SEVERITY: TEXT", without the column when it is 0 and
// without line and column when the line is 0.
std::string diagnosticLine(const std::string& fileName, int line, int column, std::string_view severity,
                           std::string_view text);

// One line: the file, the model's name, its page count and decoded timings.
std::string summaryLine(const std::string& fileName, const model::ModelDescription& model);

}  // namespace velmora::apps::mdl
