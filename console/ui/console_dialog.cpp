#include "console/ui/console_dialog.h"

#include "tools/ui/crt_on_time_box.h"
#include "tools/memory_writing_functions.h"
#include "tools/ui/backup_offer_box.h"
#include "tools/ui/memory_edid_dialog.h"
#include "tools/ui/preset_timing_dialog.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTabWidget>

#include <algorithm>
#include <utility>

#include "console/item_tool_tip.h"
#include "console/ui/about_dialog.h"
#include "console/ui/digit_key_watch.h"
#include "console/ui/item_list_keys.h"
#include "console/ui/list_row_delegates.h"
#include "console/ui/password_dialog.h"
#include "console/ui/row_painting.h"
#include "console/ui/scroll_code_translator.h"
#include "console/ui/wheel_needs_focus.h"
#include "console/write_password.h"
#include "link/display_channel_link.h"
#include "link/jig_link.h"
#include "link/ui/jig_options_dialog.h"
#include "platform/qt/display_text.h"
#include "platform/qt/sorted_combo_box.h"

namespace velmora::console::ui {

namespace {

QString text(std::string_view bytes) { return platform::qt::displayText(bytes); }

int selectedRow(const QListWidget& list) {
    const QList<QListWidgetItem*> selected = list.selectedItems();
    return selected.isEmpty() ? -1 : list.row(selected.first());
}

// Selects a row the way the program does, not the user: no selection
// notification follows, so nothing is read from the monitor.
void selectRowQuietly(QListWidget& list, int row) {
    const QSignalBlocker blocker(list);
    list.setCurrentRow(row);
}

}  // namespace

ConsoleDialog::ConsoleDialog(session::ProgramContext& context, link::ui::CDebugWnd& debugWindow,
                             model::ModelFolders modelFolders, platform::MessageSink& messages,
                             platform::FileChooser& fileChooser, QWidget* parent)
    : TemplateDialog(QString::fromLatin1(platform::qt::templates::kConsoleDialog), parent),
      context_(context),
      debugWindow_(debugWindow),
      messages_(messages),
      fileChooser_(fileChooser),
      session_(context, std::move(modelFolders), messages) {
    bindControls();
    connectControls();

    context_.model.errorFlag = false;
    context_.model.errorText.clear();
    autoReading_->setChecked(true);
    context_.autoReading = 1;
    updateTitle();
    discoverModels();
}

ConsoleDialog::~ConsoleDialog() = default;

void ConsoleDialog::bindControls() {
    tabs_ = control<QTabWidget>(kTabsId);
    modelCombo_ = control<QComboBox>(kModelComboId);
    valueBar_ = control<QScrollBar>(kScrollBarId);
    itemList_ = control<QListWidget>(kItemListId);
    functionList_ = control<QListWidget>(kFunctionListId);
    itemName_ = control<QLabel>(kItemNameId);
    itemValue_ = control<QLabel>(kItemValueId);
    runStatus_ = control<QLabel>(kRunStatusId);
    autoReading_ = control<QCheckBox>(kAutoReadingId);
    passwordButton_ = control<QPushButton>(kPasswordId);
    Q_ASSERT_X(tabs_ && modelCombo_ && valueBar_ && itemList_ && functionList_ && itemName_ && itemValue_ &&
                   runStatus_ && autoReading_ && passwordButton_,
               "ConsoleDialog", qPrintable(buildError()));

    useItemRowPainting(*itemList_);
    useFunctionRowPainting(*functionList_);
    // The bar never takes the focus: the keyboard stays with the item list.
    valueBar_->setFocusPolicy(Qt::NoFocus);
    // No page size of its own: the thumb keeps its smallest size, and a
    // shaft click means one page step of the value, whatever the range.
    valueBar_->setPageStep(0);
    // The bar shows the value last sent to the monitor and moves only
    // through the adjustment: no menu of its own ("Scroll here", ...).
    valueBar_->setContextMenuPolicy(Qt::PreventContextMenu);
    scrollCodes_ = new ScrollCodeTranslator(*valueBar_);
    new WheelNeedsFocus(*modelCombo_);
    new WheelNeedsFocus(*tabs_->tabBar());

    // The closed field keeps its place beside Reload; the dropped list gets
    // the width long display texts need and about its height in rows.
    modelCombo_->view()->setMinimumWidth(kModelListWidth);
    modelCombo_->setMaxVisibleItems(std::max(1, kModelListHeight / kListRowHeight));

    backgroundMenu_ = new QMenu(this);
    backgroundMenu_->addAction(aboutEntryText(), this, &ConsoleDialog::onAbout);
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, &ConsoleDialog::onAbout);

