#include "platform/qt/up_down_control.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

#include <algorithm>

namespace velmora::platform::qt {

UpDownControl::UpDownControl(QWidget* parent)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
    for (QToolButton* button : {up_, down_}) {
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
    }
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    setFocusPolicy(Qt::NoFocus);
    connect(up_, &QToolButton::clicked, this, [this] { stepBy(1); });
    connect(down_, &QToolButton::clicked, this, [this] { stepBy(-1); });
}

void UpDownControl::setBuddy(QLineEdit* buddy) {
    if (buddy_) {
        buddy_->removeEventFilter(this);
    }
    buddy_ = buddy;
    if (buddy_) {
        buddy_->installEventFilter(this);
    }
}

void UpDownControl::setRange(int minimum, int maximum) {
    minimum_ = std::min(minimum, maximum);
    maximum_ = std::max(minimum, maximum);
    position_ = std::clamp(position_, minimum_, maximum_);
}

void UpDownControl::setPosition(int position) {
    position_ = std::clamp(position, minimum_, maximum_);
    if (buddy_) {
        buddy_->setText(QString::number(position_));
    }
    emit positionChanged(position_);
}

void UpDownControl::stepBy(int steps) {
    takePositionFromBuddy();
    setPosition(position_ + steps);
}

void UpDownControl::takePositionFromBuddy() {
    if (!buddy_) {
        return;
    }
    bool ok = false;
    const int typed = buddy_->text().trimmed().toInt(&ok);
    if (ok) {
        position_ = std::clamp(typed, minimum_, maximum_);
    }
}

bool UpDownControl::eventFilter(QObject* watched, QEvent* event) {
    if (arrowKeys_ && watched == buddy_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
            if (isEnabled()) {
                stepBy(key->key() == Qt::Key_Up ? 1 : -1);
            }
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void UpDownControl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int upperHalf = height() / 2;
    up_->setGeometry(0, 0, width(), upperHalf);
    down_->setGeometry(0, upperHalf, width(), height() - upperHalf);
}

}  // namespace velmora::platform::qt
