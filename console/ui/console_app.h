#pragma once
#include <string>

#include "link/ui/debug_window.h"
#include "model/model_folders.h"
#include "session/program_context.h"
#include "platform/file_chooser.h"
#include "platform/message_sink.h"
#include "tools/backup_gate.h"

namespace velmora::console::ui {

// The application object: holds the one I2C DEBUGGER object for the run,
// turns the write-enabled mode on, and runs the main window until it
// closes, which ends the program. The main window owns no other window, so
// its loop blocks none: the I2C DEBUGGER beside it takes the mouse and the
// keyboard (its close box, scrolling, selection, copying) while the console
// runs. The windows the console opens itself stay modal. The context (link,
// model, interpreter) and the message sink belong to whoever builds the
// program.
class ConsoleApp {
public:
    ConsoleApp(session::ProgramContext& context, platform::MessageSink& messages, platform::FileChooser& fileChooser,
               model::ModelFolders modelFolders);

    // Returns the program's exit status.
    int run();

    [[nodiscard]] link::ui::CDebugWnd& debugWindow() { return debugWindow_; }

private:
    session::ProgramContext& context_;
    platform::MessageSink& messages_;
    platform::FileChooser& fileChooser_;
    model::ModelFolders modelFolders_;
    link::ui::CDebugWnd debugWindow_;
    // Remembers for the whole run which monitors were backed up (or the
    // technician declined), across every opening of the tool windows.
    tools::BackupGate backupGate_;
};

}  // namespace velmora::console::ui
