#pragma once
#include "session/program_context.h"
#include "platform/file_chooser.h"
#include "platform/message_sink.h"
#include "platform/qt/template_dialog.h"
#include <optional>
#include <string>

#include "tools/backup_gate.h"
#include "tools/memory_edid_logic.h"
#include "tools/ui/qt_wait_indicator.h"

class QLineEdit;
class QPlainTextEdit;

namespace velmora::tools::ui {

// "Memory & Edid": one page of the monitor's EEPROM in a 16 x 16 hex dump,
// read whole or written byte by byte, the EDID block read over the display
// data channel, and the Save Memory and Load File dialogs for a page.
class MemoryEdidDialog : public platform::qt::TemplateDialog, private MemoryEdidView {
    Q_OBJECT
public:
    static constexpr int kPageBox = 1041;
    static constexpr int kPageSpin = 1044;
    static constexpr int kAddressBox = 1042;
    static constexpr int kDataBox = 1043;
    static constexpr int kReadMemoryButton = 1031;
    static constexpr int kWriteMemoryButton = 1032;
    static constexpr int kReadEdidButton = 1030;
    static constexpr int kSaveMemoryButton = 1033;
    static constexpr int kLoadFileButton = 1046;
    // Opens the EDID window with the data box's bytes decoded.
    static constexpr int kDecodeEdidButton = 1047;
    // Write Memory and Load File read every written byte back (off at first).
    static constexpr int kVerifyBox = 1048;
    // Lists the EEPROM backups and opens one for Load File.
    static constexpr int kBackupsButton = 1049;
    // Opens the Patterns window: the model's modes on the monitor's output.
    static constexpr int kPatternsButton = 1050;
    static constexpr int kColumnHeader = 1045;
    static constexpr int kRowLabels = 1034;
    static constexpr int kDumpBox = 1035;
    // Created hidden and disabled; nothing shows them.
    static constexpr int kReadEdidDdc1Button = 1029;
    static constexpr int kBusStartButton = 1036;
    static constexpr int kSendA0Button = 1037;
    static constexpr int kSendA1Button = 1038;
    static constexpr int kReceiveDataButton = 1040;
    static constexpr int kBusStopButton = 1039;

    // `messages` carries the window's own boxes (and those of its dialogs);
    // the link reports failed exchanges through the program's platform.
    MemoryEdidDialog(session::ProgramContext& program, platform::MessageSink& messages,
                     platform::FileChooser& chooser, QWidget* parent = nullptr);

    // Opens the window modally; returns when it is closed.
    static void run(QWidget* parent, session::ProgramContext& program, platform::MessageSink& messages,
                    platform::FileChooser& chooser);
    // The same, with the backup check before every write (the gate lives
    // as long as the program: it remembers the session's monitors).
    static void run(QWidget* parent, session::ProgramContext& program, platform::MessageSink& messages,
                    platform::FileChooser& chooser, BackupGate& gate);

    // Write Memory and Load File pass the gate's check first.
    void setBackupGate(BackupGate& gate);

    [[nodiscard]] const MemoryEdidLogic& logic() const { return logic_; }

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void initialise();
    void connectButton(int id, void (MemoryEdidDialog::*handler)());
    void alignLabelsWithDump();
    void showDump();

    void onFirstPaint();
    void onPageTextChanged();
    void onAddressTextChanged();
    void onReadMemory();
    void onWriteMemory();
    void onReadEdid();
    void onSaveMemory();
    void onLoadFile();
    void onDecodeEdid();
    void onPatterns();
    void onReadEdidDdc1();
    void onBusStart();
    void onSendA0();
    void onSendA1();
    void onReceiveData();
    void onBusStop();
    void onVerifyToggled(bool checked);
    void onBackups();
    void openDumpMemory(const std::optional<std::string>& file);
    [[nodiscard]] bool backupCheck();

    // What the logic reports while it works.
    void showWaitCursor() override;
    void restoreCursor() override;
    void dumpReplaced() override;
    void dumpCleared() override;
    void dumpRowWritten(int row) override;
    void dumpCellChanged(DumpText::CellPosition cell) override;

    session::ProgramContext& program_;
    platform::MessageSink& messages_;
    platform::FileChooser& chooser_;
    QtWaitIndicator wait_;
    MemoryEdidLogic logic_;
    QLineEdit* pageBox_ = nullptr;
    QLineEdit* addressBox_ = nullptr;
    QLineEdit* dataBox_ = nullptr;
    QPlainTextEdit* dumpBox_ = nullptr;
    BackupGate* gate_ = nullptr;
    bool verify_ = false;
    bool labelsAligned_ = false;
    bool paintSeen_ = false;
};

}  // namespace velmora::tools::ui
