#include "console/ui/about_dialog.h"

namespace velmora::console::ui {

QString aboutEntryText() {
    return QStringLiteral("&About ") + QString::fromLatin1(kAboutProgramName) + QStringLiteral("...");
}

AboutDialog::AboutDialog(QWidget* parent)
    : TemplateDialog(QString::fromLatin1(platform::qt::templates::kAboutDialog), parent) {}

}  // namespace velmora::console::ui
