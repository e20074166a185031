#include "platform/bounded_claim.h"

#include <pthread.h>
#include <signal.h>

#include <cerrno>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace velmora::platform {

namespace {

// A real-time signal nothing else in the program uses; its handler does
// nothing, and it is installed without SA_RESTART so that the claim's sleep
// ends with EINTR.
int interruptSignal() { return SIGRTMIN + 4; }
void ignoreInterrupt(int) {}

// How often a claim that did not end at the first signal is signalled again
// (the signal may arrive before the helper has entered the kernel), and
// how long that goes on before the helper is left to itself.
constexpr std::chrono::milliseconds kResignalEvery{20};
constexpr std::chrono::milliseconds kGiveUpAfter{1000};

struct ClaimState {
    explicit ClaimState(ClaimCall call) : claim(std::move(call)) {}
    ClaimCall claim;
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    bool timedOut = false;
    int error = 0;
};

void runClaim(const std::shared_ptr<ClaimState>& state) {
    sigset_t interrupt;
    sigemptyset(&interrupt);
    sigaddset(&interrupt, interruptSignal());
    pthread_sigmask(SIG_UNBLOCK, &interrupt, nullptr);
    int error = 0;
    for (;;) {
        if (state->claim() == 0) break;
        error = errno;
        // A signal of the program's own (not ours) may cut the sleep short.
        std::lock_guard lock(state->mutex);
        if (error != EINTR || state->timedOut) break;
    }
    std::lock_guard lock(state->mutex);
    state->error = error;
    state->done = true;
    state->ended.notify_all();
}

}  // namespace

int claimWithin(const ClaimCall& claim, std::chrono::milliseconds limit) {
    struct sigaction quiet {};
    quiet.sa_handler = ignoreInterrupt;
    sigemptyset(&quiet.sa_mask);
    quiet.sa_flags = 0;
    struct sigaction previous {};
    sigaction(interruptSignal(), &quiet, &previous);

    auto state = std::make_shared<ClaimState>(claim);
    std::thread helper(runClaim, state);
    std::unique_lock lock(state->mutex);
    // expects: the claim to end within the limit
    if (state->ended.wait_for(lock, limit, [&] { return state->done; })) {
        lock.unlock();
        helper.join();
        sigaction(interruptSignal(), &previous, nullptr);
        return state->error;
    }
    state->timedOut = true;
    const auto giveUp = std::chrono::steady_clock::now() + kGiveUpAfter;
    while (!state->done && std::chrono::steady_clock::now() < giveUp) {
        pthread_kill(helper.native_handle(), interruptSignal());
        state->ended.wait_for(lock, kResignalEvery, [&] { return state->done; });
    }
    const bool ended = state->done;
    const bool claimed = ended && state->error == 0;
    lock.unlock();
    if (ended) {
        helper.join();
        sigaction(interruptSignal(), &previous, nullptr);
    } else {
        // A claim that does not even answer a signal is left to the helper,
        // which owns what it needs; the quiet handler stays, as a signal may
        // still be pending for it.
        helper.detach();
    }
    return claimed ? 0 : ETIMEDOUT;
}

}  // namespace velmora::platform
