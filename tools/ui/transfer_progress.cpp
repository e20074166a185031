#include "tools/ui/transfer_progress.h"

#include <QProgressBar>
#include <QWidget>

#include <utility>

namespace velmora::tools::ui {

TransferProgress::TransferProgress(QWidget& dialog) : dialog_(dialog), bar_(new QProgressBar(&dialog)) {
    bar_->setObjectName(QStringLiteral("transferProgress"));
    bar_->setFormat(QStringLiteral("%v of %m bytes (%p%)"));
    bar_->setTextVisible(true);
    bar_->hide();
}

ByteDone TransferProgress::byteDone(std::function<int()> total) {
    return [this, total = std::move(total)] { step(total()); };
}

void TransferProgress::step(int total) {
    if (bar_->isHidden()) {
        // Over the lower edge of the dialog, as wide as it is.
        const int height = bar_->sizeHint().height();
        bar_->setGeometry(0, dialog_.height() - height, dialog_.width(), height);
        bar_->setRange(0, total > 0 ? total : 1);
        bar_->setValue(0);
        bar_->show();
        bar_->raise();
    }
    bar_->setValue(std::min(bar_->value() + 1, bar_->maximum()));
    bar_->repaint();
}

void TransferProgress::finish() { bar_->hide(); }

}  // namespace velmora::tools::ui