    itemMenu_ = new QMenu(this);
    undoEntry_ = itemMenu_->addAction(QStringLiteral("Undo"), this, &ConsoleDialog::onUndo);
    // Shown in the menu; the window's own Ctrl+Z below does the work.
    undoEntry_->setShortcut(QKeySequence::Undo);
    undoEntry_->setShortcutContext(Qt::WidgetShortcut);
    restoreEntry_ =
        itemMenu_->addAction(QStringLiteral("Restore values read at start"), this, &ConsoleDialog::onRestoreStartValues);
    itemList_->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* undo = new QShortcut(QKeySequence::Undo, this);
    connect(undo, &QShortcut::activated, this, &ConsoleDialog::onUndo);

    itemList_->installEventFilter(this);
    digitKeys_ = new DigitKeyWatch(*itemList_, this);
}

void ConsoleDialog::connectControls() {
    auto button = [this](int id) { return control<QPushButton>(id); };
    connect(modelCombo_, &QComboBox::activated, this, &ConsoleDialog::onModelChosen);
    connect(button(kReloadId), &QPushButton::clicked, this, &ConsoleDialog::onReload);
    connect(button(kDebugId), &QPushButton::clicked, this, &ConsoleDialog::onDebug);
    connect(button(kOptionId), &QPushButton::clicked, this, &ConsoleDialog::onOption);
    connect(button(kTimingListId), &QPushButton::clicked, this, &ConsoleDialog::onTimingList);
    connect(button(kCrtOnTimeId), &QPushButton::clicked, this, &ConsoleDialog::onCrtOnTime);
    connect(button(kFeaturesId), &QPushButton::clicked, this, &ConsoleDialog::onFeatures);
    connect(passwordButton_, &QPushButton::clicked, this, &ConsoleDialog::onPassword);
    connect(button(kResetId), &QPushButton::clicked, this, &ConsoleDialog::onReset);
    connect(button(kRunId), &QPushButton::clicked, this, &ConsoleDialog::runSelectedFunction);
    connect(autoReading_, &QCheckBox::clicked, this, &ConsoleDialog::onAutoReading);
    connect(tabs_, &QTabWidget::currentChanged, this, &ConsoleDialog::onTabChanged);
    connect(itemList_, &QListWidget::itemSelectionChanged, this, &ConsoleDialog::onItemSelectionChanged);
    connect(itemList_, &QWidget::customContextMenuRequested, this, &ConsoleDialog::onItemMenu);
    connect(scrollCodes_, &ScrollCodeTranslator::scrolled, this, &ConsoleDialog::onScrolled);
}

// --- model catalogue and pages ---

void ConsoleDialog::discoverModels() {
    modelCombo_->clear();
    const bool found = session_.discoverModels();
    // Which of the folders searched gave the models, so that a technician
    // with models in more than one place knows which ones are offered.
    modelCombo_->setToolTip(found ? text("Models in " + session_.modelDirectory()) : QString());
    if (!found) return;
    auto* sorted = static_cast<platform::qt::SortedComboBox*>(modelCombo_);
    const QSignalBlocker blocker(modelCombo_);
    for (const model::CatalogueEntry& entry : session_.catalogue().entries()) {
        sorted->addSortedItem(text(entry.displayText), QVariant::fromValue(entry.catalogueIndex));
    }
    modelCombo_->setCurrentIndex(0);
    loadModel(0);
}

void ConsoleDialog::loadModel(int comboIndex) {
    const QVariant row = modelCombo_->itemData(comboIndex);
    if (!row.isValid()) return;
    const std::optional<int> pages = session_.loadModel(row.value<std::size_t>());
    showLoadedModel();
    if (!pages) return;
    rebuildTabs(*pages);
    fillLists();
}

void ConsoleDialog::showLoadedModel() {
    // A file that could not be read leaves the previous model compiled;
    // the selector names that one, not the file that failed.
    const std::optional<std::size_t> loaded = session_.loadedCatalogueIndex();
    int shown = -1;
    for (int index = 0; loaded && index < modelCombo_->count(); ++index) {
        if (modelCombo_->itemData(index).value<std::size_t>() == *loaded) shown = index;
    }
    const QSignalBlocker blocker(modelCombo_);
    modelCombo_->setCurrentIndex(shown);
}

