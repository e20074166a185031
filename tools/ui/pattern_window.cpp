#include "tools/ui/pattern_window.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

namespace velmora::tools::ui {

PatternWindow::PatternWindow(bool takesKeys, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), takesKeys_(takesKeys) {
    setWindowTitle(QStringLiteral("Test pattern"));
    setCursor(Qt::BlankCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
    if (!takesKeys) {
        setWindowFlag(Qt::WindowDoesNotAcceptFocus);
        setAttribute(Qt::WA_ShowWithoutActivating);
    }
}

void PatternWindow::showOn(const QString& output, const QImage& picture) {
    picture_ = picture;
    QScreen* chosen = QGuiApplication::primaryScreen();
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen->name() == output) chosen = screen;
    }
    if (chosen != nullptr) {
        setScreen(chosen);
        // The screen learns its new size from the X server a moment after the
        // mode is set; the window follows it.
        connect(chosen, &QScreen::geometryChanged, this, &PatternWindow::fitScreen, Qt::UniqueConnection);
    }
    fitScreen();
    if (takesKeys_) {
        showFullScreen();  // and takes the focus
    } else {
        setWindowState(windowState() | Qt::WindowFullScreen);
        show();
    }
    raise();
    update();
}

void PatternWindow::setPicture(const QImage& picture) {
    picture_ = picture;
    update();
}

void PatternWindow::fitScreen() {
    if (QScreen* current = screen()) setGeometry(current->geometry());
}

void PatternWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.drawImage(QPoint(0, 0), picture_);
}

void PatternWindow::keyPressEvent(QKeyEvent* event) {
    if (event->isAutoRepeat()) return;
    emit keyPressed(event->key());
}

}  // namespace velmora::tools::ui
