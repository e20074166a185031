// The Memory & Edid window on the virtual bench, driven by control id: what
// it sends, what its boxes show, and which boxes come up.
#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QToolButton>
#include <QtTest>

#include "link/jig_link.h"

#include <algorithm>
#include <memory>

#include "link/block_text.h"
#include "platform/qt/display_text.h"
#include "platform/qt/up_down_control.h"
#include "tools/edid_input.h"
#include "tools/ui/edid_text_window.h"
#include "tools/ui/memory_edid_dialog.h"
#include "tools/ui/patterns_dialog.h"
#include "window_bench.h"

using velmora::link::EepromAccessMode;
using velmora::link::LinkError;
using velmora::platform::qt::displayText;
using velmora::platform::qt::UpDownControl;
using velmora::tools::testing::shownLine;
using velmora::tools::testing::WindowBench;
using velmora::tools::testing::whenModalOpens;
using velmora::tools::ui::EdidTextWindow;
using velmora::tools::ui::MemoryEdidDialog;
using Window = MemoryEdidDialog;

Q_DECLARE_METATYPE(EepromAccessMode)

namespace {

// The dump of a page as the bench holds it: rows of "%02X " cells.
QString pageDump(const velmora::bench::MonitorState& monitor, int page) {
    QStringList rows;
    for (int row = 0; row < 16; ++row) {
        QString cells;
        for (int column = 0; column < 16; ++column) {
            cells += QStringLiteral("%1 ").arg(monitor.memory[page][row * 16 + column], 2, 16, QLatin1Char('0'));
        }
        rows.append(cells.toUpper());
    }
    return rows.join(QLatin1Char('\n'));
}

QString unreadGrid() { return displayText(velmora::link::unreadBlockText()); }

QString byteText(std::uint8_t value) {
    return QStringLiteral("%1 ").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

// The window over a bench, opened the way the main window opens it and
// painted once.
struct OpenWindow {
    explicit OpenWindow(WindowBench& f, bool show = true)
        : window(std::make_unique<Window>(f.program, f.windowMessages, f.chooser)) {
        if (show) this->show();
    }
    void show() {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QTRY_VERIFY(window->logic().firstPaintDone());
        QCoreApplication::processEvents();
    }
    QString dump() const { return window->control<QPlainTextEdit>(Window::kDumpBox)->toPlainText(); }
    QLineEdit* box(int id) const { return window->control<QLineEdit>(id); }
    void click(int id) const { QTest::mouseClick(window->control(id), Qt::LeftButton); }

    std::unique_ptr<Window> window;
};

// Payloads without the link's repeated attempts of one request.
QStringList distinctRequests(const WindowBench& f) {
    auto payloads = f.payloads();
    payloads.erase(std::unique(payloads.begin(), payloads.end()), payloads.end());
    QStringList list;
    for (const auto& payload : payloads) list.append(QString::fromStdString(payload));
    return list;
}

}  // namespace

class MemoryEdidDialogTest : public QObject {
    Q_OBJECT
private slots:
    void opening_data();
    void opening();
    void pageChangesReadThePageAgain();
    void rowsAppearOneByOne();
    void pageReadInEachAccessForm_data();
    void pageReadInEachAccessForm();
    void threeFailedCellsEndTheRead_data();
    void threeFailedCellsEndTheRead();
    void writeMemoryRefusals_data();
    void writeMemoryRefusals();
    void writeMemoryRefreshesItsCell();
    void enterInABoxKeepsTheWindowOpen_data();
    void enterInABoxKeepsTheWindowOpen();
    void showByteOnEveryKeystroke();
    void readEdidBlock();
    void patternsWindowListsTheModelsModes();
    void decodeEdidWindow_data();
    void decodeEdidWindow();
    void writeButtonsFollowWriteEnabledMode_data();
    void writeButtonsFollowWriteEnabledMode();
    void hiddenButtonsStepTheBus();
};

void MemoryEdidDialogTest::opening_data() {
    QTest::addColumn<int>("autoReading");
    QTest::addColumn<int>("requests");
    QTest::newRow("Auto Reading off: unread grid, nothing sent") << 0 << 0;
    QTest::newRow("Auto Reading on: page 0 read after the first paint") << 1 << 1 + 256;
}

void MemoryEdidDialogTest::opening() {
    QFETCH(int, autoReading);
    QFETCH(int, requests);
    WindowBench f;
    f.program.autoReading = autoReading;
    OpenWindow w(f, false);
    QVERIFY2(w.window->buildError().isEmpty(), qPrintable(w.window->buildError()));
    // Setting the Page box to "0" while initialising reads nothing.
    QCOMPARE(w.box(Window::kPageBox)->text(), QStringLiteral("0"));
    QCOMPARE(int(f.bench.log.requests().size()), 0);

    w.show();
    QCOMPARE(int(f.bench.log.requests().size()), requests);
    QCOMPARE(w.dump(), autoReading ? pageDump(f.bench.monitor, 0) : unreadGrid());
    QCOMPARE(w.window->windowTitle(), QStringLiteral("Memory & Edid"));
    QCOMPARE(w.window->control<QLabel>(Window::kColumnHeader)->text(),
             QStringLiteral("00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F "));
    const QString labels = w.window->control<QLabel>(Window::kRowLabels)->text();
    QVERIFY2(labels.startsWith(QStringLiteral("00\n10\n20\n")) && labels.endsWith(QStringLiteral("E0\nF0\n")),
             qPrintable(labels));
    QVERIFY(f.linkMessages.shown.isEmpty());
    QVERIFY(f.windowMessages.shown.isEmpty());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void MemoryEdidDialogTest::pageChangesReadThePageAgain() {
    WindowBench f;
    OpenWindow w(f);
    auto* spin = w.window->control<UpDownControl>(Window::kPageSpin);
    QCOMPARE(spin->maximum(), 3);

    f.bench.log.clear();
    QTest::mouseClick(spin->upButton(), Qt::LeftButton);
    QCOMPARE(w.box(Window::kPageBox)->text(), QStringLiteral("1"));
    QCOMPARE(int(f.bench.log.requests().size()), 1 + 256);
    QCOMPARE(w.dump(), pageDump(f.bench.monitor, 1));

    // Typed over the selection: one change, one read.
    f.bench.log.clear();
    w.box(Window::kPageBox)->setFocus();
    w.box(Window::kPageBox)->selectAll();
    QTest::keyClicks(w.box(Window::kPageBox), QStringLiteral("3"));
    QCOMPARE(int(f.bench.log.requests().size()), 1 + 256);
    QCOMPARE(w.dump(), pageDump(f.bench.monitor, 3));
}

void MemoryEdidDialogTest::rowsAppearOneByOne() {
    // Counts the rows the dump box holds each time it is painted.
    struct PaintWatcher : QObject {
        QPlainTextEdit* dump = nullptr;
        QList<int> rowsPainted;
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::Paint) {
                rowsPainted.append(int(dump->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts).size()));
            }
            return QObject::eventFilter(watched, event);
        }
    };
    WindowBench f;
    f.program.autoReading = 0;
    OpenWindow w(f);
    PaintWatcher watcher;
    watcher.dump = w.window->control<QPlainTextEdit>(Window::kDumpBox);
    watcher.dump->viewport()->installEventFilter(&watcher);
    w.click(Window::kReadMemoryButton);
    QList<int> expected;
    for (int rows = 1; rows <= 16; ++rows) expected.append(rows);
    QCOMPARE(watcher.rowsPainted, expected);
}

