#pragma once
#include <cstdint>
#include <ostream>
#include <string>

#include <nlohmann/json.hpp>

#include "link/monitor_link.h"
#include "platform/clock.h"
#include "platform/counting_platform.h"

namespace velmora::apps::jigctl {

// What one command cost, for --stats.
struct OperationCost {
    std::int64_t transactions = 0;
    std::int64_t attempts = 0;
    std::int64_t bytesOnBus = 0;
    std::int64_t portAccesses = 0;
    std::int64_t fixedWaitMilliseconds = 0;  // the link's reply delays and the pauses between requests
    std::int64_t elapsedMilliseconds = 0;
    bool virtualClock = false;  // elapsed on the bench's clock, not the wall's

    [[nodiscard]] std::int64_t retries() const { return attempts - transactions; }
    // What is not a fixed wait is bus traffic (and the little work between).
    [[nodiscard]] std::int64_t busMilliseconds() const {
        return elapsedMilliseconds > fixedWaitMilliseconds ? elapsedMilliseconds - fixedWaitMilliseconds : 0;
    }
};

// Takes the link's and the platform's counts and the clock when made;
// cost() gives what passed since.
class CostMeter {
public:
    CostMeter(const link::MonitorLink& link, const platform::PlatformCounters& counters, platform::Clock& clock,
              bool virtualClock);
    [[nodiscard]] OperationCost cost() const;

private:
    [[nodiscard]] OperationCost now() const;

    const link::MonitorLink& link_;
    const platform::PlatformCounters& counters_;
    platform::Clock& clock_;
    bool virtualClock_;
    OperationCost start_;
};

// "stats: 3 transactions, 3 attempts (0 retries), ..." on one line.
std::string costText(const OperationCost& cost);
nlohmann::json costJson(const OperationCost& cost);

class ProgressLine;

// The progress line on show, if any, so that a message written to the same
// terminal can wipe it first instead of running on after it.
struct ProgressSlot {
    ProgressLine* shown = nullptr;
    void wipe();
};

// The progress of a long command on one terminal line, repainted as it
// advances (at most ten times a second, and at the end) and wiped at the end: "save-mem: 512/1024 bytes  50%  about 9 s
// left". Silent when `enabled` is false (standard error is no terminal).
class ProgressLine {
public:
    ProgressLine(std::ostream& terminal, bool enabled, platform::Clock& clock, std::string label,
                 std::string unit, std::int64_t total, ProgressSlot* slot = nullptr);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // One more done.
    void step();
    // `done` of a total that is known only now (a function's steps).
    void showDone(std::int64_t done, std::int64_t total);
    // Wipes the line (also done when the object goes).
    void finish();

    // The line's text for `done` of `total` after `elapsedMs`.
    static std::string text(const std::string& label, const std::string& unit, std::int64_t done,
                            std::int64_t total, std::int64_t elapsedMs);

private:
    void show(std::int64_t done);

public:
    // The shortest time between two repaints: a terminal is slow next to
    // the bus, and a line redrawn for every byte buries a log in output.
    static constexpr std::int32_t kRepaintMs = 100;

private:

    std::ostream& terminal_;
    bool enabled_;
    platform::Clock& clock_;
    std::string label_;
    std::string unit_;
    std::int64_t total_;
    std::int64_t done_ = 0;
    std::int32_t startMs_;
    std::string shown_;
    std::int32_t shownMs_ = 0;
    ProgressSlot* slot_;
};

}  // namespace velmora::apps::jigctl