void ConsoleDialog::rebuildTabs(int count) {
    const QSignalBlocker blocker(tabs_);
    while (tabs_->count() > 0) {
        QWidget* page = tabs_->widget(0);
        tabs_->removeTab(0);
        delete page;
    }
    for (int page = 0; page < count; ++page) {
        tabs_->addTab(new QWidget, text(kPageNames[static_cast<std::size_t>(page)]));
    }
    tabs_->setCurrentIndex(count > 0 ? 0 : -1);
}

void ConsoleDialog::fillLists() {
    {
        const QSignalBlocker itemBlocker(itemList_);
        const QSignalBlocker functionBlocker(functionList_);
        itemList_->clear();
        functionList_->clear();
    }
    session_.fillLists(tabs_->currentIndex());
    const PageLists& lists = session_.lists();
    {
        const QSignalBlocker itemBlocker(itemList_);
        for (const ItemRecord& record : lists.items) {
            auto* row = new QListWidgetItem(text(record.name));
            row->setData(kValueTextRole, text(valueText(record.current)));
            row->setToolTip(text(itemToolTip(record)));
            itemList_->addItem(row);
        }
    }
    {
        const QSignalBlocker functionBlocker(functionList_);
        for (const FunctionRecord& record : lists.functions) functionList_->addItem(text(record.text));
    }
    if (!lists.items.empty()) selectRowQuietly(*itemList_, 0);
    showSelectedValue();
}

void ConsoleDialog::showItemValues() {
    const PageLists& lists = session_.lists();
    for (int row = 0; row < itemList_->count() && static_cast<std::size_t>(row) < lists.items.size(); ++row) {
        itemList_->item(row)->setData(kValueTextRole,
                                      text(valueText(lists.items[static_cast<std::size_t>(row)].current)));
    }
    showSelectedValue();
}

void ConsoleDialog::showSelectedValue() {
    const int row = selectedItemRow();
    const ItemRecord* record = session_.item(row);
    if (record == nullptr) return;
    itemName_->setText(text(record->name));
    valueBar_->setRange(0, record->maximum);
    valueBar_->setValue(record->current);
    const QString value = text(valueText(record->current));
    itemValue_->setText(value);
    itemList_->item(row)->setData(kValueTextRole, value);
    selectRowQuietly(*itemList_, row);
}

int ConsoleDialog::selectedItemRow() const { return selectedRow(*itemList_); }

int ConsoleDialog::selectedFunctionRow() const { return selectedRow(*functionList_); }

void ConsoleDialog::focusItemList() {
    // The Debug window may have taken the activation; the keyboard goes
    // back to this window's item list.
    activateWindow();
    itemList_->setFocus();
}

void ConsoleDialog::updateTitle() {
    std::string title = console::windowTitle(context_.flags);
    if (!context_.portName.empty()) title += " - " + context_.portName;
    setWindowTitle(text(title));
}

void ConsoleDialog::onModelChosen(int comboIndex) {
    loadModel(comboIndex);
    focusItemList();
}

void ConsoleDialog::onReload() {
    if (modelCombo_->count() == 0) return;
    const int remembered = tabs_->currentIndex();
    onModelChosen(modelCombo_->currentIndex());
    if (remembered >= 0 && remembered < tabs_->count()) {
        const QSignalBlocker blocker(tabs_);
        tabs_->setCurrentIndex(remembered);
    }
    fillLists();
}

void ConsoleDialog::onTabChanged(int /*index*/) { fillLists(); }

// --- value adjustment ---

void ConsoleDialog::onItemSelectionChanged() {
    if (session_.readItem(selectedItemRow())) showSelectedValue();
}

void ConsoleDialog::onScrolled(int code, int position) {
    if (session_.scrollItem(selectedItemRow(), code, position)) {
        showSelectedValue();
    } else {
        // Nothing selected, nothing sent: the thumb stays where it was.
        valueBar_->setSliderPosition(valueBar_->value());
    }
}

bool ConsoleDialog::handleItemListKey(const QKeyEvent& event) {
    const ItemListKey key = classifyItemListKey(event, digitKeys_->newDigitPress(event));
    switch (key.use) {
    case ItemListKeyUse::StepValue:
        if (session_.stepItem(selectedItemRow(), key.step)) showSelectedValue();
        return true;
    case ItemListKeyUse::AltDigit: {
        const auto entry = altDigitEntry(key.digit, session_.lists().functions.size());
        if (!entry) return false;
        selectRowQuietly(*functionList_, static_cast<int>(*entry));
        runSelectedFunction();
        return true;
    }
    case ItemListKeyUse::MoveInList:
    case ItemListKeyUse::Default: return false;
    case ItemListKeyUse::Swallow: return true;
    }
    return true;
}

