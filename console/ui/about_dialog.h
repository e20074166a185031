#pragma once
#include <QString>

#include "platform/qt/template_dialog.h"

namespace velmora::console::ui {

// The name the About entry and the About box give the program.
inline constexpr char kAboutProgramName[] = "Velmora Monitor A/S Jig";

// "&About", a blank, the program's name and three full stops.
[[nodiscard]] QString aboutEntryText();

// The About box: the program's icon, name and version, and OK.
class AboutDialog : public platform::qt::TemplateDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace velmora::console::ui