void MemoryEdidDialogTest::pageReadInEachAccessForm_data() {
    QTest::addColumn<QString>("monitorForm");
    QTest::addColumn<EepromAccessMode>("startMode");
    QTest::addColumn<EepromAccessMode>("modeAfter");
    QTest::addColumn<QString>("firstCell");  // page 2, address 0
    QTest::newRow("by page, understood") << "both" << EepromAccessMode::ByPage << EepromAccessMode::ByPage
                                         << "C1 09 02 00";
    QTest::newRow("silent to by page: switches") << "bydevice" << EepromAccessMode::ByPage
                                                 << EepromAccessMode::ByDevice << "60 01 A4 00";
}

void MemoryEdidDialogTest::pageReadInEachAccessForm() {
    QFETCH(QString, monitorForm);
    QFETCH(EepromAccessMode, startMode);
    QFETCH(EepromAccessMode, modeAfter);
    QFETCH(QString, firstCell);
    WindowBench f;
    QVERIFY(f.bench.applyFault("memory-form=" + monitorForm.toStdString()).empty());
    f.program.autoReading = 0;
    f.program.flags.eepromAccessMode = startMode;
    OpenWindow w(f);
    w.box(Window::kPageBox)->setText(QStringLiteral("2"));
    w.click(Window::kReadMemoryButton);

    QCOMPARE(f.program.flags.eepromAccessMode, modeAfter);
    QCOMPARE(w.dump(), pageDump(f.bench.monitor, 2));
    const QStringList requests = distinctRequests(f);
    QCOMPARE(requests.size(), 1 + 256);
    QCOMPARE(requests.at(1), firstCell);
    QVERIFY(f.linkMessages.shown.isEmpty());
}

