#pragma once
#include <QLineEdit>
#include <QPointer>
#include <QWidget>

class QToolButton;

namespace velmora::platform::qt {

// Up and down arrows beside a buddy edit box. The position is an integer
// within the range; each step writes it into the buddy as decimal text.
// Before stepping, a valid number typed into the buddy becomes the position,
// so arrows continue from what the user typed. The position stops at the
// ends of the range (no wrap-around).
class UpDownControl : public QWidget {
    Q_OBJECT
public:
    explicit UpDownControl(QWidget* parent = nullptr);

    void setBuddy(QLineEdit* buddy);
    [[nodiscard]] QLineEdit* buddy() const { return buddy_; }

    // With arrow keys on, Up and Down pressed in the buddy step the control.
    void setArrowKeysEnabled(bool enabled) { arrowKeys_ = enabled; }

    void setRange(int minimum, int maximum);
    [[nodiscard]] int minimum() const { return minimum_; }
    [[nodiscard]] int maximum() const { return maximum_; }

    [[nodiscard]] int position() const { return position_; }
    // Clamps into the range and writes the buddy's text.
    void setPosition(int position);
    // Positive steps go up.
    void stepBy(int steps);

    [[nodiscard]] QToolButton* upButton() const { return up_; }
    [[nodiscard]] QToolButton* downButton() const { return down_; }

signals:
    void positionChanged(int position);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void takePositionFromBuddy();

    QToolButton* up_;
    QToolButton* down_;
    QPointer<QLineEdit> buddy_;
    bool arrowKeys_ = false;
    int minimum_ = 0;
    int maximum_ = 100;
    int position_ = 0;
};

}  // namespace velmora::platform::qt
