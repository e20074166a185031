#pragma once
#include "model/feature_interpreter.h"
#include "platform/file_chooser.h"
#include "platform/message_sink.h"
#include "platform/qt/template_dialog.h"
#include "tools/dump_memory_logic.h"
#include "tools/ui/transfer_progress.h"

namespace velmora::tools::ui {

// "Dump Memory": ".." loads a memory image file and shows the range it
// holds; "Load from File" writes its bytes back into the monitor's EEPROM,
// as often as pressed. Cancel closes it.
class DumpMemoryDialog : public platform::qt::TemplateDialog {
    Q_OBJECT
public:
    DumpMemoryDialog(model::FeatureInterpreter& interpreter, platform::MessageSink& messages,
                     platform::FileChooser& chooser, const MemoryRange& initialRange, QWidget* parent = nullptr);

    // Opens the dialog modally with the given range in its boxes.
    static void run(QWidget* parent, model::FeatureInterpreter& interpreter, platform::MessageSink& messages,
                    platform::FileChooser& chooser, const MemoryRange& initialRange);

    [[nodiscard]] const DumpMemoryLogic& logic() const { return logic_; }
    [[nodiscard]] const TransferProgress& progress() const { return progress_; }

    // Loads a file as ".." does, without the chooser (a backup from the list).
    void openFile(const std::string& path);
    // See DumpMemoryLogic::guardWrites.
    void guardWrites(std::function<bool()> guard, bool verify) { logic_.guardWrites(std::move(guard), verify); }

private:
    void onChooseFile();
    void onWriteToMonitor();

    DumpMemoryLogic logic_;
    TransferProgress progress_{*this};
};

}  // namespace velmora::tools::ui
