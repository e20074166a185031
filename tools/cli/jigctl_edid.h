#pragma once
#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "bench/virtual_bench.h"
#include "tools/cli/jigctl_arguments.h"

namespace velmora::tools::cli {

// Takes the EDID command flags (--decode for edid, --json for decode-edid
// and edid --decode) out of the arguments that follow the command, and
// checks that --json, given here or before the command, has a decoded
// EDID to print. Empty on success, otherwise what is wrong.
std::string takeEdidFlags(std::vector<std::string>& commandArguments, Invocation& invocation);

// Decodes EDID bytes and prints the text, or the JSON object with
// --json. Returns the exit status: success, or usage (2) when the bytes are
// refused, with the reason on `err`.
int printDecodedEdid(std::span<const std::uint8_t> bytes, bool json, std::ostream& out, std::ostream& err);

// decode-edid FILE: no monitor, no bench.
int decodeEdidFile(const Invocation& invocation, std::ostream& out, std::ostream& err);

// --bench-edid FILE: the bench monitor's EDID memory (read by DDC2B and
// streamed by DDC1) from the file. False, with the reason on `err`, when
// the file is refused.
bool loadBenchEdid(bench::VirtualBench& bench, const std::string& path, std::ostream& err);

}  // namespace velmora::tools::cli
