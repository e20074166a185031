// The I2C DEBUGGER window: opening and clearing, appending RUN transcripts,
// the 2000-line rule, closing and reopening, and saving the text.
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTemporaryDir>
#include <QTextLayout>
#include <QtTest>

#include "link/ui/debug_window.h"
#include "platform/message_sink.h"
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
    void everyAppendShowsTheEndOfTheText();
    void saveAsKeepsTheTextWithBlockTimes_data();
    void saveAsKeepsTheTextWithBlockTimes();
    void blockTimesStayWithTheLinesKept();
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

void DebugWindowTest::everyAppendShowsTheEndOfTheText() {
    CDebugWnd debug;
    debug.openAndClear();
    QVERIFY(QTest::qWaitForWindowExposed(debug.window()));
    QPlainTextEdit* edit = debug.edit();
    for (int run = 1; run <= 2; ++run) {
        edit->moveCursor(QTextCursor::Start);  // the technician scrolled up
        debug.appendTranscript("\r\n @1: MODE SAVE \r\n" + numberedLines(1, 80));
        QCoreApplication::processEvents();
        QVERIFY(edit->textCursor().atEnd());
        QVERIFY(edit->verticalScrollBar()->maximum() > 0);
        QCOMPARE(edit->verticalScrollBar()->value(), edit->verticalScrollBar()->maximum());
    }
}

namespace {

// A wall clock that moves on by one minute each time it is asked.
std::function<QDateTime()> minuteClock() {
    auto next = std::make_shared<QDateTime>(QDate(2026, 12, 9), QTime(3, 10));
    return [next] { return std::exchange(*next, next->addSecs(60)); };
}

// Saving to `name` in a fresh folder, as the window's menu offers it.
struct Saving {
    explicit Saving(const QString& name = QStringLiteral("session.txt")) {
        if (!name.isEmpty()) chooser.answer = QFile::encodeName(folder.filePath(name)).toStdString();
        debug.setClock(minuteClock());
        debug.enableSaveAs(chooser, messages);
        debug.openAndClear();
    }
    QByteArray saved(const QString& name = QStringLiteral("session.txt")) const {
        QFile file(folder.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
    }
    QTemporaryDir folder;
    velmora::platform::ScriptedFileChooser chooser;
    velmora::platform::RecordingMessageSink messages;
    CDebugWnd debug;
};

}  // namespace

void DebugWindowTest::saveAsKeepsTheTextWithBlockTimes_data() {
    QTest::addColumn<QString>("answer");  // the file chosen in the folder; empty: Cancel
    QTest::addColumn<QByteArray>("saved");
    QTest::addColumn<QString>("message");
    QTest::newRow("saved") << "session.txt"
                           << QByteArray("[2026-12-09 03:10:00]\r\nWindow for I2C Stream Debbuging\r\n"
                                         "[2026-12-09 03:11:00]\r\n\r\n @1: MODE SAVE \r\n PC: S_ 6E 51 81 58 _E OK.\r\n"
                                         "[2026-12-09 03:12:00]\r\n\r\n @2: Degauss \r\n Error!!\r\n")
                           << "";
    QTest::newRow("cancelled") << "" << QByteArray("(none)") << "";
    QTest::newRow("folder missing") << "gone/session.txt" << QByteArray("(none)")
                                    << "Error|Can't Open File : %1/gone/session.txt";
}

void DebugWindowTest::saveAsKeepsTheTextWithBlockTimes() {
    QFETCH(QString, answer);
    QFETCH(QByteArray, saved);
    QFETCH(QString, message);
    Saving s(answer);
    s.debug.appendTranscript("\r\n @1: MODE SAVE \r\n PC: S_ 6E 51 81 58 _E OK.\r\n");
    s.debug.appendTranscript("\r\n @2: Degauss \r\n Error!!\r\n");
    const QString shown = s.debug.edit()->toPlainText();

    QPlainTextEdit* edit = s.debug.edit();
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(5, 5), edit->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(edit->viewport(), &rightClick);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(menu != nullptr);
    QStringList entries;
    for (QAction* action : menu->actions()) entries << action->text().remove(QLatin1Char('&')).section('\t', 0, 0);
    // The edit's own entries stay, "Save As…" comes last.
    QVERIFY2(entries.contains("Copy") && entries.contains("Select All") && entries.last() == CDebugWnd::kSaveAsText,
             qPrintable(entries.join(QLatin1Char(','))));
    menu->actions().last()->trigger();
    menu->close();

    QCOMPARE(s.chooser.calls, std::vector<std::string>{"Save As|i2c-debugger.txt|txt"});
    QCOMPARE(s.saved(answer.isEmpty() ? QStringLiteral("session.txt") : answer), saved);
    QStringList shownMessages;
    for (const auto& m : s.messages.messages) shownMessages << QString::fromStdString(m.caption + "|" + m.text);
    QCOMPARE(shownMessages, message.isEmpty() ? QStringList{} : QStringList{message.arg(s.folder.path())});
    QCOMPARE(edit->toPlainText(), shown);  // the window's text stays as it was
}

void DebugWindowTest::blockTimesStayWithTheLinesKept() {
    Saving s;                                   // the banner at 03:10
    s.debug.appendTranscript("\r\nrun 1\r\n");  // 03:11
    fillTo(s.debug, CDebugWnd::kLineLimit);     // 03:12, lines 1 ...
    // The banner goes, then the first run's leading empty line: its time
    // moves on to the run's name line, the one line of that run still kept.
    s.debug.appendTranscript("run 2\r\n");
    s.debug.appendTranscript("run 3\r\n");
    s.debug.saveAs();
    QVERIFY(s.saved().startsWith("[2026-12-09 03:11:00]\r\nrun 1\r\n[2026-12-09 03:12:00]\r\nline 1\r\n"));
    QVERIFY(s.saved().endsWith("[2026-12-09 03:13:00]\r\nrun 2\r\n[2026-12-09 03:14:00]\r\nrun 3\r\n"));
}

QTEST_MAIN(DebugWindowTest)
#include "test_debug_window.moc"
