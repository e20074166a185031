#pragma once
#include <csignal>

namespace velmora::platform {

// While it lives, SIGINT, SIGTERM and SIGHUP only note that they came, so
// that the program can undo what it changed (a display mode) before it
// ends; the handlers found before come back when it goes. One at a time.
class TerminationSignals {
public:
    TerminationSignals();
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // The signal that came first, or 0.
    [[nodiscard]] int received() const;

private:
    struct sigaction previous_[3];
};

}  // namespace velmora::platform
