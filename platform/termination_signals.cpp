#include "platform/termination_signals.h"

namespace velmora::platform {

namespace {

constexpr int kSignals[3] = {SIGINT, SIGTERM, SIGHUP};
volatile std::sig_atomic_t firstSignal = 0;

extern "C" void noteSignal(int number) {
    if (firstSignal == 0) firstSignal = number;
}

}  // namespace

TerminationSignals::TerminationSignals() {
    firstSignal = 0;
    struct sigaction action {};
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &action, &previous_[i]);
}

TerminationSignals::~TerminationSignals() {
    for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &previous_[i], nullptr);
}

int TerminationSignals::received() const { return firstSignal; }

}  // namespace velmora::platform
