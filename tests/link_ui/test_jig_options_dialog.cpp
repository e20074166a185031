// The A/S Jig Options dialog: slider position = bus delay count - 50;
// OK gives position + 50, Cancel and closing give nothing.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QtTest>

#include "link/ui/jig_options_dialog.h"

using velmora::link::ui::JigOptionsDialog;

class JigOptionsDialogTest : public QObject {
    Q_OBJECT
private slots:
    void sliderStartsAtCountMinusFifty_data();
    void sliderStartsAtCountMinusFifty();
    void okGivesPositionPlusFifty_data();
    void okGivesPositionPlusFifty();
    void cancelEscapeAndCloseChangeNothing_data();
    void cancelEscapeAndCloseChangeNothing();
    void askRunsModally();
};

void JigOptionsDialogTest::sliderStartsAtCountMinusFifty_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("position");
    QTest::newRow("start-up 100: normal") << 100 << 50;
    QTest::newRow("fastest 50") << 50 << 0;
    QTest::newRow("slowest 150") << 150 << 100;
    QTest::newRow("below range clamps") << 20 << 0;
    QTest::newRow("above range clamps") << 400 << 100;
}

void JigOptionsDialogTest::sliderStartsAtCountMinusFifty() {
    QFETCH(int, count);
    QFETCH(int, position);
    JigOptionsDialog dialog(count);
    QVERIFY2(dialog.buildError().isEmpty(), qPrintable(dialog.buildError()));
    QSlider* slider = dialog.speedSlider();
    QCOMPARE(slider->objectName(), QStringLiteral("1039"));
    QCOMPARE(slider->minimum(), 0);
    QCOMPARE(slider->maximum(), 100);
    QCOMPARE(slider->value(), position);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("A/S Jig Options"));
    QVERIFY(dialog.control<QPushButton>(1)->isDefault());
}

void JigOptionsDialogTest::okGivesPositionPlusFifty_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("count");
    QTest::newRow("fast") << 0 << 50;
    QTest::newRow("a little slower") << 20 << 70;
    QTest::newRow("slow") << 100 << 150;
}

void JigOptionsDialogTest::okGivesPositionPlusFifty() {
    QFETCH(int, position);
    QFETCH(int, count);
    JigOptionsDialog dialog(100);
    dialog.show();
    dialog.speedSlider()->setValue(position);
    QTest::mouseClick(dialog.control(1), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.chosenBusDelayCount(), std::optional<int>(count));
}

void JigOptionsDialogTest::cancelEscapeAndCloseChangeNothing_data() {
    QTest::addColumn<int>("how");
    QTest::newRow("Cancel button") << 0;
    QTest::newRow("Escape") << 1;
    QTest::newRow("close box") << 2;
}

void JigOptionsDialogTest::cancelEscapeAndCloseChangeNothing() {
    QFETCH(int, how);
    JigOptionsDialog dialog(100);
    dialog.show();
    dialog.speedSlider()->setValue(10);
    switch (how) {
        case 0:
            QTest::mouseClick(dialog.control(2), Qt::LeftButton);
            break;
        case 1:
            QTest::keyClick(&dialog, Qt::Key_Escape);
            break;
        default:
            dialog.close();
            break;
    }
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(dialog.chosenBusDelayCount(), std::nullopt);
}

void JigOptionsDialogTest::askRunsModally() {
    // Move the slider in the open dialog, then press Enter: the default OK.
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<JigOptionsDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        dialog->speedSlider()->setValue(75);
        QTest::keyClick(dialog, Qt::Key_Return);
    });
    QCOMPARE(JigOptionsDialog::ask(nullptr, 100), std::optional<int>(125));

    QTimer::singleShot(0, [] {
        if (auto* dialog = qobject_cast<JigOptionsDialog*>(QApplication::activeModalWidget())) {
            dialog->speedSlider()->setValue(0);
            dialog->reject();
        }
    });
    QCOMPARE(JigOptionsDialog::ask(nullptr, 100), std::nullopt);
}

QTEST_MAIN(JigOptionsDialogTest)
#include "test_jig_options_dialog.moc"
