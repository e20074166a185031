#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "console/page_lists.h"
#include "link/link_error.h"
#include "model/model_description.h"
#include "tools/crt_on_time.h"
#include "tools/memory_image.h"

namespace velmora::apps::jigctl {

// The results of --json: one document per command, with the numbers the
// text form shows (codes, values and addresses as plain integers).

// {code, current, maximum}
nlohmann::json vcpJson(int code, int current, int maximum);
// {page: name, items: [{name, code, current, maximum}], functions: [{text, code}]}
nlohmann::json pageJson(int page, const console::PageLists& lists);
// {page, address, value}
nlohmann::json memoryByteJson(int page, int address, int value);
// {block, bytes: [256 values]}
nlohmann::json blockJson(int block, std::span<const std::uint8_t> bytes);
// {tenMinuteUnits, hours, minutes, text}
nlohmann::json crtTimeJson(const tools::CrtOnTimeReadout& readout);
// {model, timings: [{number, defined, hFreqKHz, vFreqHz, hPolarity, vPolarity,
// resolution, standard: {number, name} or null}]}, the rows the list shows.
nlohmann::json timingsJson(const model::ModelDescription& model);
// {file, from, to, bytes}: locations 0..3FFh of a transferred range.
nlohmann::json transferJson(const std::string& file, const tools::MemoryRange& range);
// {error, code}: what went wrong and the link's error code.
nlohmann::json errorJson(std::string_view text, link::LinkError code);

// The lines a failed command wrote, as one text without the final newline.
std::string errorText(std::string_view lines);

// The document as one line; bytes that are not UTF-8 (model names) are
// replaced rather than refused.
std::string jsonLine(const nlohmann::json& document);

}  // namespace velmora::apps::jigctl
