#pragma once
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>
#include <vector>

#include "tools/model_modes.h"
#include "tools/pattern_session.h"
#include "tools/ui/test_patterns.h"

namespace velmora::tools::ui {

class PatternWindow;

// The model's modes on one output with a pattern in each: the session that
// sets and restores the modes, the window that fills the output, and the
// steps between them. The console's Patterns window and velmora-jigctl's
// pattern command both drive one.
class PatternShow : public QObject {
    Q_OBJECT
public:
    enum class Ending { Asked, Unconfirmed };

    // `windowTakesKeys`: the pattern window itself answers the keys (Enter
    // keeps, Space next pattern, Page Up/Down mode, H caption, Esc ends).
    PatternShow(platform::ModeSetter& setter, const QString& output, std::vector<ModelMode> modes, bool windowTakesKeys,
                std::chrono::milliseconds confirmWithin = kConfirmWithin, QObject* parent = nullptr);
    ~PatternShow() override;

    // Sets the mode of line `index` and shows the pattern in it; the refusal
    // or failure otherwise (the output keeps what it showed).
    PatternSession::Outcome showMode(int index, bool forced);
    void setPattern(TestPattern pattern);
    void stepPattern(int delta);
    // The next usable line up or down the list that the monitor's limits
    // allow; false when there is none.
    bool stepMode(int delta);
    void confirm();
    void setCaptionShown(bool shown);
    // Puts the output's mode back and closes the pattern; the card's
    // complaint, if any.
    QString end(Ending why = Ending::Asked);

    [[nodiscard]] bool showing() const { return shownIndex_ >= 0; }
    [[nodiscard]] int modeIndex() const { return shownIndex_; }
    [[nodiscard]] TestPattern pattern() const { return pattern_; }
    [[nodiscard]] const std::vector<ModelMode>& modes() const { return modes_; }
    [[nodiscard]] PatternSession& session() { return session_; }
    // The caption's text, also shown in the console.
    [[nodiscard]] QString caption() const;

signals:
    void ended(velmora::tools::ui::PatternShow::Ending why, const QString& problem);
    void changed();

private:
    void onTick();
    void onKey(int key);
    void redraw();

    PatternSession session_;
    QString output_;
    std::vector<ModelMode> modes_;
    bool windowTakesKeys_;
    std::unique_ptr<PatternWindow> window_;
    QTimer tick_;
    int shownIndex_ = -1;
    TestPattern pattern_ = TestPattern::Crosshatch;
    bool captionShown_ = true;
    bool forced_ = false;
    long lastSecondsLeft_ = -1;
};

}  // namespace velmora::tools::ui
