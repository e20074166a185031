#include "console/function_run.h"

#include <utility>

namespace velmora::console {

namespace {
constexpr std::size_t kPrefixLength = 4;
}

std::string_view functionDisplayName(const FunctionRecord& record) {
    const std::string_view text = record.text;
    return text.size() <= kPrefixLength ? std::string_view{} : text.substr(kPrefixLength);
}

bool runFunction(const FunctionRecord& record, model::FeatureInterpreter& interpreter,
                 link::MonitorLink& link, platform::Clock& clock, RunDisplay& display) {
    link.transcriptOn();
    display.showRunStatus(functionDisplayName(record));
    clock.sleepMilliseconds(kRunPauseMs);
    link.appendText(record.text);
    link.appendText("\r\n");
    auto previousWatcher = interpreter.watchSteps([&display](std::size_t done, std::size_t total) {
        display.showRunProgress(done, total);
    });
    const bool succeeded = interpreter.runItem(record.kind, record.code);
    (void)interpreter.watchSteps(std::move(previousWatcher));
    display.endRunProgress();
    display.showRunStatus(succeeded ? kRunSucceeded : kRunFailed);
    display.takeTranscript(link.transcriptText());
    link.transcriptOff();
    return succeeded;
}

std::optional<std::size_t> altDigitEntry(int digit, std::size_t functionCount) {
    if (digit < 0 || digit > 9) return std::nullopt;
    const std::size_t entry = digit == 0 ? 9 : static_cast<std::size_t>(digit - 1);
    if (entry >= functionCount) return std::nullopt;
    return entry;
}

}  // namespace velmora::console
