#pragma once
#include <optional>

#include "platform/qt/template_dialog.h"

class QSlider;

namespace velmora::link::ui {

// "A/S Jig Options": the I2C Speed slider sets the bus delay count.
// Slider position = bus delay count - 50, so 0 (fast) gives 50 spin
// iterations per delay unit, 50 (normal) 100, and 100 (slow) 150.
class JigOptionsDialog : public platform::qt::TemplateDialog {
    Q_OBJECT
public:
    static constexpr int kSliderId = 1039;
    static constexpr int kPositionOffset = 50;

    explicit JigOptionsDialog(int busDelayCount, QWidget* parent = nullptr);
    // On a link without a bus speed (a display channel): the dialog shows
    // `reason` where the slider and its scale would be, and OK changes nothing.
    JigOptionsDialog(const QString& reason, QWidget* parent);

    // Runs the dialog modally. OK gives the new bus delay count; Cancel or
    // closing gives nothing, and the caller keeps its count.
    [[nodiscard]] static std::optional<int> ask(QWidget* parent, int busDelayCount);
    // Runs the dialog modally with `reason` in place of the slider.
    static void explainNoBusSpeed(QWidget* parent, const QString& reason);

    [[nodiscard]] QSlider* speedSlider() const;

    // Set by OK; empty until then and after Cancel.
    [[nodiscard]] std::optional<int> chosenBusDelayCount() const { return chosen_; }

protected:
    void onOk() override;

private:
    std::optional<int> chosen_;
};

}  // namespace velmora::link::ui
