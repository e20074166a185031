#pragma once
#include <QObject>

#include <optional>

#include "console/digit_keys.h"

class QKeyEvent;

namespace velmora::console::ui {

// Follows the digit keys of the main keyboard through every key event of
// the application, so that a key that goes up while another window has the
// keyboard (the I2C DEBUGGER, a message box) is known to be up. Key-downs
// sent to the watched list are left to the list's own handler, which asks
// `newDigitPress`; every other widget's key-downs only mark the key down.
class DigitKeyWatch : public QObject {
    Q_OBJECT
public:
    // Watches the application while it lives.
    DigitKeyWatch(const QObject& list, QObject* parent);

    // A key-down in the list: the digit when a digit key went down, nothing
    // for a held digit key or any other key.
    [[nodiscard]] std::optional<int> newDigitPress(const QKeyEvent& event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const QObject& list_;
    DigitKeyStates states_;
};

}  // namespace velmora::console::ui
