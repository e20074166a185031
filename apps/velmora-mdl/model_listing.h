#pragma once
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "model/model_description.h"

namespace velmora::apps::mdl {

// The assembler listing of a compiled model: for each source line its
// number, the address where the second pass stood, the bytes it emitted (as
// the image holds them after the compile) and the text; then the symbol
// table with each symbol's line of definition, the chunk directory as the
// chain walk finds it, and the item table with the names the console shows.
// `source` is the text the model was compiled from.
std::string listingText(const model::ModelDescription& model, std::string_view source);

// The same as one JSON object: "lines", "symbols", "chunks", "items".
nlohmann::json listingToJson(const model::ModelDescription& model, std::string_view source);

}  // namespace velmora::apps::mdl
