// The I2C DEBUGGER window: opening and clearing, appending RUN transcripts,
// the 2000-line rule, and closing and reopening.
#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QtTest>

#include "link/ui/debug_window.h"
#include "platform/qt/display_text.h"

using velmora::link::ui::CDebugWnd;

namespace {

const QString kBannerText = QStringLiteral("Window for I2C Stream Debbuging\n");

// Destroys a window closed with WA_DeleteOnClose, as the event loop would.
void runDeferredDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

std::string numberedLines(int first, int count) {
    std::string text;
    for (int i = first; i < first + count; ++i) {
        text += "line " + std::to_string(i) + "\r\n";
    }
    return text;
}

// Fills the edit after the banner until it holds exactly `lines` lines.
void fillTo(CDebugWnd& debug, int lines) {
    const int missing = lines - debug.lineCount();
    QVERIFY(missing >= 0);
    debug.appendTranscript(numberedLines(1, missing));
    QCOMPARE(debug.lineCount(), lines);
}

}  // namespace

class DebugWindowTest : public QObject {
    Q_OBJECT
private slots:
    void absentUntilOpened();
    void openShowsWindowWithBannerOnly();
    void openingTwiceKeepsOneWindowAndOnlyTheBanner();
    void appendGoesToTheEndAndMarksModified();
    void lineEndsBecomeLineBreaks_data();
    void lineEndsBecomeLineBreaks();
    void belowLimitNothingIsDropped();
    void atLimitTheFirstLineGoesFirst();
    void wrappedLinesCountAndGoOneByOne();
    void linesNeverOnScreenCountWrapped();
    void closingDestroysWindowNotObject();
    void appendWhileClosedLeavesNoTrace();
    void textBeyondTheLimitIsNotShown();
    void editFillsTheWindow();
};

void DebugWindowTest::absentUntilOpened() {
    CDebugWnd debug;
    QVERIFY(!debug.exists());
    QCOMPARE(debug.window(), nullptr);
    QCOMPARE(debug.lineCount(), 0);
}

