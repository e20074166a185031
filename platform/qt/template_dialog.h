#pragma once
#include <QDialog>
#include <QString>

#include <vector>

#include "platform/qt/dialog_template.h"
#include "platform/qt/dialog_units.h"

namespace velmora::platform::qt {

// Names of the compiled-in dialog tables.
namespace templates {
inline constexpr char kConsoleDialog[] = "console_dialog";        // main window, 102
inline constexpr char kPasswordDialog[] = "password_dialog";      // Password for Writing, 140
inline constexpr char kJigOptionsDialog[] = "jig_options_dialog";  // A/S Jig Options
inline constexpr char kAboutDialog[] = "about_dialog";
inline constexpr char kMemoryEdidDialog[] = "memory_edid_dialog";
inline constexpr char kSaveMemoryDialog[] = "save_memory_dialog";
inline constexpr char kDumpMemoryDialog[] = "dump_memory_dialog";
inline constexpr char kPresetTimingDialog[] = "preset_timing_dialog";
}  // namespace templates

// Control ids with a fixed meaning in every dialog: the button with id 1
// confirms (onOk), the one with id 2 cancels, as do Escape and the close box.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

// A dialog built from one of the compiled-in tables: font, client size in
// dialog units, caption, frame and controls. Windows derive from it, find
// their controls by id and override onOk/onCancel for their own handling.
//
// Enter presses the push button that has the focus; otherwise the button a
// window gave the focused box (setEnterAction); otherwise the table's
// default button (when it is visible and enabled); a table without a
// default button takes Enter as OK, unless the window keeps open on Enter.
class TemplateDialog : public QDialog {
    Q_OBJECT
public:
    explicit TemplateDialog(const QString& templateName, QWidget* parent = nullptr);

    [[nodiscard]] QWidget* control(int id) const;
    template <class Widget>
    [[nodiscard]] Widget* control(int id) const {
        return qobject_cast<Widget*>(control(id));
    }

    // Empty when the table was read and built; otherwise what went wrong
    // (the dialog then has no controls).
    [[nodiscard]] const QString& buildError() const { return buildError_; }
    [[nodiscard]] const DialogUnits& dialogUnits() const { return units_; }
    [[nodiscard]] const DialogTemplate& dialogTemplate() const { return template_; }

    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

    // Enter in the box `boxId` presses `buttonId` when that button is shown
    // and enabled, and otherwise does nothing.
    void setEnterAction(int boxId, int buttonId);
    // Enter where no button answers it does nothing, rather than close the
    // window as OK: for windows whose boxes are typed into.
    void keepOpenOnEnter() { enterWithoutButtonIsOk_ = false; }

    // Button 1 (and Enter, when it is the default button). Closes with Accepted.
    virtual void onOk();
    // Button 2, Escape and the close box. Closes with Rejected.
    virtual void onCancel();

private:
    void applyWindowStyles();
    void connectStandardButtons();
    void pressDefaultButton();

    struct EnterAction {
        int boxId;
        int buttonId;
    };

    DialogTemplate template_;
    DialogUnits units_{1, 1};
    QString buildError_;
    std::vector<EnterAction> enterActions_;
    bool enterWithoutButtonIsOk_ = true;
};

}  // namespace velmora::platform::qt
