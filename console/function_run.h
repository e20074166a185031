#pragma once
#include <cstddef>
#include <optional>
#include <string_view>

#include "console/page_lists.h"
#include "link/monitor_link.h"
#include "model/feature_interpreter.h"
#include "platform/clock.h"

namespace velmora::console {

// Where RUN shows what it does: the status field of the main window and the
// I2C DEBUGGER (which takes the transcript only while it is open).
class RunDisplay {
public:
    virtual ~RunDisplay() = default;
    // The function's name while it runs, then "OK" or "Error". The field
    // must be visible at once: the 300 ms pause follows without a paint.
    virtual void showRunStatus(std::string_view text) = 0;
    virtual void takeTranscript(std::string_view transcript) = 0;
};

inline constexpr std::int32_t kRunPauseMs = 300;
inline constexpr std::string_view kRunSucceeded = "OK";
inline constexpr std::string_view kRunFailed = "Error";

// The function's name: the entry's stored text after its four-character
// Alt+digit prefix.
[[nodiscard]] std::string_view functionDisplayName(const FunctionRecord& record);

// Runs one function entry with the link transcript on: shows its name,
// pauses 300 ms, records the entry's text as the transcript's first line,
// runs the script or built-in function, shows "OK" or "Error", hands the
// transcript over and switches the transcript off again. True when the
// function succeeded.
bool runFunction(const FunctionRecord& record, model::FeatureInterpreter& interpreter,
                 link::MonitorLink& link, platform::Clock& clock, RunDisplay& display);

// The function entry that Alt+digit selects: the digits 1..9 name entries
// 0..8 and 0 names the tenth (as the entries' "@n: " prefixes show).
// Nothing when the page has no such entry or the digit is not 0..9.
[[nodiscard]] std::optional<std::size_t> altDigitEntry(int digit, std::size_t functionCount);

}  // namespace velmora::console
