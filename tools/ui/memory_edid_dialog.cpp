#include "tools/ui/memory_edid_dialog.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>

#include <algorithm>

#include "platform/qt/display_text.h"
#include "platform/qt/up_down_control.h"
#include "tools/edid_decoding_text.h"
#include "platform/user_folders.h"
#include "tools/memory_compare.h"
#include "tools/memory_file.h"
#include "tools/ui/backup_offer_box.h"
#include "tools/ui/backups_list.h"
#include "tools/ui/dump_memory_dialog.h"
#include "tools/ui/edid_text_window.h"
#include "tools/ui/patterns_dialog.h"
#include "tools/ui/range_boxes.h"
#include "tools/ui/save_memory_dialog.h"

namespace velmora::tools::ui {

using platform::qt::displayText;

namespace {
constexpr std::string_view kCompareCaption = "Compare";
}  // namespace

MemoryEdidDialog::MemoryEdidDialog(session::ProgramContext& program, platform::MessageSink& messages,
                                   platform::FileChooser& chooser, QWidget* parent)
    : TemplateDialog(QString::fromLatin1(platform::qt::templates::kMemoryEdidDialog), parent),
      program_(program),
      messages_(messages),
      chooser_(chooser),
      logic_(program.interpreter, program.link, program.flags, program.autoReading, messages, *this) {
    if (!buildError().isEmpty()) return;
    pageBox_ = control<QLineEdit>(kPageBox);
    addressBox_ = control<QLineEdit>(kAddressBox);
    dataBox_ = control<QLineEdit>(kDataBox);
    dumpBox_ = control<QPlainTextEdit>(kDumpBox);
    if (pageBox_ == nullptr || addressBox_ == nullptr || dataBox_ == nullptr || dumpBox_ == nullptr) return;

    connect(pageBox_, &QLineEdit::textChanged, this, &MemoryEdidDialog::onPageTextChanged);
    connect(addressBox_, &QLineEdit::textChanged, this, &MemoryEdidDialog::onAddressTextChanged);
    connectButton(kReadMemoryButton, &MemoryEdidDialog::onReadMemory);
    connectButton(kWriteMemoryButton, &MemoryEdidDialog::onWriteMemory);
    connectButton(kReadEdidButton, &MemoryEdidDialog::onReadEdid);
    connectButton(kSaveMemoryButton, &MemoryEdidDialog::onSaveMemory);
    connectButton(kLoadFileButton, &MemoryEdidDialog::onLoadFile);
    connectButton(kDecodeEdidButton, &MemoryEdidDialog::onDecodeEdid);
    connectButton(kPatternsButton, &MemoryEdidDialog::onPatterns);
    connectButton(kReadEdidDdc1Button, &MemoryEdidDialog::onReadEdidDdc1);
    connectButton(kBusStartButton, &MemoryEdidDialog::onBusStart);
    connectButton(kSendA0Button, &MemoryEdidDialog::onSendA0);
    connectButton(kSendA1Button, &MemoryEdidDialog::onSendA1);
    connectButton(kReceiveDataButton, &MemoryEdidDialog::onReceiveData);
    connectButton(kBusStopButton, &MemoryEdidDialog::onBusStop);
    connectButton(kBackupsButton, &MemoryEdidDialog::onBackups);
    if (auto* verify = control<QCheckBox>(kVerifyBox)) {
        verify->setChecked(false);
        connect(verify, &QCheckBox::toggled, this, &MemoryEdidDialog::onVerifyToggled);
    }
    // Enter in the Data box writes the byte (when Write Memory is offered);
    // in any other box it does nothing: the window stays open.
    setEnterAction(kDataBox, kWriteMemoryButton);
    keepOpenOnEnter();
    initialise();
}

void MemoryEdidDialog::run(QWidget* parent, session::ProgramContext& program, platform::MessageSink& messages,
                           platform::FileChooser& chooser) {
    MemoryEdidDialog dialog(program, messages, chooser, parent);
    dialog.exec();
}

void MemoryEdidDialog::run(QWidget* parent, session::ProgramContext& program, platform::MessageSink& messages,
                           platform::FileChooser& chooser, BackupGate& gate) {
    MemoryEdidDialog dialog(program, messages, chooser, parent);
    dialog.setBackupGate(gate);
    dialog.exec();
}

void MemoryEdidDialog::setBackupGate(BackupGate& gate) {
    gate_ = &gate;
    logic_.setWriteGuard([this] { return backupCheck(); });
}

bool MemoryEdidDialog::backupCheck() { return gate_ == nullptr || windowBackupCheck(this, messages_, *gate_, program_); }

void MemoryEdidDialog::onVerifyToggled(bool checked) {
    verify_ = checked;
    logic_.setVerify(checked);
}

void MemoryEdidDialog::onBackups() {
    const std::string root = gate_ != nullptr ? gate_->root() : backupsFolder(platform::userDataHome());
    const auto choice = BackupsList::choose(this, root);
    if (!choice) return;
    if (!choice->compare) {
        openDumpMemory(choice->path);
        return;
    }
    auto file = readMemoryFile(choice->path);
    if (const auto* refusal = std::get_if<std::string>(&file)) {
        messages_.showMessage(*refusal, platform::kErrorCaption);
        return;
    }
    messages_.showMessage(monitorComparisonText(program_.interpreter, std::get<MemoryImage>(file), choice->path),
                          kCompareCaption);
}

void MemoryEdidDialog::openDumpMemory(const std::optional<std::string>& file) {
    DumpMemoryDialog dialog(program_.interpreter, messages_, chooser_,
                            MemoryEdidLogic::dialogRange(boxBytes(pageBox_->text())), this);
    if (gate_ != nullptr || verify_) {
        dialog.guardWrites([this] { return backupCheck(); }, verify_);
    }
    if (file) dialog.openFile(*file);
    dialog.exec();
}

void MemoryEdidDialog::connectButton(int id, void (MemoryEdidDialog::*handler)()) {
    if (auto* button = control<QAbstractButton>(id)) connect(button, &QAbstractButton::clicked, this, handler);
}

void MemoryEdidDialog::initialise() {
    logic_.initialise();
    if (auto* labels = control<QLabel>(kRowLabels)) labels->setText(displayText(MemoryEdidLogic::rowLabelsText()));
    if (auto* header = control<QLabel>(kColumnHeader)) {
        header->setText(displayText(MemoryEdidLogic::columnHeaderText()));
    }
    if (auto* spin = control<platform::qt::UpDownControl>(kPageSpin)) {
        spin->setRange(MemoryEdidLogic::kFirstPage, MemoryEdidLogic::kLastPage);
    }
    // The window has not been painted yet, so this reads nothing.
    pageBox_->setText(QString::fromLatin1(MemoryEdidLogic::kInitialPageText));
    // Decided once, as the window opens.
    for (int id : {kWriteMemoryButton, kLoadFileButton, kBackupsButton}) {
        if (QWidget* button = control(id)) button->setVisible(logic_.writeButtonsVisible());
    }
}

void MemoryEdidDialog::showEvent(QShowEvent* event) {
    TemplateDialog::showEvent(event);
    if (!labelsAligned_ && dumpBox_ != nullptr) {
        labelsAligned_ = true;
        alignLabelsWithDump();
    }
}

void MemoryEdidDialog::alignLabelsWithDump() {
    // The header and the row labels sit where the dump box's frame starts;
    // its text begins a few pixels further in (frame and margin, which
    // depend on the style). Indent the labels by as much, so that each
    // column number stands over its cells and each label beside its row.
    const QRect firstCharacter = dumpBox_->cursorRect(QTextCursor(dumpBox_->document()));
    const QPoint textOrigin = dumpBox_->viewport()->mapTo(this, firstCharacter.topLeft());
    if (auto* header = control<QLabel>(kColumnHeader)) {
        header->setContentsMargins(std::max(0, textOrigin.x() - header->x()), 0, 0, 0);
    }
    if (auto* labels = control<QLabel>(kRowLabels)) {
        labels->setContentsMargins(0, std::max(0, textOrigin.y() - labels->y()), 0, 0);
    }
}

void MemoryEdidDialog::paintEvent(QPaintEvent* event) {
    TemplateDialog::paintEvent(event);
    if (paintSeen_ || dumpBox_ == nullptr) return;
    paintSeen_ = true;
    // Reading the page repaints the dump row by row and may raise message
    // boxes, neither of which may happen inside a paint: the first paint
    // only schedules it, to run as soon as this paint is done.
    QMetaObject::invokeMethod(this, &MemoryEdidDialog::onFirstPaint, Qt::QueuedConnection);
}

void MemoryEdidDialog::onFirstPaint() { logic_.firstPaint(boxBytes(pageBox_->text())); }

void MemoryEdidDialog::onPageTextChanged() { logic_.pageTextChanged(boxBytes(pageBox_->text())); }

void MemoryEdidDialog::onAddressTextChanged() {
    const std::string data = logic_.showByte(boxBytes(pageBox_->text()), boxBytes(addressBox_->text()));
    dataBox_->setText(QString::fromLatin1(data));
}

void MemoryEdidDialog::onReadMemory() { logic_.readMemory(boxBytes(pageBox_->text())); }

void MemoryEdidDialog::onWriteMemory() {
    logic_.writeMemory(boxBytes(pageBox_->text()), boxBytes(addressBox_->text()), boxBytes(dataBox_->text()));
}

void MemoryEdidDialog::onReadEdid() { logic_.readEdid(boxBytes(pageBox_->text())); }

void MemoryEdidDialog::onSaveMemory() {
    SaveMemoryDialog::run(this, program_.interpreter, messages_, chooser_,
                          MemoryEdidLogic::dialogRange(boxBytes(pageBox_->text())));
}

void MemoryEdidDialog::onLoadFile() { openDumpMemory(std::nullopt); }

void MemoryEdidDialog::onDecodeEdid() {
    EdidTextWindow::run(this, decodedDumpText(logic_.dump().text()), chooser_);
}

// The Patterns window outlives this one: beside the console, whose MODE
// SAVE follows each mode's adjustment.
void MemoryEdidDialog::onPatterns() {
    PatternsDialog::open(program_.model, parentWidget() != nullptr ? parentWidget() : this);
}

void MemoryEdidDialog::onReadEdidDdc1() { logic_.readEdidDdc1(); }
void MemoryEdidDialog::onBusStart() { logic_.busStart(); }
void MemoryEdidDialog::onSendA0() { logic_.busSendA0(); }
void MemoryEdidDialog::onSendA1() { logic_.busSendA1(); }
void MemoryEdidDialog::onReceiveData() { logic_.busReceiveData(); }
void MemoryEdidDialog::onBusStop() { logic_.busStop(); }

void MemoryEdidDialog::showWaitCursor() { wait_.showWaitCursor(); }
void MemoryEdidDialog::restoreCursor() { wait_.restoreCursor(); }

void MemoryEdidDialog::showDump() { dumpBox_->setPlainText(displayText(logic_.dump().text())); }

void MemoryEdidDialog::dumpReplaced() {
    if (dumpBox_ != nullptr) showDump();
}

void MemoryEdidDialog::dumpCleared() { dumpBox_->clear(); }

void MemoryEdidDialog::dumpRowWritten(int /*row*/) {
    showDump();
    // The read goes on without returning to the event loop: paint now, so
    // the rows appear one by one.
    dumpBox_->viewport()->repaint();
}

void MemoryEdidDialog::dumpCellChanged(DumpText::CellPosition cell) {
    showDump();
    // A line break is one character in the edit: find the cell by its row.
    QTextCursor cursor(dumpBox_->document()->findBlockByNumber(cell.row));
    cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, cell.column + 2);
    dumpBox_->setTextCursor(cursor);
    dumpBox_->ensureCursorVisible();
}

}  // namespace velmora::tools::ui
