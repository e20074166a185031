// The owner-drawn rows of the item list and the function list, checked
// pixel by pixel: fill colours, frame edges, text offsets and inversion.
#include <QImage>
#include <QListWidget>
#include <QPainter>
#include <QtTest>

#include "console/ui/list_row_delegates.h"
#include "console/ui/row_painting.h"

namespace ui = velmora::console::ui;

namespace {

const QColor kSentinel(0xFF, 0x00, 0xFF);
const QColor kWhite(0xFF, 0xFF, 0xFF);
const QColor kBlack(0x00, 0x00, 0x00);
const QColor kGrey(0xC0, 0xC0, 0xC0);
const QColor kInvertedGrey(0x3F, 0x3F, 0x3F);

QImage blankImage(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(kSentinel);
    return image;
}

QColor at(const QImage& image, int x, int y) {
    return QColor(image.pixel(x, y));
}

// Pixels in the area that differ from the background colour: the text.
struct Ink {
    int left = -1;
    int top = -1;
    bool any() const { return left >= 0; }
};

Ink inkIn(const QImage& image, const QRect& area, const QColor& background) {
    Ink ink;
    for (int x = area.left(); x <= area.right(); ++x) {
        for (int y = area.top(); y <= area.bottom(); ++y) {
            if (at(image, x, y) != background) {
                if (ink.left < 0) {
                    ink.left = x;
                }
                if (ink.top < 0 || y < ink.top) {
                    ink.top = y;
                }
            }
        }
    }
    return ink;
}

QString describe(const QImage& image, int x, int y) {
    return QStringLiteral("pixel (%1, %2) is %3").arg(x).arg(y).arg(at(image, x, y).name());
}

}  // namespace

class RowPaintingTest : public QObject {
    Q_OBJECT
private slots:
    void itemRows_data();
    void itemRows();
    void functionRows_data();
    void functionRows();
    void emptyFunctionRowPaintsOnlyItsFill();
    void itemListPaintsWholeRowsWithoutFocusFrame();
    void functionListStacksFramedRows();
};

void RowPaintingTest::itemRows_data() {
    QTest::addColumn<bool>("selected");
    QTest::addColumn<QColor>("background");
    QTest::newRow("plain: white") << false << kWhite;
    QTest::newRow("selected: inverted") << true << kBlack;
}

void RowPaintingTest::itemRows() {
    QFETCH(bool, selected);
    QFETCH(QColor, background);
    const QRect row(0, 0, 240, ui::kListRowHeight);
    QImage image = blankImage(row.width(), row.height());
    {
        QPainter painter(&image);
        ui::paintItemRow(painter, row, QStringLiteral("BRIGHTNESS"), QStringLiteral("255 (FFh)"),
                         selected);
    }
    // The whole row is filled with the background.
    for (const QPoint corner : {QPoint(0, 0), QPoint(239, 0), QPoint(0, 19), QPoint(239, 19)}) {
        QVERIFY2(at(image, corner.x(), corner.y()) == background,
                 qPrintable(describe(image, corner.x(), corner.y())));
    }
    // Nothing left of the name: no focus frame, no margin decoration.
    QVERIFY(!inkIn(image, QRect(0, 0, ui::kItemNameLeft, 20), background).any());
    const Ink name = inkIn(image, QRect(0, 0, 100, 20), background);
    QVERIFY2(name.left >= ui::kItemNameLeft && name.left <= ui::kItemNameLeft + 2,
             qPrintable(QString::number(name.left)));
    QVERIFY2(name.top >= ui::kItemTextTop, qPrintable(QString::number(name.top)));
    const Ink value = inkIn(image, QRect(120, 0, 120, 20), background);
    QVERIFY2(value.left >= ui::kItemValueLeft && value.left <= ui::kItemValueLeft + 2,
             qPrintable(QString::number(value.left)));
    // Text is drawn in the contrasting colour.
    const QColor text = selected ? kWhite : kBlack;
    bool found = false;
    for (int x = 0; x < 240 && !found; ++x) {
        for (int y = 0; y < 20 && !found; ++y) {
            found = at(image, x, y) == text;
        }
    }
    QVERIFY2(found, "no pixel in the text colour");
}

void RowPaintingTest::functionRows_data() {
    QTest::addColumn<bool>("selected");
    QTest::addColumn<QColor>("fill");
    QTest::addColumn<QColor>("lightEdge");
    QTest::addColumn<QColor>("darkEdge");
    QTest::newRow("plain: grey, raised") << false << kGrey << kWhite << kBlack;
    QTest::newRow("selected: inverted") << true << kInvertedGrey << kBlack << kWhite;
}

