#pragma once
#include <QDialog>

#include <string>

#include "platform/file_chooser.h"

class QPlainTextEdit;
class QPushButton;

namespace velmora::tools::ui {

// "EDID": the decoded EDID in a read-only text box, opened from the Memory
// & Edid window's "Decode EDID" button with the data box's block; "Open
// File..." decodes an EDID file instead (raw bytes or hex text).
class EdidTextWindow : public QDialog {
    Q_OBJECT
public:
    EdidTextWindow(const std::string& text, platform::FileChooser& chooser, QWidget* parent = nullptr);

    // Opens the window modally; returns when it is closed.
    static void run(QWidget* parent, const std::string& text, platform::FileChooser& chooser);

    [[nodiscard]] QString shownText() const;
    [[nodiscard]] QPushButton* openFileButton() const { return openFile_; }

private:
    void onOpenFile();

    platform::FileChooser& chooser_;
    QPlainTextEdit* text_ = nullptr;
    QPushButton* openFile_ = nullptr;
};

}  // namespace velmora::tools::ui
