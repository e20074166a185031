// velmora-jig: the service console on the interface board at the first
// parallel port (/dev/parport0).
#include <QApplication>

#include <sstream>

#include "console/ui/console_app.h"
#include "model/model_folders.h"
#include "model/program_context.h"
#include "platform/files.h"
#include "platform/machine_link_platform.h"
#include "platform/qt/qt_file_chooser.h"
#include "platform/qt/qt_message_sink.h"
#include "platform/user_folders.h"

int main(int argc, char* argv[]) {
    using namespace velmora;
    QApplication application(argc, argv);
    platform::qt::QtMessageSink messages(
        platform::qt::programNameFromPath(QCoreApplication::applicationFilePath()));
    // Why the port could not be had (no device, no permission) is told in a
    // box before the window opens; the link then reports the missing board.
    std::ostringstream portDiagnostics;
    platform::MachineLinkPlatform machine(portDiagnostics);
    if (!portDiagnostics.str().empty()) messages.showMessage(portDiagnostics.str(), "");
    model::ProgramContext context(machine.platform(messages));
    platform::qt::QtFileChooser fileChooser;
    console::ui::ConsoleApp app(context, messages, fileChooser,
                                model::programModelFolders(platform::programDirectory(), platform::userDataHome()));
    return app.run();
}
