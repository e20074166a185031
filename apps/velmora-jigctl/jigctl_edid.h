#pragma once
#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "bench/virtual_bench.h"
#include "apps/velmora-jigctl/jigctl_arguments.h"

namespace velmora::apps::jigctl {

// Takes the EDID command flags (--decode for edid, --json for edid and
// decode-edid) out of the arguments that follow the command, so that they
// may also be written after it. Empty on success, otherwise what is wrong.
std::string takeEdidFlags(std::vector<std::string>& commandArguments, Invocation& invocation);

// Decodes EDID bytes and prints the text, or with --json (`json` set) puts
// the decoded object into the result document. Returns the exit status: success, or usage (2) when the bytes are
// refused, with the reason on `err`.
int printDecodedEdid(std::span<const std::uint8_t> bytes, nlohmann::json* json, std::ostream& out, std::ostream& err);

// decode-edid FILE: no monitor, no bench.
int decodeEdidFile(const Invocation& invocation, nlohmann::json* json, std::ostream& out, std::ostream& err);

// --bench-edid FILE: the bench monitor's EDID memory (read by DDC2B and
// streamed by DDC1) from the file. False, with the reason on `err`, when
// the file is refused.
bool loadBenchEdid(bench::VirtualBench& bench, const std::string& path, std::ostream& err);

}  // namespace velmora::apps::jigctl
