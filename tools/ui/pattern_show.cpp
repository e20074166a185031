#include "tools/ui/pattern_show.h"

#include <QKeyEvent>

#include "tools/ui/pattern_window.h"

namespace velmora::tools::ui {

namespace {

constexpr int kTickMs = 100;

QString text(const std::string& value) { return QString::fromStdString(value); }

}  // namespace

PatternShow::PatternShow(platform::ModeSetter& setter, const QString& output, std::vector<ModelMode> modes,
                         bool windowTakesKeys, std::chrono::milliseconds confirmWithin, QObject* parent)
    : QObject(parent),
      session_(setter, output.toStdString(), confirmWithin),
      output_(output),
      modes_(std::move(modes)),
      windowTakesKeys_(windowTakesKeys) {
    tick_.setInterval(kTickMs);
    connect(&tick_, &QTimer::timeout, this, &PatternShow::onTick);
}

PatternShow::~PatternShow() {
    blockSignals(true);
    (void)end();
}

PatternSession::Outcome PatternShow::showMode(int index, bool forced) {
    if (index < 0 || index >= int(modes_.size())) {
        PatternSession::Outcome outcome;
        outcome.refused = true;
        outcome.message = "mode " + std::to_string(index) + " is not in the model's list (0 to " +
                          std::to_string(int(modes_.size()) - 1) + ")";
        return outcome;
    }
    auto outcome = session_.show(modes_[std::size_t(index)], forced, PatternSession::Clock::now());
    if (!outcome.shown) return outcome;
    shownIndex_ = index;
    forced_ = forced;
    lastSecondsLeft_ = -1;
    if (!window_) {
        window_ = std::make_unique<PatternWindow>(windowTakesKeys_);
        connect(window_.get(), &PatternWindow::keyPressed, this, &PatternShow::onKey);
    }
    const platform::VideoMode& mode = *modes_[std::size_t(index)].mode;
    window_->showOn(output_, renderTestPattern(pattern_, QSize(mode.hDisplay, mode.vDisplay), caption()));
    tick_.start();
    emit changed();
    return outcome;
}

void PatternShow::setPattern(TestPattern pattern) {
    pattern_ = pattern;
    redraw();
}

void PatternShow::stepPattern(int delta) {
    const auto all = testPatterns();
    const int count = int(all.size());
    int index = 0;
    for (int i = 0; i < count; ++i) {
        if (all[std::size_t(i)].pattern == pattern_) index = i;
    }
    setPattern(all[std::size_t(((index + delta) % count + count) % count)].pattern);
}

bool PatternShow::stepMode(int delta) {
    const int count = int(modes_.size());
    for (int step = 1; step < count; ++step) {
        const int index = ((std::max(shownIndex_, 0) + delta * step) % count + count) % count;
        const ModelMode& mode = modes_[std::size_t(index)];
        if (!mode.mode || (!forced_ && !rangeRefusal(*mode.mode, session_.limits()).empty())) continue;
        if (showMode(index, forced_).shown) return true;
    }
    return false;
}

void PatternShow::confirm() {
    session_.confirm();
    redraw();
}

void PatternShow::setCaptionShown(bool shown) {
    captionShown_ = shown;
    redraw();
}

QString PatternShow::caption() const {
    if (shownIndex_ < 0) return {};
    QString line = QString::fromLatin1(testPatternName(pattern_).data(), qsizetype(testPatternName(pattern_).size())) +
                   QStringLiteral("   ") + QStringLiteral("mode ") + text(modelModeLine(modes_[std::size_t(shownIndex_)])) +
                   QStringLiteral(" on ") + output_;
    const auto left = session_.confirmationLeft(PatternSession::Clock::now());
    if (left) {
        line += QStringLiteral("\nEnter keeps this mode; otherwise the previous mode comes back in %1 s")
                    .arg((left->count() + 999) / 1000);
    }
    if (windowTakesKeys_) line += QStringLiteral("\nSpace: pattern   Page Up/Down: mode   H: hide this   Esc: end");
    return line;
}

QString PatternShow::end(Ending why) {
    tick_.stop();
    const bool wasShowing = shownIndex_ >= 0;
    shownIndex_ = -1;
    if (window_) window_->hide();
    window_.reset();
    const QString problem = text(session_.end());
    if (wasShowing) emit ended(why, problem);
    return problem;
}

void PatternShow::redraw() {
    if (shownIndex_ < 0 || !window_) return;
    const platform::VideoMode& mode = *modes_[std::size_t(shownIndex_)].mode;
    window_->setPicture(renderTestPattern(pattern_, QSize(mode.hDisplay, mode.vDisplay),
                                          captionShown_ ? caption() : QString()));
    emit changed();
}

void PatternShow::onTick() {
    const auto left = session_.confirmationLeft(PatternSession::Clock::now());
    if (left && left->count() == 0) {
        (void)end(Ending::Unconfirmed);
        return;
    }
    const long seconds = left ? long((left->count() + 999) / 1000) : -1;
    if (seconds != lastSecondsLeft_) {
        lastSecondsLeft_ = seconds;
        redraw();
    }
}

void PatternShow::onKey(int key) {
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: confirm(); break;
    case Qt::Key_Space: stepPattern(1); break;
    case Qt::Key_Backspace: stepPattern(-1); break;
    case Qt::Key_PageDown: (void)stepMode(1); break;
    case Qt::Key_PageUp: (void)stepMode(-1); break;
    case Qt::Key_H: setCaptionShown(!captionShown_); break;
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta: break;
    default: (void)end(Ending::Asked); break;  // Esc or any other key
    }
}

}  // namespace velmora::tools::ui
