// Dialog-unit arithmetic and the fonts the tables name.
#include <QFontInfo>
#include <QFontMetrics>
#include <QtTest>

#include "platform/qt/dialog_font.h"
#include "platform/qt/dialog_units.h"

using velmora::platform::qt::DialogRect;
using velmora::platform::qt::DialogUnits;
using velmora::platform::qt::PixelRect;

Q_DECLARE_METATYPE(DialogRect)
Q_DECLARE_METATYPE(PixelRect)

class DialogUnitsTest : public QObject {
    Q_OBJECT
private slots:
    void scaleRoundsToNearest_data();
    void scaleRoundsToNearest();
    void rectanglesConvertEdges_data();
    void rectanglesConvertEdges();
    void baseUnitsNeverZero();
    void fixedFontUnitsAreItsCharacterWidth();
    void fontMapping_data();
    void fontMapping();
};

void DialogUnitsTest::scaleRoundsToNearest_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("numerator");
    QTest::addColumn<int>("denominator");
    QTest::addColumn<int>("expected");
    QTest::newRow("exact") << 8 << 6 << 4 << 12;
    QTest::newRow("half rounds up") << 1 << 6 << 4 << 2;      // 1.5
    QTest::newRow("below half down") << 1 << 5 << 4 << 1;     // 1.25
    QTest::newRow("above half up") << 3 << 5 << 4 << 4;       // 3.75
    QTest::newRow("negative half away") << -1 << 6 << 4 << -2;  // -1.5
    QTest::newRow("zero") << 0 << 13 << 8 << 0;
    QTest::newRow("product beyond 32 bits") << 1000000000 << 13 << 8 << 1625000000;
}

void DialogUnitsTest::scaleRoundsToNearest() {
    QFETCH(int, value);
    QFETCH(int, numerator);
    QFETCH(int, denominator);
    QFETCH(int, expected);
    QCOMPARE(velmora::platform::qt::scaleRounded(value, numerator, denominator), expected);
}

void DialogUnitsTest::rectanglesConvertEdges_data() {
    QTest::addColumn<int>("charWidth");
    QTest::addColumn<int>("charHeight");
    QTest::addColumn<DialogRect>("dialogRect");
    QTest::addColumn<PixelRect>("expected");
    // 4 x 8 units per character: one character cell maps onto itself.
    QTest::newRow("identity cell") << 4 << 8 << DialogRect{4, 8, 40, 16} << PixelRect{4, 8, 40, 16};
    QTest::newRow("classic 6x13 main list")
        << 6 << 13 << DialogRect{2, 112, 120, 155} << PixelRect{3, 182, 180, 252};
    QTest::newRow("classic 6x13 dialog size")
        << 6 << 13 << DialogRect{0, 0, 243, 271} << PixelRect{0, 0, 365, 440};
    // x = 1 maps to 1.5 -> 2, right edge 2 maps to 3: width 1, not 2.
    QTest::newRow("width from edges") << 6 << 13 << DialogRect{1, 0, 1, 0} << PixelRect{2, 0, 1, 0};
    QTest::newRow("fixed font 10x19")
        << 10 << 19 << DialogRect{101, 26, 197, 135} << PixelRect{253, 62, 492, 320};
    QTest::newRow("empty rect") << 7 << 13 << DialogRect{5, 5, 0, 0} << PixelRect{9, 8, 0, 0};
}

void DialogUnitsTest::rectanglesConvertEdges() {
    QFETCH(int, charWidth);
    QFETCH(int, charHeight);
    QFETCH(DialogRect, dialogRect);
    QFETCH(PixelRect, expected);
    const PixelRect actual = DialogUnits(charWidth, charHeight).toPixels(dialogRect);
    QCOMPARE(actual.x, expected.x);
    QCOMPARE(actual.y, expected.y);
    QCOMPARE(actual.width, expected.width);
    QCOMPARE(actual.height, expected.height);
}

void DialogUnitsTest::baseUnitsNeverZero() {
    const DialogUnits units(0, -3);
    QCOMPARE(units.averageCharWidth(), 1);
    QCOMPARE(units.charHeight(), 1);
    QCOMPARE(units.toPixelsX(400), 100);
    QCOMPARE(units.toPixelsY(800), 100);
}

void DialogUnitsTest::fixedFontUnitsAreItsCharacterWidth() {
    const QFont font = velmora::platform::qt::dialogFont(QStringLiteral("Fixedsys"), 12);
    const DialogUnits units = velmora::platform::qt::dialogUnitsFor(font);
    const QFontMetrics metrics(font);
    QCOMPARE(units.averageCharWidth(), metrics.horizontalAdvance(QLatin1Char('0')));
    QCOMPARE(units.charHeight(), metrics.height());
    // 48 characters of a hex row fit into the 197-unit wide dump box.
    QVERIFY(units.toPixelsX(197) >= 48 * metrics.horizontalAdvance(QLatin1Char('0')));
}

void DialogUnitsTest::fontMapping_data() {
    QTest::addColumn<QString>("face");
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("fixedPitch");
    QTest::newRow("MS Sans Serif 8") << QStringLiteral("MS Sans Serif") << 8 << false;
    QTest::newRow("System 10") << QStringLiteral("System") << 10 << false;
    QTest::newRow("Fixedsys 12") << QStringLiteral("Fixedsys") << 12 << true;
    QTest::newRow("Fixedsys 10") << QStringLiteral("Fixedsys") << 10 << true;
}

void DialogUnitsTest::fontMapping() {
    QFETCH(QString, face);
    QFETCH(int, size);
    QFETCH(bool, fixedPitch);
    const QFont font = velmora::platform::qt::dialogFont(face, size);
    QCOMPARE(font.pointSize(), size);
    QCOMPARE(velmora::platform::qt::isFixedPitchFace(face), fixedPitch);
    if (fixedPitch) {
        // Digits and letters take the same width, so hex columns line up.
        const QFontMetrics metrics(font);
        QCOMPARE(metrics.horizontalAdvance(QStringLiteral("WWWW")),
                 metrics.horizontalAdvance(QStringLiteral("1111")));
    }
}

QTEST_MAIN(DialogUnitsTest)
#include "test_dialog_units.moc"
