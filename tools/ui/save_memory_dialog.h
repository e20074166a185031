#pragma once
#include "model/feature_interpreter.h"
#include "platform/file_chooser.h"
#include "platform/message_sink.h"
#include "platform/qt/template_dialog.h"
#include "tools/save_memory_logic.h"
#include "tools/ui/qt_wait_indicator.h"
#include "tools/ui/transfer_progress.h"

namespace velmora::tools::ui {

// "Save Memory": reads the range in its four boxes from the monitor's
// EEPROM into the memory image file named below them. Stays open after
// each save; Cancel closes it.
class SaveMemoryDialog : public platform::qt::TemplateDialog {
    Q_OBJECT
public:
    SaveMemoryDialog(model::FeatureInterpreter& interpreter, platform::MessageSink& messages,
                     platform::FileChooser& chooser, const MemoryRange& initialRange, QWidget* parent = nullptr);

    // Opens the dialog modally with the given range in its boxes.
    static void run(QWidget* parent, model::FeatureInterpreter& interpreter, platform::MessageSink& messages,
                    platform::FileChooser& chooser, const MemoryRange& initialRange);

    [[nodiscard]] const SaveMemoryLogic& logic() const { return logic_; }
    [[nodiscard]] const TransferProgress& progress() const { return progress_; }

private:
    void onSaveToFile();
    void onChooseFile();
    void onFileNameEdited(const QString& text);

    QtWaitIndicator wait_;
    SaveMemoryLogic logic_;
    TransferProgress progress_{*this};
};

}  // namespace velmora::tools::ui