void RowPaintingTest::functionRows() {
    QFETCH(bool, selected);
    QFETCH(QColor, fill);
    QFETCH(QColor, lightEdge);
    QFETCH(QColor, darkEdge);
    const int width = 200;
    const QRect row(0, 0, width, ui::kListRowHeight);
    QImage image = blankImage(width, row.height());
    {
        QPainter painter(&image);
        ui::paintFunctionRow(painter, row, QStringLiteral("@1: MODE SAVE"), selected);
    }
    const struct {
        int x;
        int y;
        QColor expected;
    } samples[] = {
        {50, 0, lightEdge},  {0, 10, lightEdge},  {0, 0, lightEdge},
        {50, 19, darkEdge},  {199, 10, darkEdge}, {199, 19, darkEdge},
        {0, 19, darkEdge},   {199, 0, darkEdge},  {2, 2, fill},
        {197, 17, fill},     {3, 10, fill},
    };
    for (const auto& sample : samples) {
        QVERIFY2(at(image, sample.x, sample.y) == sample.expected,
                 qPrintable(describe(image, sample.x, sample.y)));
    }
    const QRect inside(1, 1, width - 2, row.height() - 2);
    QVERIFY(!inkIn(image, QRect(1, 1, ui::kFunctionTextLeft - 1, 18), fill).any());
    const Ink text = inkIn(image, inside, fill);
    QVERIFY2(text.left >= ui::kFunctionTextLeft && text.left <= ui::kFunctionTextLeft + 2,
             qPrintable(QString::number(text.left)));
    QVERIFY2(text.top >= ui::kFunctionTextTop, qPrintable(QString::number(text.top)));
}

void RowPaintingTest::emptyFunctionRowPaintsOnlyItsFill() {
    QImage image = blankImage(50, 20);
    {
        QPainter painter(&image);
        ui::paintFunctionRow(painter, QRect(0, 5, 50, 0), QStringLiteral("x"), false);
    }
    QCOMPARE(inkIn(image, image.rect(), kSentinel).any(), false);
}

void RowPaintingTest::itemListPaintsWholeRowsWithoutFocusFrame() {
    QListWidget list;
    list.resize(240, 120);
    ui::useItemRowPainting(list);
    for (const char* name : {"H-POSITION", "H-SIZE", "V-POSITION"}) {
        auto* item = new QListWidgetItem(QString::fromLatin1(name), &list);
        item->setData(ui::kValueTextRole, QStringLiteral(" 45 (2Dh)"));
    }
    list.show();
    list.setFocus();
    list.setCurrentRow(1);
    QCoreApplication::processEvents();

    for (int i = 0; i < list.count(); ++i) {
        const QRect rect = list.visualItemRect(list.item(i));
        QCOMPARE(rect.height(), ui::kListRowHeight);
        QCOMPARE(rect.top(), i * ui::kListRowHeight);
    }
    const QImage image = list.viewport()->grab().toImage();
    const int right = list.viewport()->width() - 1;
    QVERIFY2(at(image, right, 10) == kWhite, qPrintable(describe(image, right, 10)));
    // The selected row is inverted across the whole width...
    QVERIFY2(at(image, right, 30) == kBlack, qPrintable(describe(image, right, 30)));
    // ...and the current row carries no focus frame.
    QVERIFY(!inkIn(image, QRect(0, 20, ui::kItemNameLeft, 20), kBlack).any());
    QVERIFY(!inkIn(image, QRect(0, 39, right + 1, 1), kBlack).any());
}

void RowPaintingTest::functionListStacksFramedRows() {
    QListWidget list;
    list.resize(200, 100);
    ui::useFunctionRowPainting(list);
    new QListWidgetItem(QStringLiteral("@1: MODE SAVE"), &list);
    new QListWidgetItem(QStringLiteral("@2: COLOR SAVE"), &list);
    list.show();
    QCoreApplication::processEvents();

    const QImage image = list.viewport()->grab().toImage();
    for (const int top : {0, ui::kListRowHeight}) {
        QVERIFY2(at(image, 40, top) == kWhite, qPrintable(describe(image, 40, top)));
        QVERIFY2(at(image, 40, top + 19) == kBlack, qPrintable(describe(image, 40, top + 19)));
        QVERIFY2(at(image, 2, top + 10) == kGrey, qPrintable(describe(image, 2, top + 10)));
    }
}

QTEST_MAIN(RowPaintingTest)
#include "test_row_painting.moc"
