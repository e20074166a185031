#include "link/ui/jig_options_dialog.h"

#include <QLabel>
#include <QSlider>

namespace velmora::link::ui {

JigOptionsDialog::JigOptionsDialog(int busDelayCount, QWidget* parent)
    : TemplateDialog(QString::fromLatin1(platform::qt::templates::kJigOptionsDialog), parent) {
    if (QSlider* slider = speedSlider()) {
        slider->setRange(0, 100);
        slider->setValue(busDelayCount - kPositionOffset);
    }
}

JigOptionsDialog::JigOptionsDialog(const QString& reason, QWidget* parent)
    : TemplateDialog(QString::fromLatin1(platform::qt::templates::kJigOptionsDialog), parent) {
    QSlider* slider = speedSlider();
    if (slider == nullptr) return;
    // The note takes the place of the slider and of the scale under it.
    QRect area = slider->geometry();
    for (QLabel* scale : findChildren<QLabel*>()) {
        if (!scale->text().contains(QLatin1String("fast"))) continue;
        area = area.united(scale->geometry());
        scale->hide();
    }
    slider->hide();
    auto* note = new QLabel(reason, slider->parentWidget());
    note->setObjectName(QStringLiteral("noBusSpeed"));
    note->setWordWrap(true);
    note->setGeometry(area);
    note->show();
}

void JigOptionsDialog::explainNoBusSpeed(QWidget* parent, const QString& reason) {
    JigOptionsDialog dialog(reason, parent);
    dialog.exec();
}

QSlider* JigOptionsDialog::speedSlider() const {
    return control<QSlider>(kSliderId);
}

void JigOptionsDialog::onOk() {
    if (QSlider* slider = speedSlider(); slider != nullptr && !slider->isHidden()) {
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
