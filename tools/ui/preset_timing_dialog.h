#pragma once
#include "model/model_description.h"
#include "platform/qt/template_dialog.h"

namespace velmora::tools::ui {

// "Preset Timing": the selected model's name, its timings on the left and
// the standard timing each matches on the right, filled once on opening.
class PresetTimingDialog : public platform::qt::TemplateDialog {
    Q_OBJECT
public:
    static constexpr int kModelNameLabel = 1011;
    static constexpr int kTimingsLabel = 1003;
    static constexpr int kStandardsLabel = 1012;

    explicit PresetTimingDialog(const model::ModelDescription& model, QWidget* parent = nullptr);

    // Opens the dialog modally for the model as it is compiled now.
    static void run(QWidget* parent, const model::ModelDescription& model);
};

}  // namespace velmora::tools::ui
