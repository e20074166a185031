#include "tools/ui/dump_memory_dialog.h"

#include <QAbstractButton>
#include <QLineEdit>

#include "tools/ui/range_boxes.h"

namespace velmora::tools::ui {

DumpMemoryDialog::DumpMemoryDialog(model::FeatureInterpreter& interpreter, platform::MessageSink& messages,
                                   platform::FileChooser& chooser, const MemoryRange& initialRange,
                                   QWidget* parent)
    : TemplateDialog(QString::fromLatin1(platform::qt::templates::kDumpMemoryDialog), parent),
      logic_(interpreter, messages, chooser, initialRange) {
    if (!buildError().isEmpty()) return;
    showRangeBoxes(*this, logic_.boxTexts());
    progress_.placeAt(progressPlace(*this));
    logic_.setByteDone(progress_.byteDone([this] { return static_cast<int>(logic_.bytes().size()); }));
    connect(control<QAbstractButton>(kActionButton), &QAbstractButton::clicked, this,
            &DumpMemoryDialog::onWriteToMonitor);
    connect(control<QAbstractButton>(kChooseFileButton), &QAbstractButton::clicked, this,
            &DumpMemoryDialog::onChooseFile);
    // Enter never writes the monitor's memory, nor closes the dialog.
    keepOpenOnEnter();
}

void DumpMemoryDialog::run(QWidget* parent, model::FeatureInterpreter& interpreter,
                           platform::MessageSink& messages, platform::FileChooser& chooser,
                           const MemoryRange& initialRange) {
    DumpMemoryDialog dialog(interpreter, messages, chooser, initialRange, parent);
    dialog.exec();
}

void DumpMemoryDialog::onChooseFile() {
    // A refused file has been reported by the logic; the boxes keep the
    // range and name of the image that is still loaded.
    if (!logic_.chooseAndLoad()) return;
    showRangeBoxes(*this, logic_.boxTexts());
    control<QLineEdit>(kFileNameBox)->setText(fileNameForBox(logic_.fileName()));
}

void DumpMemoryDialog::openFile(const std::string& path) {
    if (!logic_.loadFile(path)) return;
    showRangeBoxes(*this, logic_.boxTexts());
    control<QLineEdit>(kFileNameBox)->setText(fileNameForBox(logic_.fileName()));
}

void DumpMemoryDialog::onWriteToMonitor() {
    (void)logic_.writeToMonitor();
    progress_.finish();
}

}  // namespace velmora::tools::ui
