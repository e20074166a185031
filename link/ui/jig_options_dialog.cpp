#include "link/ui/jig_options_dialog.h"

#include <QSlider>

namespace velmora::link::ui {

JigOptionsDialog::JigOptionsDialog(int busDelayCount, QWidget* parent)
    : TemplateDialog(QString::fromLatin1(platform::qt::templates::kJigOptionsDialog), parent) {
    if (QSlider* slider = speedSlider()) {
        slider->setRange(0, 100);
        slider->setValue(busDelayCount - kPositionOffset);
    }
}

QSlider* JigOptionsDialog::speedSlider() const {
    return control<QSlider>(kSliderId);
}

void JigOptionsDialog::onOk() {
    if (QSlider* slider = speedSlider()) {
        chosen_ = slider->value() + kPositionOffset;
    }
    TemplateDialog::onOk();
}

std::optional<int> JigOptionsDialog::ask(QWidget* parent, int busDelayCount) {
    JigOptionsDialog dialog(busDelayCount, parent);
    dialog.exec();
    return dialog.chosenBusDelayCount();
}

}  // namespace velmora::link::ui
