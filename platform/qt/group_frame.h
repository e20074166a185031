#pragma once
#include <QGroupBox>

namespace velmora::platform::qt {

// A group box drawn the way the dialog tables expect it: an etched frame
// whose top edge runs through the middle of the title, the title written
// over the frame line near its left end. The tables place controls just
// below a group's top edge, which Qt's own group boxes would cover with
// their title band.
class GroupFrame : public QGroupBox {
    Q_OBJECT
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace velmora::platform::qt
