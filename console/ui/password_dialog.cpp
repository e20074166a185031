#include "console/ui/password_dialog.h"

#include <QLineEdit>

#include "console/write_password.h"

namespace velmora::console::ui {

PasswordDialog::PasswordDialog(link::ProgramFlags& flags, platform::MessageSink& messages, QWidget* parent)
    : TemplateDialog(QString::fromLatin1(platform::qt::templates::kPasswordDialog), parent),
      flags_(flags),
      messages_(messages) {}

QLineEdit* PasswordDialog::passwordEdit() const { return control<QLineEdit>(kPasswordEditId); }

void PasswordDialog::onOk() {
    QLineEdit* edit = passwordEdit();
    // The comparison works on 8-bit characters; anything beyond Latin-1
    // cannot match and becomes '?'.
    const QByteArray typed =
        edit != nullptr ? edit->text().left(static_cast<qsizetype>(kPasswordTextLimit)).toLatin1() : QByteArray();
    (void)applyPassword(std::string_view(typed.constData(), static_cast<std::size_t>(typed.size())), flags_,
                        messages_);
    TemplateDialog::onOk();
}

}  // namespace velmora::console::ui
