#pragma once
#include <ostream>

#include "apps/velmora-jigctl/jigctl_arguments.h"

namespace velmora::apps::jigctl {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitOperationFailed = 1;
inline constexpr int kExitUsage = 2;

// Carries out a checked invocation: compiles the model (one with compile
// errors is refused), builds the bench or the real port, the program
// context and runs the command. Results go to `out` (with --json one
// document, also for a failure), the link's messages, refusals, errors and
// the trace to `err` as "velmora-jigctl: COMMAND: WHY". Returns the exit
// status: 0, 1, 2, or 130 after Ctrl-C.
int runInvocation(const Invocation& invocation, std::ostream& out, std::ostream& err);

}  // namespace velmora::apps::jigctl
