// velmora-jig: the service console on the interface board at the first
// parallel port (/dev/parport0), or on the way to the monitor --port names:
//
//   velmora-jig [--port /dev/i2c-N | i2c-N | /dev/parportN | parportN]
//
// An i2c-dev node is a graphics card's display channel (MasterRead models
// only); a parallel port is the jig's.
#include <QApplication>

#include <iostream>
#include <memory>
#include <sstream>

#include "console/ui/console_app.h"
#include "model/display_channel_rig.h"
#include "model/model_folders.h"
#include "model/program_context.h"
#include "platform/files.h"
#include "platform/machine_link_platform.h"
#include "platform/port_choice.h"
#include "platform/qt/qt_file_chooser.h"
#include "platform/qt/qt_message_sink.h"
#include "platform/user_folders.h"

int main(int argc, char* argv[]) {
    using namespace velmora;
    QApplication application(argc, argv);
    // Qt has taken its own options out of the list.
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    std::optional<std::string> portName;
    if (arguments.size() == 2 && arguments[0] == QLatin1String("--port")) {
        portName = arguments[1].toStdString();
    } else if (!arguments.isEmpty()) {
        std::cerr << "usage: velmora-jig [--port /dev/i2c-N|i2c-N|/dev/parportN|parportN]\n";
        return 2;
    }
    const platform::PortChoice port =
        portName ? platform::choosePort(*portName)
                 : platform::PortChoice{platform::PortKind::Jig, platform::PpdevPort::kDefaultDevice};
    if (port.kind == platform::PortKind::Unknown) {
        std::cerr << "velmora-jig: --port " << *portName
                  << " is neither a display channel (/dev/i2c-N, i2c-N) nor a parallel port (/dev/parportN, parportN)\n";
        return 2;
    }
    platform::qt::QtMessageSink messages(
        platform::qt::programNameFromPath(QCoreApplication::applicationFilePath()));

    std::unique_ptr<model::DisplayChannelRig> channel;
    std::unique_ptr<platform::MachineLinkPlatform> machine;
    std::unique_ptr<model::ProgramContext> context;
    if (port.kind == platform::PortKind::DisplayChannel) {
        // Without its node the display channel is no way to the monitor at
        // all: the reason and its remedy, then the program ends.
        channel = std::make_unique<model::DisplayChannelRig>(std::make_unique<platform::LinuxI2cKernel>());
        if (const int error = channel->open(port.device); error != 0) {
            const std::string text = "Cannot open the display channel " + platform::describeI2cFailure(port.device, error, channel->port.lockHolder());
            std::cerr << "velmora-jig: " << text << "\n";
            messages.showMessage(text, "");
            return 1;
        }
        const platform::LinkPlatform linkPlatform = channel->platform(messages);
        context = std::make_unique<model::ProgramContext>(linkPlatform,
                                                          channel->linkMaker(linkPlatform.clock, messages));
    } else {
        // Why the port could not be had (no device, no permission) is told in a
        // box before the window opens; the link then reports the missing board.
        std::ostringstream portDiagnostics;
        machine = std::make_unique<platform::MachineLinkPlatform>(portDiagnostics, port.device.c_str());
        if (!portDiagnostics.str().empty()) messages.showMessage(portDiagnostics.str(), "");
        context = std::make_unique<model::ProgramContext>(machine->platform(messages));
    }
    if (portName) context->portName = port.device;
    platform::qt::QtFileChooser fileChooser;
    console::ui::ConsoleApp app(*context, messages, fileChooser,
                                model::programModelFolders(platform::programDirectory(), platform::userDataHome()));
    return app.run();
}
