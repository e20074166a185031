// What a user does with the value scroll bar, turned into scroll codes:
// arrows and shaft with the end code on release, a thumb drag with its
// positions, the keys, the wheel, and presses that move nothing.
#include <QApplication>
#include <QScrollBar>
#include <QWheelEvent>
#include <QtTest>

#include <utility>
#include <vector>

#include "console/ui/scroll_code_translator.h"
#include "scroll_bar_parts.h"

using velmora::console::ui::ScrollCodeTranslator;
using velmora::console::ui::testing::scrollBarPart;

namespace {

using Codes = std::vector<int>;

// A bar as the main window has it: 0..255, no page size, thumb at 128.
struct Bar {
    Bar() {
        bar.setRange(0, 255);
        bar.setPageStep(0);
        bar.setValue(128);
        bar.resize(200, 16);
        bar.show();
        QObject::connect(&translator, &ScrollCodeTranslator::scrolled, [this](int code, int position) {
            codes.push_back(code);
            positions.push_back(position);
        });
    }
    QScrollBar bar{Qt::Horizontal};
    ScrollCodeTranslator translator{bar};
    Codes codes;
    std::vector<int> positions;
};

QString describe(const Codes& codes) {
    QStringList parts;
    for (int code : codes) parts << QString::number(code);
    return parts.join(QLatin1Char(' '));
}

void sendWheel(QWidget& widget, int delta) {
    const QPointF centre(widget.width() / 2.0, widget.height() / 2.0);
    QWheelEvent wheel(centre, widget.mapToGlobal(centre), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&widget, &wheel);
}

}  // namespace

Q_DECLARE_METATYPE(QStyle::SubControl)

class ScrollCodeTranslatorTest : public QObject {
    Q_OBJECT
private slots:
    void clickEndsWithEndOfScrolling_data();
    void clickEndsWithEndOfScrolling();
    void thumbDragTracksThenReleasesThenEnds();
    void keysSendTheirCodeAndEndOnKeyUp_data();
    void keysSendTheirCodeAndEndOnKeyUp();
    void wheelStepsOneLinePerTurn_data();
    void wheelStepsOneLinePerTurn();
    void pressThatMovesNothingSendsNothing();
    void movesFromOutsideAPressEndAtOnce();
};

void ScrollCodeTranslatorTest::clickEndsWithEndOfScrolling_data() {
    QTest::addColumn<QStyle::SubControl>("part");
    QTest::addColumn<int>("code");
    QTest::newRow("left arrow") << QStyle::SC_ScrollBarSubLine << 0;
    QTest::newRow("right arrow") << QStyle::SC_ScrollBarAddLine << 1;
    QTest::newRow("shaft left of the thumb") << QStyle::SC_ScrollBarSubPage << 2;
    QTest::newRow("shaft right of the thumb") << QStyle::SC_ScrollBarAddPage << 3;
}

void ScrollCodeTranslatorTest::clickEndsWithEndOfScrolling() {
    QFETCH(QStyle::SubControl, part);
    QFETCH(int, code);
    Bar b;
    const QPoint where = scrollBarPart(b.bar, part);
    QTest::mousePress(&b.bar, Qt::LeftButton, {}, where);
    QCOMPARE(describe(b.codes), QString::number(code));
    QTest::mouseRelease(&b.bar, Qt::LeftButton, {}, where);
    QCOMPARE(describe(b.codes), describe({code, 8}));
}

void ScrollCodeTranslatorTest::thumbDragTracksThenReleasesThenEnds() {
    Bar b;
    QPoint where = scrollBarPart(b.bar, QStyle::SC_ScrollBarSlider);
    QTest::mousePress(&b.bar, Qt::LeftButton, {}, where);
    for (int step = 0; step < 3; ++step) {
        where += QPoint(6, 0);
        QTest::mouseMove(&b.bar, where);
    }
    const Codes whileDragging = b.codes;
    QTest::mouseRelease(&b.bar, Qt::LeftButton, {}, where);

    QCOMPARE(describe(whileDragging), describe({5, 5, 5}));
    QCOMPARE(describe(b.codes), describe({5, 5, 5, 4, 8}));
    QVERIFY2(b.positions[0] > 128 && b.positions[2] > b.positions[0], "positions follow the thumb");
    QCOMPARE(b.positions[3], b.positions[2]);
}

void ScrollCodeTranslatorTest::keysSendTheirCodeAndEndOnKeyUp_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("code");
    QTest::newRow("Home") << int(Qt::Key_Home) << 6;
    QTest::newRow("End") << int(Qt::Key_End) << 7;
    QTest::newRow("Left") << int(Qt::Key_Left) << 0;
    QTest::newRow("Right") << int(Qt::Key_Right) << 1;
}

void ScrollCodeTranslatorTest::keysSendTheirCodeAndEndOnKeyUp() {
    QFETCH(int, key);
    QFETCH(int, code);
    Bar b;
    QTest::keyPress(&b.bar, Qt::Key(key));
    // A held key repeats its code; only the final key-up ends scrolling.
    QKeyEvent repeat(QEvent::KeyPress, key, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(&b.bar, &repeat);
    QKeyEvent repeatUp(QEvent::KeyRelease, key, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(&b.bar, &repeatUp);
    QCOMPARE(describe(b.codes), describe({code, code}));
    QTest::keyRelease(&b.bar, Qt::Key(key));
    QCOMPARE(describe(b.codes), describe({code, code, 8}));
}

void ScrollCodeTranslatorTest::wheelStepsOneLinePerTurn_data() {
    QTest::addColumn<int>("delta");
    QTest::addColumn<int>("code");
    QTest::newRow("away from the user: up") << 120 << 1;
    QTest::newRow("towards the user: down") << -120 << 0;
}

void ScrollCodeTranslatorTest::wheelStepsOneLinePerTurn() {
    QFETCH(int, delta);
    QFETCH(int, code);
    Bar b;
    sendWheel(b.bar, delta);
    QCOMPARE(describe(b.codes), describe({code, 8}));
    QCOMPARE(b.bar.value(), 128);
}

void ScrollCodeTranslatorTest::pressThatMovesNothingSendsNothing() {
    Bar b;
    const QPoint where = scrollBarPart(b.bar, QStyle::SC_ScrollBarSubLine);
    QTest::mouseClick(&b.bar, Qt::RightButton, {}, where);
    QTest::keyClick(&b.bar, Qt::Key_A);
    QVERIFY2(b.codes.empty(), qPrintable(describe(b.codes)));
}

void ScrollCodeTranslatorTest::movesFromOutsideAPressEndAtOnce() {
    Bar b;
    // What the bar's own context menu entries do.
    b.bar.triggerAction(QAbstractSlider::SliderToMaximum);
    b.bar.triggerAction(QAbstractSlider::SliderPageStepSub);
    QCOMPARE(describe(b.codes), describe({7, 8, 2, 8}));
}

QTEST_MAIN(ScrollCodeTranslatorTest)
#include "test_scroll_code_translator.moc"
