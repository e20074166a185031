#include "console/ui/console_app.h"

#include <utility>

#include "console/ui/console_dialog.h"

namespace velmora::console::ui {

ConsoleApp::ConsoleApp(model::ProgramContext& context, platform::MessageSink& messages,
                       platform::FileChooser& fileChooser, std::string programDirectory)
    : context_(context),
      messages_(messages),
      fileChooser_(fileChooser),
      programDirectory_(std::move(programDirectory)) {}

int ConsoleApp::run() {
    context_.flags.writeEnabled = 1;
    ConsoleDialog dialog(context_, debugWindow_, programDirectory_, messages_, fileChooser_);
    dialog.exec();
    return 0;
}

}  // namespace velmora::console::ui
