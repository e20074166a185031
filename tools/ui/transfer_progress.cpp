#include "tools/ui/transfer_progress.h"

#include <QProgressBar>
#include <QWidget>

#include <algorithm>
#include <utility>

namespace velmora::tools::ui {

TransferProgress::TransferProgress(QWidget& dialog, const QString& format)
    : dialog_(dialog), bar_(new QProgressBar(&dialog)) {
    bar_->setObjectName(QStringLiteral("transferProgress"));
    bar_->setFormat(format);
    bar_->setTextVisible(true);
    bar_->hide();
}

ByteDone TransferProgress::byteDone(std::function<int()> total) {
    return [this, total = std::move(total)] { step(total()); };
}

void TransferProgress::step(int total) {
    // The total is asked once, at the first byte.
    if (bar_->isHidden()) {
        showSteps(1, total);
    } else {
        showSteps(bar_->value() + 1, bar_->maximum());
    }
}

void TransferProgress::showSteps(int done, int total) {
    if (bar_->isHidden()) {
        const int height = bar_->sizeHint().height();
        bar_->setGeometry(place_.value_or(QRect(0, dialog_.height() - height, dialog_.width(), height)));
        bar_->show();
        bar_->raise();
    }
    bar_->setRange(0, total > 0 ? total : 1);
    bar_->setValue(std::clamp(done, 0, bar_->maximum()));
    bar_->repaint();
}

void TransferProgress::finish() { bar_->hide(); }

}  // namespace velmora::tools::ui
