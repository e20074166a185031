#pragma once
#include <sched.h>

#include "platform/interrupt_shield.h"

namespace velmora::platform {

// Keeps the slave receiver's polling loop from being preempted: while the
// shield is held the calling thread runs under SCHED_FIFO at the highest
// priority the process is allowed (root, CAP_SYS_NICE or RLIMIT_RTPRIO).
// When no real-time priority is permitted the shield does nothing. Leaving
// restores the policy and priority the thread had before.
class RealtimeShield : public InterruptShield {
public:
    void enter() override;
    void leave() override;

    // True while a real-time policy taken by enter() is in force.
    [[nodiscard]] bool raised() const { return raised_; }

private:
    int depth_ = 0;
    bool raised_ = false;
    int savedPolicy_ = SCHED_OTHER;
    sched_param savedParam_{};
};

}  // namespace velmora::platform
