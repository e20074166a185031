#pragma once
#include <QImage>
#include <QWidget>

namespace velmora::tools::ui {

// A borderless window that fills one screen (one output of the card) with
// a picture drawn at the output's mode size, pixel for pixel.
class PatternWindow : public QWidget {
    Q_OBJECT
public:
    // Without keys the window never takes the focus: the technician keeps
    // typing into the console on another screen.
    explicit PatternWindow(bool takesKeys, QWidget* parent = nullptr);

    // Shows the picture full-screen on the screen of this output (the
    // primary screen when Qt knows no such output).
    void showOn(const QString& output, const QImage& picture);
    void setPicture(const QImage& picture);

signals:
    void keyPressed(int key);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void fitScreen();
    QImage picture_;
    bool takesKeys_;
};

}  // namespace velmora::tools::ui
