#pragma once
#include <chrono>
#include <optional>
#include <string>

#include "platform/mode_setter.h"
#include "tools/edid_decoder.h"
#include "tools/model_modes.h"

namespace velmora::tools {

// A newly set mode that nobody confirms in this time is taken back, as
// desktop display settings do: a tube that shows nothing never strands the
// technician.
inline constexpr std::chrono::milliseconds kConfirmWithin{15000};

// Why the mode lies outside the monitor's range limits, or empty when it
// lies inside them or there are none.
std::string rangeRefusal(const platform::VideoMode& mode, const std::optional<EdidRangeLimits>& limits);

// The model's modes shown on one output, one after another, and the way
// back to the output's own mode.
class PatternSession {
public:
    using Clock = std::chrono::steady_clock;

    // Reads the range limits from the EDID the output's monitor gave the
    // card, when it gave one.
    PatternSession(platform::ModeSetter& setter, std::string output, std::chrono::milliseconds confirmWithin = kConfirmWithin);
    ~PatternSession();  // puts the output's mode back
    PatternSession(const PatternSession&) = delete;
    PatternSession& operator=(const PatternSession&) = delete;

    struct Outcome {
        bool shown = false;    // the mode is on the output now
        bool refused = false;  // refused before anything was set (not a failure of the card)
        std::string message;   // why not, when not shown
    };
    // Sets the mode of a line of the model's list. A line without a mode is
    // refused; one outside the monitor's ranges too unless forced. A mode
    // that differs from the one shown waits for confirm().
    Outcome show(const ModelMode& mode, bool forced, Clock::time_point now);
    void confirm();
    [[nodiscard]] bool awaitingConfirmation() const { return deadline_.has_value(); }
    // Time left to confirm, zero once it ran out; nothing when none is due.
    [[nodiscard]] std::optional<std::chrono::milliseconds> confirmationLeft(Clock::time_point now) const;
    // Puts the output's own mode back (also when the confirmation ran out).
    // Empty on success, else what the card said.
    std::string end();

    [[nodiscard]] const std::string& output() const { return output_; }
    [[nodiscard]] const std::optional<EdidRangeLimits>& limits() const { return limits_; }
    [[nodiscard]] const std::optional<ModelMode>& shownMode() const { return shown_; }

private:
    platform::ModeSetter& setter_;
    std::string output_;
    std::chrono::milliseconds confirmWithin_;
    std::optional<EdidRangeLimits> limits_;
    std::optional<ModelMode> shown_;
    std::optional<Clock::time_point> deadline_;
};

}  // namespace velmora::tools
