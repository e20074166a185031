// velmora-jig: the service console on the interface board at the first
// parallel port (/dev/parport0), or on the way to the monitor --port names.
// See --help.
//
// An i2c-dev node is a graphics card's display channel (MasterRead models
// only); a parallel port is the jig's.
#include <QApplication>

#include <cctype>
#include <iostream>
#include <memory>

#include "apps/standard_options.h"
#include "console/channel_offer.h"
#include "console/ui/console_app.h"
#include "model/model_folders.h"
#include "platform/display_adapters.h"
#include "platform/files.h"
#include "platform/i2c_kernel.h"
#include "platform/port_choice.h"
#include "platform/steady_clock.h"
#include "platform/qt/qt_file_chooser.h"
#include "platform/qt/qt_message_sink.h"
#include "platform/user_folders.h"
#include "session/monitor_door.h"

namespace {

constexpr const char* kHelp =
    "usage: velmora-jig [--port PATH] [Qt options]\n"
    "\n"
    "The Velmora Monitor A/S Jig: the service console for CRT monitors, on the\n"
    "interface board at the first parallel port (/dev/parport0).\n"
    "\n"
    "Options:\n"
    "  --port PATH    the way to the monitor: a parallel port's jig (/dev/parportN\n"
    "                 or parportN) or a graphics card's display channel\n"
    "                 (/dev/i2c-N or i2c-N; models in MasterRead mode only)\n"
    "  --help         this text\n"
    "  --version      the program's version\n"
    "\n"
    "Without --port and without a usable parallel port, a display channel where\n"
    "a monitor answers is offered instead; the choice is kept in\n"
    "~/.config/velmora-jig/port for the next start.\n"
    "\n"
    "Qt's own options (-platform, -style, ...) are taken as well. The models are\n"
    "the .mdl files of the program's folder, of ../share/velmora-jig/models beside\n"
    "it or of ~/.local/share/velmora-jig/models. velmora-jig-bench runs the same\n"
    "console on the virtual bench. See velmora-jig(1).\n";

// The display channel to work through when the board's port cannot be had:
// the one chosen at an earlier start, if it is still there, or the first
// where a monitor's EDID answers, if the technician takes it (and the
// choice is kept). Empty: none, go on without the board.
std::string channelInsteadOfJig(const std::string& jigPort, velmora::platform::MessageSink& messages) {
    using namespace velmora;
    const std::string configHome = platform::userConfigHome();
    if (const auto remembered = console::rememberedPort(configHome)) {
        const platform::PortChoice choice = platform::choosePort(*remembered);
        if (choice.kind == platform::PortKind::DisplayChannel) return choice.device;
    }
    platform::LinuxI2cKernel kernel;
    platform::SteadyClock clock;
    const std::vector<platform::I2cAdapterInfo> adapters = platform::listI2cAdapters();
    const std::vector<console::ChannelOffer> offers = console::findAnsweringChannels(adapters, kernel, clock);
    for (const console::ChannelOffer& offer : offers) {
        const platform::Answer answer =
            messages.askYesNo(console::offerQuestion(offer, jigPort), "", platform::DefaultButton::No);
        if (answer != platform::Answer::Yes) continue;
        // A connector keeps its name when the adapters are numbered anew.
        (void)console::rememberPort(configHome, offer.connector.empty() ? offer.device : offer.connector);
        return offer.device;
    }
    return {};
}

int refuse(const std::string& what, const std::string& why) {
    std::cerr << "velmora-jig: " << what << ": " << why << " (see velmora-jig --help)\n";
    return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    using namespace velmora;
    // Answered before Qt starts, so that they need no display.
    switch (apps::standardRequest(argc, argv)) {
    case apps::StandardRequest::Help:
        std::cout << kHelp;
        return 0;
    case apps::StandardRequest::Version:
        std::cout << "velmora-jig " << VELMORA_VERSION << "\n";
        return 0;
    case apps::StandardRequest::None:
        break;
    }
    QApplication application(argc, argv);
    // Qt has taken its own options out of the list.
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    std::optional<std::string> portName;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const std::string word = arguments[i].toStdString();
        const apps::OptionWord option = apps::splitOption(word);
        if (word == "--") continue;
        if (option.name != "--port") return refuse(word, "unknown argument");
        if (option.hasValue) {
            portName = std::string(option.value);
        } else if (i + 1 < arguments.size()) {
            portName = arguments[++i].toStdString();
        } else {
            return refuse("--port", "needs a PATH");
        }
    }
    platform::qt::QtMessageSink messages(
        platform::qt::programNameFromPath(QCoreApplication::applicationFilePath()));
    session::OpenedWay way = session::openWayToMonitor({portName, nullptr}, messages);
    if (way.refusal == session::DoorRefusal::UnknownPort) return refuse("--port", way.refusalText);
    // Started without --port on a PC without the board's port: a display
    // channel where a monitor answers is offered instead (or taken, when it
    // was chosen before). Otherwise why the port could not be had (no device,
    // no permission) is told in a box before the window opens; the link then
    // reports the missing board.
    if (!way.portTrouble.empty()) {
        const std::string channel = portName ? std::string() : channelInsteadOfJig(way.device, messages);
        if (channel.empty()) messages.showMessage(way.portTrouble, "");
        else way = session::openWayToMonitor({channel, nullptr}, messages);
    }
    if (way.refusal != session::DoorRefusal::None) {
        // Without its node the display channel is no way to the monitor at
        // all: the reason and its remedy, then the program ends.
        std::cerr << "velmora-jig: " << way.refusalText << "\n";
        std::string text = way.refusalText;
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
        messages.showMessage(text, "");
        return 1;
    }
    platform::qt::QtFileChooser fileChooser;
    console::ui::ConsoleApp app(*way.program, messages, fileChooser,
                                model::programModelFolders(platform::programDirectory(), platform::userDataHome()));
    return app.run();
}