void MemoryEdidDialogTest::threeFailedCellsEndTheRead_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("linkMessage");  // empty: none at all
    QTest::addColumn<EepromAccessMode>("modeAfter");
    QTest::newRow("monitor unplugged") << "no-monitor" << "Monitor is not Connected" << EepromAccessMode::ByPage;
    QTest::newRow("monitor silent") << "no-slave-reply" << QString() << EepromAccessMode::ByDevice;
}

void MemoryEdidDialogTest::threeFailedCellsEndTheRead() {
    QFETCH(QString, fault);
    QFETCH(QString, linkMessage);
    QFETCH(EepromAccessMode, modeAfter);
    WindowBench f;
    f.program.autoReading = 0;
    OpenWindow w(f);
    QVERIFY(f.bench.applyFault(fault.toStdString()).empty());
    w.click(Window::kReadMemoryButton);

    QCOMPARE(w.dump(), unreadGrid());
    QCOMPARE(f.program.flags.eepromAccessMode, modeAfter);
    // The probe and three cells: four requests, each failure reported by the
    // link while the wait cursor is up.
    if (linkMessage.isEmpty()) {
        QVERIFY(f.linkMessages.shown.isEmpty());
        QCOMPARE(distinctRequests(f), (QStringList{"C1 09 00 00", "60 01 A0 00", "60 01 A0 01", "60 01 A0 02"}));
    } else {
        QCOMPARE(f.linkMessages.shown, QStringList(4, shownLine(linkMessage.toStdString(), "", true)));
    }
    QVERIFY(f.windowMessages.shown.isEmpty());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void MemoryEdidDialogTest::writeMemoryRefusals_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("data");
    QTest::addColumn<QString>("message");
    QTest::newRow("page 7") << "7" << "10" << "55" << "Invalid Page No.";
    QTest::newRow("address G0") << "1" << "G0" << "55" << "Invalid Address";
    QTest::newRow("data ZZ") << "1" << "10" << "ZZ" << "Invalid Data Value";
    // A third digit is never dropped: each would write another byte.
    QTest::newRow("page 001") << "001" << "10" << "55" << "Invalid Page No.";
    QTest::newRow("address 1F0") << "1" << "1F0" << "77" << "Invalid Address";
    QTest::newRow("data 123") << "1" << "10" << "123" << "Invalid Data Value";
    QTest::newRow("data 55 blank 1") << "1" << "10" << "55 1" << "Invalid Data Value";
}

