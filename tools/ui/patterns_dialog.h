#pragma once
#include <QDialog>
#include <QTimer>

#include <functional>
#include <memory>

#include "platform/mode_setter.h"
#include "tools/model_modes.h"
#include "tools/ui/pattern_show.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace velmora::model {
class ModelDescription;
}
namespace velmora::platform {
class TerminationSignals;
}

namespace velmora::tools::ui {

// "Patterns": the selected model's modes on the monitor's output with a test
// pattern in each, beside the console. Page Up/Down step the modes, Space
// the patterns, Enter keeps a newly set mode, Esc ends; the console stays
// usable for the adjustments and MODE SAVE of each mode.
class PatternsDialog : public QDialog {
    Q_OBJECT
public:
    using SetterMaker = std::function<std::unique_ptr<platform::ModeSetter>(QString& failure)>;
    // Asked before a mode outside the monitor's ranges is set; true sets it.
    using ForceQuestion = std::function<bool(const QString& question)>;

    // Without a maker the modes go through the X server's RandR.
    PatternsDialog(const model::ModelDescription& model, QWidget* parent = nullptr, SetterMaker makeSetter = {},
                   ForceQuestion askForce = {});
    ~PatternsDialog() override;

    // Opens the window beside its parent; it deletes itself when closed.
    static PatternsDialog* open(const model::ModelDescription& model, QWidget* parent);

    [[nodiscard]] PatternShow* patternShow() const { return show_.get(); }
    [[nodiscard]] QString status() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void onShow();
    void onKeep();
    void onEnd();
    void onPatternChosen();
    void onShowChanged();
    void onEnded(PatternShow::Ending why, const QString& problem);
    void onSignalCheck();
    bool handleKey(int key);
    void setStatus(const QString& text);

    std::vector<ModelMode> modes_;
    std::unique_ptr<platform::ModeSetter> setter_;
    std::unique_ptr<PatternShow> show_;
    std::unique_ptr<platform::TerminationSignals> signals_;
    ForceQuestion askForce_;
    QTimer signalCheck_;
    QComboBox* outputBox_ = nullptr;
    QListWidget* modeList_ = nullptr;
    QListWidget* patternList_ = nullptr;
    QCheckBox* forceBox_ = nullptr;
    QPushButton* showButton_ = nullptr;
    QPushButton* keepButton_ = nullptr;
    QPushButton* endButton_ = nullptr;
    QLabel* statusLabel_ = nullptr;
};

}  // namespace velmora::tools::ui
