#pragma once
#include <QString>

#include <string>
#include <string_view>

#include "console/console_session.h"
#include "console/function_run.h"
#include "link/ui/debug_window.h"
#include "session/program_context.h"
#include "platform/file_chooser.h"
#include "platform/message_sink.h"
#include "platform/qt/template_dialog.h"
#include "tools/backup_gate.h"
#include "tools/ui/transfer_progress.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QMenu;
class QKeyEvent;
class QPushButton;
class QScrollBar;
class QTabWidget;

namespace velmora::console::ui {

class DigitKeyWatch;
class ScrollCodeTranslator;

// The main window (template 102): the model catalogue, the page tabs with
// the item and function lists, value adjustment by scroll bar and keys,
// RUN, Reset, Reload, Auto Reading, the Debug and Option windows and the
// write password; Ctrl+Z and the item list's menu undo value changes.
// Everything runs on the window's thread: a handler with monitor traffic
// returns when the traffic is over.
//
// Building the window initialises it completely: the catalogue is read
// from the program directory and the first model is loaded, with its first
// page's values read from the monitor.
class ConsoleDialog : public platform::qt::TemplateDialog, private RunDisplay {
    Q_OBJECT
public:
    static constexpr int kTabsId = 1001;
    static constexpr int kModelComboId = 1002;
    static constexpr int kTimingListId = 1003;
    static constexpr int kFeaturesId = 1004;
    static constexpr int kDebugId = 1005;
    static constexpr int kOptionId = 1006;
    static constexpr int kScrollBarId = 1007;
    static constexpr int kItemListId = 1008;
    static constexpr int kItemNameId = 1009;
    static constexpr int kItemValueId = 1010;
    static constexpr int kFunctionListId = 1011;
    static constexpr int kResetId = 1013;
    static constexpr int kReloadId = 1014;
    static constexpr int kCrtOnTimeId = 1015;
    static constexpr int kPasswordId = 1016;
    static constexpr int kRunId = 1026;
    static constexpr int kRunStatusId = 1028;
    static constexpr int kAutoReadingId = 1048;

    // The model selector is widened to this many pixels, with room for this
    // many pixels of dropped list, so long display texts can be read.
    static constexpr int kModelListWidth = 350;
    static constexpr int kModelListHeight = 300;

    ConsoleDialog(session::ProgramContext& context, link::ui::CDebugWnd& debugWindow,
                  model::ModelFolders modelFolders, platform::MessageSink& messages,
                  platform::FileChooser& fileChooser, QWidget* parent = nullptr);
    ~ConsoleDialog() override;

    [[nodiscard]] ConsoleSession& session() { return session_; }
    // From now on every write to the monitor's EEPROM (RUN of a function
    // that saves or writes memory, Write Memory, Load File) passes the
    // gate's backup check first.
    void guardEepromWrites(tools::BackupGate& gate) { backupGate_ = &gate; }
    // The menu of the window's background that carries the About entry.
    [[nodiscard]] QMenu* backgroundMenu() const { return backgroundMenu_; }
    // The item list's menu: "Undo" and "Restore values read at start".
    [[nodiscard]] QMenu* itemMenu() const { return itemMenu_; }
    // The bar along the window's lower edge while a long function runs.
    [[nodiscard]] const tools::ui::TransferProgress& runProgress() const { return runProgress_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void bindControls();
    void connectControls();
    void discoverModels();
    void loadModel(int comboIndex);
    void showLoadedModel();
    void rebuildTabs(int count);
    void fillLists();
    void showItemValues();
    void showSelectedValue();
    void selectItemRow(int row);
    [[nodiscard]] int selectedItemRow() const;
    [[nodiscard]] int selectedFunctionRow() const;
    void focusItemList();
    void updateTitle();

    void onModelChosen(int comboIndex);
    void onReload();
    void onTabChanged(int index);
    void onItemSelectionChanged();
    void onScrolled(int code, int position);
    void onReset();
    void onAutoReading(bool checked);
    void onDebug();
    void onOption();
    void onTimingList();
    void onCrtOnTime();
    void onFeatures();
    void onPassword();
    void onAbout();
    void onItemMenu(const QPoint& position);
    void onUndo();
    void onRestoreStartValues();
    void runSelectedFunction();
    bool handleItemListKey(const QKeyEvent& event);

    // RunDisplay
    void showRunStatus(std::string_view text) override;
    void takeTranscript(std::string_view transcript) override;
    void showRunProgress(std::size_t done, std::size_t total) override;
    void endRunProgress() override;

    tools::BackupGate* backupGate_ = nullptr;
    session::ProgramContext& context_;
    link::ui::CDebugWnd& debugWindow_;
    platform::MessageSink& messages_;
    platform::FileChooser& fileChooser_;
    ConsoleSession session_;

    QTabWidget* tabs_ = nullptr;
    QComboBox* modelCombo_ = nullptr;
    QScrollBar* valueBar_ = nullptr;
    QListWidget* itemList_ = nullptr;
    QListWidget* functionList_ = nullptr;
    QLabel* itemName_ = nullptr;
    QLabel* itemValue_ = nullptr;
    QLabel* runStatus_ = nullptr;
    QCheckBox* autoReading_ = nullptr;
    QPushButton* passwordButton_ = nullptr;
    ScrollCodeTranslator* scrollCodes_ = nullptr;
    DigitKeyWatch* digitKeys_ = nullptr;
    QMenu* backgroundMenu_ = nullptr;
    QMenu* itemMenu_ = nullptr;
    QAction* undoEntry_ = nullptr;
    QAction* restoreEntry_ = nullptr;
    tools::ui::TransferProgress runProgress_{*this, QStringLiteral("%v of %m steps (%p%)")};
};

}  // namespace velmora::console::ui
