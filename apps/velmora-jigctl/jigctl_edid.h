#pragma once
#include <cstdint>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "bench/virtual_bench.h"
#include "apps/velmora-jigctl/jigctl_arguments.h"

namespace velmora::apps::jigctl {

// Decodes EDID bytes and prints the text, or with --json (`json` set) puts
// the decoded object into the result document. Returns the exit status:
// success, or usage (2) when the bytes are refused, with the reason on `err`
// after "velmora-jigctl: WHAT: ".
int printDecodedEdid(std::string_view what, std::span<const std::uint8_t> bytes, nlohmann::json* json,
                     std::ostream& out, std::ostream& err);

// decode-edid FILE (or - for standard input): no monitor, no bench.
int decodeEdidFile(const Invocation& invocation, nlohmann::json* json, std::ostream& out, std::ostream& err);

// --bench-edid FILE: the bench monitor's EDID memory (read by DDC2B and
// streamed by DDC1) from the file. False, with the reason on `err`, when
// the file is refused.
bool loadBenchEdid(bench::VirtualBench& bench, const std::string& path, std::ostream& err);

// All of standard input, or nothing when it holds more than `limit` bytes
// (or cannot be read).
std::optional<std::string> readStandardInput(std::size_t limit);

}  // namespace velmora::apps::jigctl
