#include "console/ui/console_app.h"

#include <utility>

#include "console/ui/console_dialog.h"

namespace velmora::console::ui {

ConsoleApp::ConsoleApp(model::ProgramContext& context, platform::MessageSink& messages,
                       platform::FileChooser& fileChooser, model::ModelFolders modelFolders)
    : context_(context),
      messages_(messages),
      fileChooser_(fileChooser),
      modelFolders_(std::move(modelFolders)) {}

int ConsoleApp::run() {
    context_.flags.writeEnabled = 1;
    ConsoleDialog dialog(context_, debugWindow_, modelFolders_, messages_, fileChooser_);
    dialog.exec();
    return 0;
}

}  // namespace velmora::console::ui
