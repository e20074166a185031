#pragma once
#include <cstdint>
#include <optional>
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

// The documents of --json, one per command (the manual page lists them).
// The keys stay the same from one command to the next: `vcp` a VCP code,
// `service` a service code, `item` an item code as run takes it, `page`
// and `address` an EEPROM location, `value` a byte. Numbers are JSON
// numbers, what is not known is null, and a failure is {error, linkError}.

// {vcp, current, maximum}
nlohmann::json vcpJson(int vcp, int current, int maximum);
// {page, name, items: [{name, vcp, memory: {page, address}, current,
// maximum}], functions: [{item, name, text}]}; `vcp` is null for a memory
// item and `memory` null for a VCP item; `item` is null where the function
// has no item code.
nlohmann::json pageJson(int page, const console::PageLists& lists, std::span<const int> functionItems);
// {page, address, value}
nlohmann::json memoryByteJson(int page, int address, int value);
// {block, bytes: [256 values]}
nlohmann::json blockJson(int block, std::span<const std::uint8_t> bytes);
// {tenMinuteUnits, hours, minutes, text}
nlohmann::json crtTimeJson(const tools::CrtOnTimeReadout& readout);
// {model, timings: [{number, defined, hFreqKHz, vFreqHz, hPolarity,
// vPolarity, resolution: {width, height}, resolutionName, standard: {number,
// name}}]}, the rows the list shows; every key is there in every row, null
// where a row has no such value.
nlohmann::json timingsJson(const model::ModelDescription& model);
// {file, from, to, bytes}: locations 0..3FFh of a transferred range.
nlohmann::json transferJson(const std::string& file, const tools::MemoryRange& range);

// A failed exchange whose link error code is 0: a reply with a wrong
// checksum, a garbled or a short reply. The link itself keeps 0 there; the
// documents give it a code of its own so that a failure never reads 0.
inline constexpr int kBadReplyCode = 4;
// {error, linkError}: what went wrong and why on the link: 1 interface
// board, 2 monitor not connected, 3 no response, 4 a bad reply, 0 the
// exchange went through but the monitor's answer means failure; null when
// nothing was exchanged with the monitor.
nlohmann::json errorJson(std::string_view text, std::optional<int> linkError);

// The lines a failed command wrote, as one text without the final newline.
std::string errorText(std::string_view lines);

// The document as one line; bytes that are not UTF-8 (model names) are
// replaced rather than refused.
std::string jsonLine(const nlohmann::json& document);

}  // namespace velmora::apps::jigctl
