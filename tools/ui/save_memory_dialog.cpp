#include "tools/ui/save_memory_dialog.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QSignalBlocker>

#include "tools/ui/range_boxes.h"

namespace velmora::tools::ui {

SaveMemoryDialog::SaveMemoryDialog(model::FeatureInterpreter& interpreter, platform::MessageSink& messages,
                                   platform::FileChooser& chooser, const MemoryRange& initialRange,
                                   QWidget* parent)
    : TemplateDialog(QString::fromLatin1(platform::qt::templates::kSaveMemoryDialog), parent),
      logic_(interpreter, messages, chooser, wait_, initialRange) {
    if (!buildError().isEmpty()) return;
    showRangeBoxes(*this, logic_.initialBoxTexts());
    progress_.placeAt(progressPlace(*this));
    logic_.setByteDone(progress_.byteDone(
        [this] { return logic_.range().endLocation() - logic_.range().startLocation() + 1; }));
    connect(control<QAbstractButton>(kActionButton), &QAbstractButton::clicked, this,
            &SaveMemoryDialog::onSaveToFile);
    connect(control<QAbstractButton>(kChooseFileButton), &QAbstractButton::clicked, this,
            &SaveMemoryDialog::onChooseFile);
    connect(control<QLineEdit>(kFileNameBox), &QLineEdit::textChanged, this, &SaveMemoryDialog::onFileNameEdited);
    // Enter after typing the file name saves; in a range box it does
    // nothing. Only Cancel and the close box close the dialog.
    setEnterAction(kFileNameBox, kActionButton);
    keepOpenOnEnter();
}

void SaveMemoryDialog::run(QWidget* parent, model::FeatureInterpreter& interpreter,
                           platform::MessageSink& messages, platform::FileChooser& chooser,
                           const MemoryRange& initialRange) {
    SaveMemoryDialog dialog(interpreter, messages, chooser, initialRange, parent);
    dialog.exec();
}

void SaveMemoryDialog::onSaveToFile() {
    (void)logic_.saveToFile(readRangeBoxes(*this));
    progress_.finish();
}

void SaveMemoryDialog::onChooseFile() {
    const auto path = logic_.chooseFile();
    if (!path) return;
    // The chosen path is kept byte for byte; the box only shows it.
    const QSignalBlocker keepChosenName(control<QLineEdit>(kFileNameBox));
    control<QLineEdit>(kFileNameBox)->setText(fileNameForBox(*path));
}

void SaveMemoryDialog::onFileNameEdited(const QString& text) { logic_.setFileName(fileNameFromBox(text)); }

}  // namespace velmora::tools::ui
