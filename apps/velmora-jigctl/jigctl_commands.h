#pragma once
#include <ostream>

#include "apps/velmora-jigctl/jigctl_arguments.h"

namespace velmora::apps::jigctl {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitOperationFailed = 1;
inline constexpr int kExitUsage = 2;

// Carries out a checked invocation: compiles the model, builds the bench or
// the real port, the program context and runs the command. Results go to
// `out`, the link's messages, refusals and the trace to `err`. Returns the
// exit status.
int runInvocation(const Invocation& invocation, std::ostream& out, std::ostream& err);

}  // namespace velmora::apps::jigctl
