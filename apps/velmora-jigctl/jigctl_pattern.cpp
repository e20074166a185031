#include "apps/velmora-jigctl/jigctl_pattern.h"

#include <QApplication>
#include <QTimer>

#include <algorithm>
#include <charconv>

#include "apps/velmora-jigctl/jigctl_commands.h"
#include "apps/velmora-jigctl/jigctl_watched_link.h"
#include "model/model_description.h"
#include "platform/display_adapters.h"
#include "platform/termination_signals.h"
#include "platform/x11/display_session.h"
#include "platform/x11/xrandr_mode_setter.h"
#include "tools/model_modes.h"
#include "tools/ui/pattern_show.h"

namespace velmora::apps::jigctl {

namespace {

constexpr int kSignalPollMs = 50;

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
    return text;
}

// The connector that owns a display channel named by --port (/dev/i2c-3:
// DVI-I-1), as detect shows it.
std::optional<std::string> connectorOfPort(const std::string& port) {
    const std::size_t at = port.rfind("i2c-");
    if (at == std::string::npos) return std::nullopt;
    int number = -1;
    const char* first = port.data() + at + 4;
    const char* last = port.data() + port.size();
    if (std::from_chars(first, last, number).ptr != last || number < 0) return std::nullopt;
    const auto adapter = platform::describeI2cAdapter(number);
    if (!adapter || adapter->connector.empty()) return std::nullopt;
    return adapter->connector;
}

// The output to drive: --output, the display channel's connector, or the one
// output connected. Empty with the reason in `why` (and `status`) otherwise.
std::string chooseOutput(const Invocation& invocation, platform::ModeSetter& setter, std::string& why, int& status) {
    const std::vector<std::string> connected = setter.connectedOutputs();
    std::optional<std::string> wanted = invocation.output;
    if (!wanted && invocation.port) wanted = connectorOfPort(*invocation.port);
    if (wanted) {
        if (std::find(connected.begin(), connected.end(), *wanted) != connected.end()) return *wanted;
        why = "no connected output " + *wanted + (connected.empty() ? "" : " (connected: " + joined(connected) + ")");
        status = kExitUsage;
        return {};
    }
    if (connected.size() == 1) return connected.front();
    if (connected.empty()) {
        why = "the X server lists no connected output";
        status = kExitOperationFailed;
    } else {
        why = "several outputs are connected (" + joined(connected) + "): choose one with --output";
        status = kExitUsage;
    }
    return {};
}

}  // namespace

int runPattern(const Invocation& invocation, const model::ModelDescription& model, std::ostream& out,
               std::ostream& err) {
    const auto fail = [&err](const std::string& text, int status) {
        err << "velmora-jigctl: pattern: " << text << "\n";
        return status;
    };
    const auto pattern = tools::ui::findTestPattern(invocation.file);
    if (!pattern) {
        return fail("no pattern \"" + invocation.file + "\"; the patterns are " +
                        tools::ui::testPatternNames().toStdString(),
                    kExitUsage);
    }
    const std::vector<tools::ModelMode> modes = tools::modelModes(model);
    const auto index = static_cast<std::size_t>(invocation.patternMode.value_or(0));
    if (index >= modes.size()) {
        return fail("the model has no mode " + std::to_string(index) +
                        (modes.empty() ? ": its timing list is empty"
                                       : ": its modes are 0 to " + std::to_string(modes.size() - 1) + " (see timings)"),
                    kExitUsage);
    }
    if (const std::string obstacle = platform::displayModeObstacle(); !obstacle.empty()) {
        return fail(obstacle, kExitOperationFailed);
    }
    platform::XrandrModeSetter setter;
    if (!setter.failure().empty()) return fail(setter.failure(), kExitOperationFailed);
    std::string why;
    int status = kExitSuccess;
    const std::string output = chooseOutput(invocation, setter, why, status);
    if (output.empty()) return fail(why, status);

    // Qt on the X11 display whose modes are set, whatever QT_QPA_PLATFORM says.
    static char programName[] = "velmora-jigctl";
    static char platformOption[] = "-platform";
    static char platformName[] = "xcb";
    static char* qtArguments[] = {programName, platformOption, platformName, nullptr};
    int qtArgumentCount = 3;
    QApplication application(qtArgumentCount, qtArguments);
    platform::TerminationSignals terminations;

    tools::ui::PatternShow show(setter, QString::fromStdString(output), modes, true,
                                std::chrono::seconds(invocation.confirmWithinSeconds));
    show.setPattern(*pattern);
    const auto outcome = show.showMode(int(index), invocation.force);
    if (!outcome.shown) {
        const tools::ModelMode& mode = modes[index];
        const bool outsideRanges = mode.mode && !tools::rangeRefusal(*mode.mode, show.session().limits()).empty();
        return fail(outcome.message + (outsideRanges ? "; --force sets it anyway" : ""),
                    outcome.refused ? kExitUsage : kExitOperationFailed);
    }
    out << "mode " << tools::modelModeLine(modes[index]) << " on " << output << "\n" << std::flush;

    QObject::connect(&show, &tools::ui::PatternShow::ended, &application,
                     [&](tools::ui::PatternShow::Ending ending, const QString& problem) {
                         if (ending == tools::ui::PatternShow::Ending::Unconfirmed) {
                             err << "velmora-jigctl: pattern: the new mode was not kept within "
                                 << invocation.confirmWithinSeconds
                                 << " s (Enter on the pattern keeps it); the previous mode is back\n";
                             status = kExitOperationFailed;
                         }
                         if (!problem.isEmpty()) {
                             err << "velmora-jigctl: pattern: " << problem.toStdString() << "\n";
                             status = kExitOperationFailed;
                         }
                         application.quit();
                     });
    QTimer signalPoll;
    QObject::connect(&signalPoll, &QTimer::timeout, &application, [&] {
        if (terminations.received() == 0) return;
        status = kExitInterrupted;
        (void)show.end();
    });
    signalPoll.start(kSignalPollMs);
    if (invocation.patternSeconds) {
        QTimer::singleShot(std::chrono::seconds(*invocation.patternSeconds), &application, [&] { (void)show.end(); });
    }
    if (show.showing()) application.exec();
    if (const QString problem = show.end(); !problem.isEmpty()) {
        err << "velmora-jigctl: pattern: " << problem.toStdString() << "\n";
        status = kExitOperationFailed;
    }
    out << "the previous mode of " << output << " is back\n";
    if (status == kExitInterrupted) err << "velmora-jigctl: pattern: interrupted; the previous mode is back\n";
    return status;
}

}  // namespace velmora::apps::jigctl
