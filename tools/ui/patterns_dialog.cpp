#include "tools/ui/patterns_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <csignal>

#include "model/model_description.h"
#include "platform/termination_signals.h"
#include "platform/x11/display_session.h"
#include "platform/x11/xrandr_mode_setter.h"

namespace velmora::tools::ui {

namespace {

std::unique_ptr<platform::ModeSetter> xrandrSetter(QString& failure) {
    failure = QString::fromStdString(platform::displayModeObstacle());
    if (!failure.isEmpty()) return nullptr;
    auto setter = std::make_unique<platform::XrandrModeSetter>();
    failure = QString::fromStdString(setter->failure());
    if (!failure.isEmpty()) return nullptr;
    return setter;
}

bool askWithMessageBox(QWidget* parent, const QString& question) {
    return QMessageBox::question(parent, QStringLiteral("Patterns"), question, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

constexpr int kSignalCheckMs = 100;

}  // namespace

PatternsDialog::PatternsDialog(const model::ModelDescription& model, QWidget* parent, SetterMaker makeSetter,
                               ForceQuestion askForce)
    : QDialog(parent), modes_(modelModes(model)), askForce_(std::move(askForce)) {
    setWindowTitle(QStringLiteral("Patterns - %1").arg(QString::fromStdString(model.modelName)));
    if (!askForce_) askForce_ = [this](const QString& question) { return askWithMessageBox(this, question); };

    auto* layout = new QVBoxLayout(this);
    auto* outputRow = new QHBoxLayout;
    outputRow->addWidget(new QLabel(QStringLiteral("Output (the monitor under adjustment):")));
    outputBox_ = new QComboBox;
    outputRow->addWidget(outputBox_, 1);
    layout->addLayout(outputRow);
    auto* lists = new QHBoxLayout;
    modeList_ = new QListWidget;
    for (const ModelMode& mode : modes_) {
        auto* item = new QListWidgetItem(QString::fromStdString(modelModeLine(mode)), modeList_);
        if (!mode.mode) item->setFlags(item->flags() & ~Qt::ItemIsEnabled);
    }
    patternList_ = new QListWidget;
    for (const TestPatternName& entry : testPatterns()) {
        patternList_->addItem(QString::fromLatin1(entry.name.data(), qsizetype(entry.name.size())));
    }
    patternList_->setCurrentRow(0);
    patternList_->setMaximumWidth(patternList_->sizeHintForColumn(0) + 40);
    lists->addWidget(modeList_, 3);
    lists->addWidget(patternList_, 1);
    layout->addLayout(lists, 1);
    forceBox_ = new QCheckBox(QStringLiteral("Allow modes outside the monitor's range limits (asks first)"));
    layout->addWidget(forceBox_);
    auto* buttons = new QHBoxLayout;
    showButton_ = new QPushButton(QStringLiteral("Show"));
    keepButton_ = new QPushButton(QStringLiteral("Keep mode"));
    endButton_ = new QPushButton(QStringLiteral("End"));
    for (QPushButton* button : {showButton_, keepButton_, endButton_}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);
    statusLabel_ = new QLabel;
    statusLabel_->setWordWrap(true);
    statusLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(statusLabel_);
    for (QWidget* watched : {static_cast<QWidget*>(modeList_), static_cast<QWidget*>(patternList_),
                             static_cast<QWidget*>(outputBox_), static_cast<QWidget*>(forceBox_)}) {
        watched->installEventFilter(this);
    }
    connect(showButton_, &QPushButton::clicked, this, &PatternsDialog::onShow);
    connect(keepButton_, &QPushButton::clicked, this, &PatternsDialog::onKeep);
    connect(endButton_, &QPushButton::clicked, this, &PatternsDialog::onEnd);
    connect(modeList_, &QListWidget::itemActivated, this, &PatternsDialog::onShow);
    connect(patternList_, &QListWidget::currentRowChanged, this, &PatternsDialog::onPatternChosen);
    signalCheck_.setInterval(kSignalCheckMs);
    connect(&signalCheck_, &QTimer::timeout, this, &PatternsDialog::onSignalCheck);

    for (int row = 0; row < modeList_->count(); ++row) {
        if (modeList_->item(row)->flags() & Qt::ItemIsEnabled) {
            modeList_->setCurrentRow(row);
            break;
        }
    }
    QString failure;
    setter_ = makeSetter ? makeSetter(failure) : xrandrSetter(failure);
    if (setter_) {
        for (const std::string& output : setter_->connectedOutputs()) outputBox_->addItem(QString::fromStdString(output));
    }
    if (!setter_ || outputBox_->count() == 0) {
        showButton_->setEnabled(false);
        setStatus(failure.isEmpty() ? QStringLiteral("The X server lists no connected output.") : failure);
    } else if (modes_.empty()) {
        showButton_->setEnabled(false);
        setStatus(QStringLiteral("The model has no timings."));
    } else {
        setStatus(QStringLiteral("Choose the output, a mode and a pattern, then Show."));
    }
    keepButton_->setEnabled(false);
    endButton_->setEnabled(false);
}

PatternsDialog::~PatternsDialog() {
    show_.reset();  // the output's own mode comes back before the setter goes
}

PatternsDialog* PatternsDialog::open(const model::ModelDescription& model, QWidget* parent) {
    auto* dialog = new PatternsDialog(model, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setModal(false);
    dialog->QDialog::show();
    return dialog;
}

QString PatternsDialog::status() const { return statusLabel_->text(); }

void PatternsDialog::setStatus(const QString& text) { statusLabel_->setText(text); }

void PatternsDialog::onShow() {
    if (!setter_ || outputBox_->count() == 0) return;
    const int row = modeList_->currentRow();
    if (row < 0) return;
    const QString output = outputBox_->currentText();
    if (show_ && QString::fromStdString(show_->session().output()) != output) show_.reset();
    if (!show_) {
        show_ = std::make_unique<PatternShow>(*setter_, output, modes_, false);
        connect(show_.get(), &PatternShow::changed, this, &PatternsDialog::onShowChanged);
        connect(show_.get(), &PatternShow::ended, this, &PatternsDialog::onEnded);
        onPatternChosen();
    }
    bool forced = false;
    const ModelMode& mode = modes_[std::size_t(row)];
    if (mode.mode && forceBox_->isChecked()) {
        const std::string outside = rangeRefusal(*mode.mode, show_->session().limits());
        if (!outside.empty()) {
            forced = askForce_(QStringLiteral("Mode %1: %2.\nA tube driven outside its ranges can be damaged. Set it anyway?")
                                   .arg(row)
                                   .arg(QString::fromStdString(outside)));
            if (!forced) return;
        }
    }
    const auto outcome = show_->showMode(row, forced);
    if (!outcome.shown) setStatus(QString::fromStdString(outcome.message));
    if (show_->showing() && !signals_) {
        signals_ = std::make_unique<platform::TerminationSignals>();
        signalCheck_.start();
    }
}

void PatternsDialog::onKeep() {
    if (show_) show_->confirm();
}

void PatternsDialog::onEnd() {
    if (show_) (void)show_->end();
}

void PatternsDialog::onPatternChosen() {
    const int row = patternList_->currentRow();
    if (show_ && row >= 0) show_->setPattern(testPatterns()[std::size_t(row)].pattern);
}

void PatternsDialog::onShowChanged() {
    if (!show_ || !show_->showing()) return;
    modeList_->setCurrentRow(show_->modeIndex());
    for (int row = 0; row < patternList_->count(); ++row) {
        if (testPatterns()[std::size_t(row)].pattern == show_->pattern() && patternList_->currentRow() != row) {
            patternList_->setCurrentRow(row);
        }
    }
    keepButton_->setEnabled(show_->session().awaitingConfirmation());
    endButton_->setEnabled(true);
    setStatus(show_->caption());
}

void PatternsDialog::onEnded(PatternShow::Ending why, const QString& problem) {
    keepButton_->setEnabled(false);
    endButton_->setEnabled(false);
    signalCheck_.stop();
    signals_.reset();
    QString text = why == PatternShow::Ending::Unconfirmed
                       ? QStringLiteral("The mode was not kept within %1 s: the previous mode is back.")
                             .arg(kConfirmWithin.count() / 1000)
                       : QStringLiteral("The previous mode is back.");
    if (!problem.isEmpty()) text = problem;
    setStatus(text);
}

// A terminating signal first puts the output's mode back, then ends the
// program as the signal would have.
void PatternsDialog::onSignalCheck() {
    if (!signals_) return;
    const int number = signals_->received();
    if (number == 0) return;
    show_.reset();
    signals_.reset();
    std::signal(number, SIG_DFL);
    std::raise(number);
}

bool PatternsDialog::handleKey(int key) {
    switch (key) {
    case Qt::Key_PageDown:
    case Qt::Key_PageUp:
        if (show_ && show_->showing()) {
            if (!show_->stepMode(key == Qt::Key_PageDown ? 1 : -1)) setStatus(QStringLiteral("No other mode can be set."));
            return true;
        }
        return false;
    case Qt::Key_Space:
        patternList_->setCurrentRow((patternList_->currentRow() + 1) % patternList_->count());
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (show_ && show_->session().awaitingConfirmation()) onKeep();
        else onShow();
        return true;
    case Qt::Key_Escape:
        if (show_ && show_->showing()) {
            onEnd();
            return true;
        }
        return false;
    default: return false;
    }
}

bool PatternsDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && handleKey(static_cast<QKeyEvent*>(event)->key())) return true;
    return QDialog::eventFilter(watched, event);
}

void PatternsDialog::keyPressEvent(QKeyEvent* event) {
    if (!handleKey(event->key())) QDialog::keyPressEvent(event);
}

void PatternsDialog::closeEvent(QCloseEvent* event) {
    show_.reset();
    QDialog::closeEvent(event);
}

}  // namespace velmora::tools::ui
