#include "console/ui/console_app.h"

#include <QEventLoop>

#include <ctime>
#include <utility>

#include "console/ui/console_dialog.h"
#include "platform/user_folders.h"

namespace velmora::console::ui {

ConsoleApp::ConsoleApp(session::ProgramContext& context, platform::MessageSink& messages,
                       platform::FileChooser& fileChooser, model::ModelFolders modelFolders)
    : context_(context),
      messages_(messages),
      fileChooser_(fileChooser),
      modelFolders_(std::move(modelFolders)),
      backupGate_(tools::backupsFolder(platform::userDataHome()), [] { return std::time(nullptr); }) {
    debugWindow_.enableSaveAs(fileChooser_, messages_);
}

int ConsoleApp::run() {
    context_.flags.writeEnabled = 1;
    ConsoleDialog dialog(context_, debugWindow_, modelFolders_, messages_, fileChooser_);
    dialog.guardEepromWrites(backupGate_);
    // QDialog::exec() would make the window application-modal, and Qt would
    // then refuse every input to the I2C DEBUGGER, its close box included.
    // The window's own loop ends as exec() would: OK, Cancel, Escape or the
    // close box.
    QEventLoop loop;
    QObject::connect(&dialog, &QDialog::finished, &loop, &QEventLoop::quit);
    dialog.show();
    loop.exec();
    return 0;
}

}  // namespace velmora::console::ui