bool ConsoleDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == itemList_ && event->type() == QEvent::KeyPress) {
        return handleItemListKey(*static_cast<QKeyEvent*>(event));
    }
    return TemplateDialog::eventFilter(watched, event);
}

void ConsoleDialog::onReset() {
    fillLists();
    focusItemList();
}

void ConsoleDialog::onAutoReading(bool checked) { context_.autoReading = checked ? 1 : 0; }

// --- undo ---

void ConsoleDialog::onItemMenu(const QPoint& position) {
    undoEntry_->setEnabled(session_.canUndo());
    restoreEntry_->setEnabled(session_.pageHasChanges());
    itemMenu_->popup(itemList_->viewport()->mapToGlobal(position));
}

void ConsoleDialog::onUndo() {
    const ConsoleSession::UndoResult undone = session_.undoLastChange();
    if (undone.row >= 0) {
        // The item written back is shown, without being read once more.
        selectRowQuietly(*itemList_, undone.row);
        showSelectedValue();
    }
    focusItemList();
}

void ConsoleDialog::onRestoreStartValues() {
    (void)session_.restoreStartValues();
    showItemValues();
    focusItemList();
}

// --- RUN ---

void ConsoleDialog::runSelectedFunction() {
    if (backupGate_ != nullptr) {
        const FunctionRecord* record = session_.function(selectedFunctionRow());
        if (record != nullptr && tools::functionWritesMemory(context_.model, record->kind, record->code) &&
            !tools::ui::windowBackupCheck(this, messages_, *backupGate_, context_)) {
            return;
        }
    }
    if (!session_.runFunctionRow(selectedFunctionRow(), *this)) return;
    // The values the function left, when Auto Reading read them again.
    showItemValues();
    focusItemList();
}

void ConsoleDialog::showRunStatus(std::string_view status) {
    runStatus_->setText(text(status));
    // The pause and the monitor traffic that follow block the event loop.
    runStatus_->repaint();
}

void ConsoleDialog::takeTranscript(std::string_view transcript) {
    if (debugWindow_.exists()) debugWindow_.appendTranscript(transcript);
}

void ConsoleDialog::showRunProgress(std::size_t done, std::size_t total) {
    // Far below int's range: a save has at most 255 tables of 255 modes
    // and 50 columns.
    runProgress_.showSteps(static_cast<int>(done), static_cast<int>(total));
}

void ConsoleDialog::endRunProgress() { runProgress_.finish(); }

// --- other windows ---

void ConsoleDialog::onDebug() {
    debugWindow_.openAndClear();
    focusItemList();
}

void ConsoleDialog::onOption() {
    link::JigTransport* jig = context_.link.jigControls();
    if (jig == nullptr) {
        // A graphics card's adapter clocks the display channel itself.
        link::ui::JigOptionsDialog::explainNoBusSpeed(this, text(link::kNoBusSpeedMessage));
    } else if (const std::optional<int> count = link::ui::JigOptionsDialog::ask(this, jig->bus().busDelayCount())) {
        jig->bus().setBusDelayCount(*count);
    }
    focusItemList();
}

void ConsoleDialog::onTimingList() {
    tools::ui::PresetTimingDialog::run(this, context_.model);
    focusItemList();
}

void ConsoleDialog::onCrtOnTime() {
    tools::ui::showCrtOnTime(context_.link, messages_);
    focusItemList();
}

void ConsoleDialog::onFeatures() {
    if (backupGate_ != nullptr) tools::ui::MemoryEdidDialog::run(this, context_, messages_, fileChooser_, *backupGate_);
    else tools::ui::MemoryEdidDialog::run(this, context_, messages_, fileChooser_);
    focusItemList();
}

void ConsoleDialog::onPassword() {
    PasswordDialog dialog(context_.flags, messages_, this);
    dialog.exec();
    updateTitle();
    if (context_.flags.writeEnabled != 0) passwordButton_->hide();
}

void ConsoleDialog::onAbout() {
    AboutDialog about(this);
    about.exec();
}

void ConsoleDialog::contextMenuEvent(QContextMenuEvent* event) {
    backgroundMenu_->popup(event->globalPos());
    event->accept();
}

}  // namespace velmora::console::ui