void DebugWindowTest::openShowsWindowWithBannerOnly() {
    CDebugWnd debug;
    debug.openAndClear();
    QVERIFY(debug.exists());
    QWidget* window = debug.window();
    QVERIFY(window->isVisible());
    QVERIFY(window->isWindow());
    QCOMPARE(window->windowTitle(), QStringLiteral("I2C DEBUGGER"));
    auto* edit = window->findChild<QPlainTextEdit*>(QStringLiteral("2000"));
    QCOMPARE(edit, debug.edit());
    QCOMPARE(edit->toPlainText(), kBannerText);
    QVERIFY(!edit->isReadOnly());
    QCOMPARE(edit->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QCOMPARE(edit->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    // Enter types a line break: the edit does not pass it on.
    edit->setFocus();
    edit->moveCursor(QTextCursor::End);
    QTest::keyClicks(edit, QStringLiteral("ab"));
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(edit->toPlainText(), kBannerText + QStringLiteral("ab\n"));
}

void DebugWindowTest::openingTwiceKeepsOneWindowAndOnlyTheBanner() {
    CDebugWnd debug;
    debug.openAndClear();
    QWidget* first = debug.window();
    debug.appendTranscript(" \r\n @1: MODE SAVE \r\n PC: S_ 6E 51 82 01 10 AC _E OK.\r\n");
    first->move(40, 50);
    const QPoint placed = first->pos();
    debug.openAndClear();
    QCOMPARE(debug.window(), first);
    QCOMPARE(first->pos(), placed);  // raised, not moved
    QCOMPARE(debug.edit()->toPlainText(), kBannerText);
    QCOMPARE(QApplication::topLevelWidgets().count(first), 1);
}

void DebugWindowTest::appendGoesToTheEndAndMarksModified() {
    CDebugWnd debug;
    debug.openAndClear();
    QPlainTextEdit* edit = debug.edit();
    edit->document()->setModified(false);
    edit->moveCursor(QTextCursor::Start);  // the caret is elsewhere
    debug.appendTranscript(" PC: S_ 6E 51 84 03 10 00 32 9A _E OK.\r\n");
    QCOMPARE(edit->toPlainText(),
             kBannerText + QStringLiteral(" PC: S_ 6E 51 84 03 10 00 32 9A _E OK.\n"));
    QVERIFY(edit->document()->isModified());
    QCOMPARE(edit->textCursor().position(), edit->document()->characterCount() - 1);
}

void DebugWindowTest::lineEndsBecomeLineBreaks_data() {
    QTest::addColumn<QByteArray>("transcript");
    QTest::addColumn<QString>("shown");
    QTest::newRow("CR LF") << QByteArray("OK.\r\nError!!\r\n") << QStringLiteral("OK.\nError!!\n");
    QTest::newRow("two CR LF: an empty line") << QByteArray("a\r\n\r\nb")
                                              << QStringLiteral("a\n\nb");
    QTest::newRow("lone LF") << QByteArray("a\nb") << QStringLiteral("a\nb");
    QTest::newRow("lone CR") << QByteArray("a\rb") << QStringLiteral("a\nb");
    QTest::newRow("LF CR is two breaks") << QByteArray("a\n\rb") << QStringLiteral("a\n\nb");
    QTest::newRow("high byte kept") << QByteArray("\xB5s") << QStringLiteral("\u00B5s");
    QTest::newRow("empty") << QByteArray() << QString();
}

void DebugWindowTest::lineEndsBecomeLineBreaks() {
    QFETCH(QByteArray, transcript);
    QFETCH(QString, shown);
    const std::string_view bytes(transcript.constData(), size_t(transcript.size()));
    QCOMPARE(velmora::platform::qt::displayText(bytes), shown);

    CDebugWnd debug;
    debug.openAndClear();
    debug.appendTranscript(bytes);
    QCOMPARE(debug.edit()->toPlainText(), kBannerText + shown);
    QVERIFY(!debug.edit()->toPlainText().contains(QLatin1Char('\r')));
}

void DebugWindowTest::belowLimitNothingIsDropped() {
    CDebugWnd debug;
    debug.openAndClear();
    fillTo(debug, CDebugWnd::kLineLimit - 1);
    debug.appendTranscript("last\r\n");
    QCOMPARE(debug.edit()->document()->firstBlock().text(), QStringLiteral("Window for I2C Stream Debbuging"));
    QCOMPARE(debug.lineCount(), CDebugWnd::kLineLimit);
}

void DebugWindowTest::atLimitTheFirstLineGoesFirst() {
    CDebugWnd debug;
    debug.openAndClear();
    fillTo(debug, CDebugWnd::kLineLimit);
    debug.appendTranscript("run 1\r\n");
    QTextDocument* document = debug.edit()->document();
    QCOMPARE(document->firstBlock().text(), QStringLiteral("line 1"));
    QCOMPARE(document->lastBlock().previous().text(), QStringLiteral("run 1"));
    QCOMPARE(debug.lineCount(), CDebugWnd::kLineLimit);
    // Every further RUN drops one more line before its own text.
    debug.appendTranscript("run 2\r\n");
    QCOMPARE(document->firstBlock().text(), QStringLiteral("line 2"));
    QCOMPARE(document->lastBlock().previous().text(), QStringLiteral("run 2"));
}

void DebugWindowTest::wrappedLinesCountAndGoOneByOne() {
    CDebugWnd debug;
    debug.openAndClear();
    debug.window()->resize(300, 200);
    QCoreApplication::processEvents();
    const std::string longLine(600, 'x');
    // The long line replaces the banner as the first paragraph.
    debug.edit()->clear();
    debug.appendTranscript(longLine + "\r\n");
    const QTextBlock first = debug.edit()->document()->firstBlock();
    const int wrapped = first.layout()->lineCount();
    QVERIFY2(wrapped > 2, qPrintable(QString::number(wrapped)));
    QCOMPARE(debug.lineCount(), wrapped + 1);

    fillTo(debug, CDebugWnd::kLineLimit);
    const int firstLineLength = first.layout()->lineAt(0).textLength();
    debug.appendTranscript("run\r\n");
    // Only the first visual line went; the rest of the paragraph stays.
    const QString remaining = debug.edit()->document()->firstBlock().text();
    QCOMPARE(remaining.size(), 600 - firstLineLength);
    QCOMPARE(debug.lineCount(), CDebugWnd::kLineLimit);
}

void DebugWindowTest::linesNeverOnScreenCountWrapped() {
    // The same text reaches two windows: in one the long line is shown on
    // its own first, in the other it scrolls away at once, never painted.
    const std::string longLine = std::string(600, 'x') + "\r\n";
    const std::string shortLines = numberedLines(1, 300);
    CDebugWnd shownFirst;
    CDebugWnd neverShown;
    for (CDebugWnd* debug : {&shownFirst, &neverShown}) {
        debug->openAndClear();
        debug->window()->resize(300, 200);
    }
    QCoreApplication::processEvents();
    shownFirst.appendTranscript(longLine);
    QCoreApplication::processEvents();
    shownFirst.appendTranscript(shortLines);
    neverShown.appendTranscript(longLine + shortLines);
    QVERIFY(shownFirst.lineCount() > 2 + 300 + 1);
    QCOMPARE(neverShown.lineCount(), shownFirst.lineCount());
}

void DebugWindowTest::closingDestroysWindowNotObject() {
    CDebugWnd debug;
    debug.openAndClear();
    debug.appendTranscript("something\r\n");
    debug.window()->close();
    runDeferredDeletes();
    QVERIFY(!debug.exists());
    QCOMPARE(debug.edit(), nullptr);

    debug.openAndClear();
    QVERIFY(debug.exists());
    QVERIFY(debug.window()->isVisible());
    QCOMPARE(debug.edit()->toPlainText(), kBannerText);
}

void DebugWindowTest::appendWhileClosedLeavesNoTrace() {
    CDebugWnd debug;
    debug.appendTranscript(" PC: S_ 6E 51 82 01 10 AC _E OK.\r\n");
    QVERIFY(!debug.exists());
    debug.openAndClear();
    QCOMPARE(debug.edit()->toPlainText(), kBannerText);
}

void DebugWindowTest::textBeyondTheLimitIsNotShown() {
    const int limit = 50;
    CDebugWnd debug(limit);
    debug.openAndClear();
    debug.appendTranscript(std::string(100, 'y'));
    const QString text = debug.edit()->toPlainText();
    QCOMPARE(text.size(), limit);
    QVERIFY(text.startsWith(kBannerText));
    debug.appendTranscript("more");
    QCOMPARE(debug.edit()->toPlainText(), text);
}

void DebugWindowTest::editFillsTheWindow() {
    CDebugWnd debug;
    debug.openAndClear();
    for (const QSize size : {QSize(320, 240), QSize(700, 500)}) {
        debug.window()->resize(size);
        QCoreApplication::processEvents();
        QCOMPARE(debug.edit()->geometry(), debug.window()->rect());
    }
}

QTEST_MAIN(DebugWindowTest)
#include "test_debug_window.moc"
