#include "platform/realtime_shield.h"

#include <pthread.h>
#include <sys/resource.h>

namespace velmora::platform {

namespace {

bool trySchedFifo(int priority) {
    if (priority <= 0) return false;
    sched_param param{};
    param.sched_priority = priority;
    return pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0;
}

// An unprivileged process may still be granted real-time priorities up to
// its RLIMIT_RTPRIO.
int permittedPriorityLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_RTPRIO, &limit) != 0) return 0;
    if (limit.rlim_cur == RLIM_INFINITY) return sched_get_priority_max(SCHED_FIFO);
    return static_cast<int>(limit.rlim_cur);
}

}  // namespace

void RealtimeShield::enter() {
    if (depth_++ > 0) return;
    if (pthread_getschedparam(pthread_self(), &savedPolicy_, &savedParam_) != 0) return;
    const int highest = sched_get_priority_max(SCHED_FIFO);
    raised_ = trySchedFifo(highest);
    if (!raised_) {
        const int limit = permittedPriorityLimit();
        if (limit < highest) raised_ = trySchedFifo(limit);
    }
}

void RealtimeShield::leave() {
    if (depth_ == 0) return;
    if (--depth_ > 0) return;
    if (raised_) pthread_setschedparam(pthread_self(), savedPolicy_, &savedParam_);
    raised_ = false;
}

}  // namespace velmora::platform