void MemoryEdidDialogTest::writeMemoryRefusals() {
    QFETCH(QString, page);
    QFETCH(QString, address);
    QFETCH(QString, data);
    QFETCH(QString, message);
    WindowBench f;
    f.program.autoReading = 0;
    OpenWindow w(f);
    w.box(Window::kPageBox)->setText(page);
    w.box(Window::kAddressBox)->setText(address);
    w.box(Window::kDataBox)->setText(data);
    f.bench.log.clear();
    const auto memory = f.bench.monitor.memory;

    w.click(Window::kWriteMemoryButton);
    // The box comes up after the normal cursor is back.
    QCOMPARE(f.windowMessages.shown, QStringList{shownLine(message.toStdString(), "Error")});
    QCOMPARE(int(f.bench.log.requests().size()), 0);
    QVERIFY(f.bench.monitor.memory == memory);
    QCOMPARE(w.dump(), unreadGrid());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void MemoryEdidDialogTest::writeMemoryRefreshesItsCell() {
    WindowBench f;
    f.program.autoReading = 0;
    OpenWindow w(f);
    w.box(Window::kPageBox)->setText(QStringLiteral("1"));
    w.click(Window::kReadMemoryButton);
    const QString before = w.dump();
    // The Data box as Show byte leaves it, two digits and a blank, and one
    // blank more.
    w.box(Window::kAddressBox)->setText(QStringLiteral("3A"));
    w.box(Window::kDataBox)->setText(QStringLiteral("5A  "));
    f.bench.log.clear();

    w.click(Window::kWriteMemoryButton);
    QCOMPARE(f.bench.monitor.memory[1][0x3A], std::uint8_t{0x5A});
    QCOMPARE(distinctRequests(f), (QStringList{"C0 09 01 3A 5A", "C1 09 01 3A"}));
    QStringList rows = before.split(QLatin1Char('\n'));
    rows[3].replace(0xA * 3, 2, QStringLiteral("5A"));
    QCOMPARE(w.dump(), rows.join(QLatin1Char('\n')));
    // The caret stands at the cell, so it is scrolled into view.
    const QTextCursor caret = w.window->control<QPlainTextEdit>(Window::kDumpBox)->textCursor();
    QCOMPARE(caret.blockNumber(), 3);
    QCOMPARE(caret.positionInBlock(), 0xA * 3 + 2);
    QVERIFY(f.windowMessages.shown.isEmpty());
}

void MemoryEdidDialogTest::enterInABoxKeepsTheWindowOpen_data() {
    QTest::addColumn<int>("box");
    QTest::addColumn<int>("writeEnabled");
    QTest::addColumn<QStringList>("requests");
    QTest::newRow("Data: Write Memory") << int(Window::kDataBox) << 1
                                        << QStringList{"C0 09 01 3A 5A", "C1 09 01 3A"};
    QTest::newRow("Data, Write Memory not offered: nothing") << int(Window::kDataBox) << 0 << QStringList{};
    QTest::newRow("Addr: nothing") << int(Window::kAddressBox) << 1 << QStringList{};
    QTest::newRow("Page: nothing") << int(Window::kPageBox) << 1 << QStringList{};
}

void MemoryEdidDialogTest::enterInABoxKeepsTheWindowOpen() {
    QFETCH(int, box);
    QFETCH(int, writeEnabled);
    QFETCH(QStringList, requests);
    WindowBench f;
    f.program.autoReading = 0;
    f.program.flags.writeEnabled = writeEnabled;
    OpenWindow w(f);
    QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
    w.box(Window::kPageBox)->setText(QStringLiteral("1"));
    w.box(Window::kAddressBox)->setText(QStringLiteral("3A"));
    w.box(Window::kDataBox)->setText(QStringLiteral("5A"));
    f.bench.log.clear();
    w.box(box)->setFocus();
    QTest::keyClick(w.box(box), Qt::Key_Return);
    QVERIFY(w.window->isVisible());
    QCOMPARE(distinctRequests(f), requests);
    QVERIFY(f.windowMessages.shown.isEmpty());
}

void MemoryEdidDialogTest::showByteOnEveryKeystroke() {
    WindowBench f;
    f.program.autoReading = 0;
    OpenWindow w(f);
    QLineEdit* address = w.box(Window::kAddressBox);
    address->setFocus();

    QTest::keyClick(address, Qt::Key_3);
    QCOMPARE(distinctRequests(f), QStringList{"C1 09 00 03"});
    QCOMPARE(w.box(Window::kDataBox)->text(), byteText(f.bench.monitor.memory[0][0x03]));
    QTest::keyClick(address, Qt::Key_A);
    QCOMPARE(distinctRequests(f), (QStringList{"C1 09 00 03", "C1 09 00 3A"}));
    QCOMPARE(w.box(Window::kDataBox)->text(), byteText(f.bench.monitor.memory[0][0x3A]));

    // A failed read empties the Data box.
    QVERIFY(f.bench.applyFault("no-monitor").empty());
    QTest::keyClick(address, Qt::Key_Backspace);
    QCOMPARE(w.box(Window::kDataBox)->text(), QString());
}

// Patterns opens a window of its own that stays when this one closes, one
// line per timing of the model, the unusable ones not selectable.
void MemoryEdidDialogTest::patternsWindowListsTheModelsModes() {
    WindowBench f;
    f.program.autoReading = 0;
    QCOMPARE(f.program.loadModel(VELMORA_SAMPLE_MODELS_DIR "vm1795.mdl"), 1);
    QWidget console;
    auto window = std::make_unique<Window>(f.program, f.windowMessages, f.chooser, &console);
    window->show();
    QTest::mouseClick(window->control<QAbstractButton>(Window::kPatternsButton), Qt::LeftButton);
    window.reset();
    auto* patterns = console.findChild<velmora::tools::ui::PatternsDialog*>();
    QVERIFY(patterns != nullptr);
    QVERIFY(patterns->isVisible());
    auto* modes = patterns->findChild<QListWidget*>();
    QCOMPARE(modes->count(), int(f.program.model.timingCount()));
    QVERIFY(modes->item(8)->text().startsWith(QStringLiteral("8: 1024x768 68.68 kHz 85.00 Hz +h +v")));
    QVERIFY(!(modes->item(10)->flags() & Qt::ItemIsEnabled));
    patterns->close();
}

void MemoryEdidDialogTest::readEdidBlock() {
    WindowBench f;
    f.program.autoReading = 0;
    OpenWindow w(f);
    w.click(Window::kReadEdidButton);
    const auto& contents = f.bench.eeprom(0).contents;
    QCOMPARE(w.dump(), displayText(velmora::link::blockRowsText(
                           std::span<const std::uint8_t, 256>(contents.data(), 256))));
    QVERIFY(w.dump().startsWith(QStringLiteral("00 FF FF FF FF FF FF 00 ")));

    // Block 1 is not fitted on the bench: the unread grid, and no box.
    w.box(Window::kPageBox)->setText(QStringLiteral("1"));
    w.click(Window::kReadEdidButton);
    QCOMPARE(w.dump(), unreadGrid());
    QVERIFY(f.linkMessages.shown.isEmpty());
    QVERIFY(f.windowMessages.shown.isEmpty());
    QCOMPARE(int(f.bench.log.requests().size()), 0);
}

void MemoryEdidDialogTest::decodeEdidWindow_data() {
    QTest::addColumn<int>("autoReading");
    QTest::addColumn<QString>("benchEdid");  // file loaded into the bench's EDID memory first
    QTest::addColumn<bool>("readEdid");
    QTest::addColumn<QString>("decoded");  // a line the EDID window shows
    QTest::addColumn<QString>("chosenFile");
    QTest::addColumn<QString>("decodedFile");
    const QString dir = QStringLiteral(VELMORA_EDID_BLOCKS_DIR);
    QTest::newRow("bench EDID read, then a file opened")
        << 0 << QString() << true << QStringLiteral("Display name: \"VELMORA CRT\"") << dir + "crt17_v11.hex"
        << QStringLiteral("Display name: \"MULTISYNC E17\"");
    QTest::newRow("EDID loaded into the bench, as --bench-edid does")
        << 0 << dir + "crt19_v12_split_name.hex" << true << QStringLiteral("Display name: \"VISION MASTER PRO 454\"")
        << QString() << QString();
    QTest::newRow("unread grid") << 0 << QString() << false
                                 << QStringLiteral("nothing to decode, bytes marked XX could not be read") << QString()
                                 << QString();
    QTest::newRow("EEPROM page in the box") << 1 << QString() << false
                                            << QStringLiteral("nothing to decode, no EDID header") << QString()
                                            << QString();
    QTest::newRow("file refused") << 0 << QString() << true << QStringLiteral("Manufacturer: VLM")
                                  << dir + "missing.hex" << QStringLiteral("Nothing to decode: ") + dir + "missing.hex";
}

void MemoryEdidDialogTest::decodeEdidWindow() {
    QFETCH(int, autoReading);
    QFETCH(QString, benchEdid);
    QFETCH(bool, readEdid);
    QFETCH(QString, decoded);
    QFETCH(QString, chosenFile);
    QFETCH(QString, decodedFile);
    WindowBench f;
    f.program.autoReading = autoReading;
    if (!benchEdid.isEmpty()) {
        const auto input = velmora::tools::readEdidFile(benchEdid.toStdString());
        QVERIFY2(input.ok, input.refusal.c_str());
        f.bench.eeprom(0).load(input.bytes);
    }
    if (!chosenFile.isEmpty()) f.chooser.answer = chosenFile.toStdString();
    OpenWindow w(f);
    if (readEdid) w.click(Window::kReadEdidButton);
    const QString grid = w.dump();

    bool opened = false;
    QString first, afterFile;
    whenModalOpens<EdidTextWindow>([&](EdidTextWindow& window) {
        opened = true;
        first = window.shownText();
        QTest::mouseClick(window.openFileButton(), Qt::LeftButton);
        afterFile = window.shownText();
    });
    w.click(Window::kDecodeEdidButton);
    QVERIFY(opened);
    QVERIFY2(first.contains(decoded), qPrintable(first));
    QCOMPARE(f.chooser.calls.size(), std::size_t{1});
    QVERIFY2(afterFile.contains(decodedFile.isEmpty() ? decoded : decodedFile), qPrintable(afterFile));
    // The grid stays as it was.
    QCOMPARE(w.dump(), grid);
}

void MemoryEdidDialogTest::writeButtonsFollowWriteEnabledMode_data() {
    QTest::addColumn<int>("writeEnabled");
    QTest::newRow("write-enabled") << 1;
    QTest::newRow("read-only") << 0;
}

void MemoryEdidDialogTest::writeButtonsFollowWriteEnabledMode() {
    QFETCH(int, writeEnabled);
    WindowBench f;
    f.program.autoReading = 0;
    f.program.flags.writeEnabled = writeEnabled;
    OpenWindow w(f);
    for (int id : {Window::kWriteMemoryButton, Window::kLoadFileButton}) {
        QVERIFY2(w.window->control(id)->isVisible() == (writeEnabled != 0), qPrintable(QString::number(id)));
    }
    for (int id : {Window::kReadMemoryButton, Window::kReadEdidButton, Window::kSaveMemoryButton}) {
        QVERIFY2(w.window->control(id)->isVisible(), qPrintable(QString::number(id)));
    }
    for (int id : {Window::kReadEdidDdc1Button, Window::kBusStartButton, Window::kSendA0Button,
                   Window::kSendA1Button, Window::kReceiveDataButton, Window::kBusStopButton}) {
        QWidget* button = w.window->control(id);
        QVERIFY2(!button->isVisible() && !button->isEnabled(), qPrintable(QString::number(id)));
    }
}

void MemoryEdidDialogTest::hiddenButtonsStepTheBus() {
    WindowBench f;
    f.program.autoReading = 0;
    OpenWindow w(f);
    // Nothing shows these buttons; enabled here, their clicks reach the bus.
    auto press = [&](int id) {
        auto* button = w.window->control<QAbstractButton>(id);
        button->setEnabled(true);
        button->click();
    };
    const auto& link = *f.program.link.jigControls();
    press(Window::kBusStartButton);
    press(Window::kSendA1Button);  // the EDID memory acknowledges its read address
    QVERIFY(!link.bus().errorFlag());
    press(Window::kReceiveDataButton);
    QVERIFY(!link.bus().errorFlag());
    press(Window::kBusStopButton);

    QVERIFY(f.bench.applyFault("no-monitor").empty());
    press(Window::kBusStartButton);
    press(Window::kSendA0Button);
    QVERIFY(link.bus().errorFlag());  // nobody acknowledged
    press(Window::kBusStopButton);
    QVERIFY(!link.bus().errorFlag());  // cleared before the stop

    press(Window::kReadEdidDdc1Button);  // no DDC1 stream: nothing is shown
    QVERIFY(f.linkMessages.shown.isEmpty());
    QVERIFY(f.windowMessages.shown.isEmpty());
    QCOMPARE(w.dump(), unreadGrid());
}

QTEST_MAIN(MemoryEdidDialogTest)
#include "test_memory_edid_dialog.moc"
