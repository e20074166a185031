#pragma once
#include "link/program_flags.h"
#include "platform/message_sink.h"
#include "platform/qt/template_dialog.h"

class QLineEdit;

namespace velmora::console::ui {

// "Password for Writing": a masked field and "Apply". Apply (or Enter)
// compares the typed text and closes the dialog whatever the outcome; a
// correct password turns the write-enabled mode on, a wrong one is told in
// a box captioned "Password". Escape closes it without comparing.
class PasswordDialog : public platform::qt::TemplateDialog {
    Q_OBJECT
public:
    static constexpr int kPasswordEditId = 1027;

    PasswordDialog(link::ProgramFlags& flags, platform::MessageSink& messages, QWidget* parent = nullptr);

    [[nodiscard]] QLineEdit* passwordEdit() const;

protected:
    void onOk() override;

private:
    link::ProgramFlags& flags_;
    platform::MessageSink& messages_;
};

}  // namespace velmora::console::ui
