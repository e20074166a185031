#include "tools/ui/preset_timing_dialog.h"

#include <QLabel>

#include "platform/qt/display_text.h"
#include "tools/preset_timing_text.h"

namespace velmora::tools::ui {

using platform::qt::displayText;

PresetTimingDialog::PresetTimingDialog(const model::ModelDescription& model, QWidget* parent)
    : TemplateDialog(QString::fromLatin1(platform::qt::templates::kPresetTimingDialog), parent) {
    if (!buildError().isEmpty()) return;
    const PresetTimingTexts texts = presetTimingTexts(model);
    control<QLabel>(kTimingsLabel)->setText(displayText(texts.left));
    control<QLabel>(kStandardsLabel)->setText(displayText(texts.right));
    control<QLabel>(kModelNameLabel)->setText(displayText(texts.modelName));
}

void PresetTimingDialog::run(QWidget* parent, const model::ModelDescription& model) {
    PresetTimingDialog dialog(model, parent);
    dialog.exec();
}

}  // namespace velmora::tools::ui
