#pragma once
#include <chrono>
#include <functional>

namespace velmora::platform {

// How long the program waits for another program to let go of the port.
inline constexpr std::chrono::milliseconds kPortClaimLimit{2000};

// One claim of the port as the kernel offers it (ioctl PPCLAIM): 0 when
// claimed, otherwise -1 with errno set. It may sleep until the port is
// free; a signal interrupts that sleep with EINTR.
using ClaimCall = std::function<int()>;

// Runs `claim` on a helper thread and waits at most `limit` for it. A claim
// still asleep then is interrupted by signalling the helper (again until it
// returns), so the caller is never left hanging on a port that another
// program holds. Returns 0 when claimed, ETIMEDOUT when the limit ran out,
// or the errno of a claim that failed by itself.
int claimWithin(const ClaimCall& claim, std::chrono::milliseconds limit);

}  // namespace velmora::platform
