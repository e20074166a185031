// The main window as a technician uses it, on the virtual bench: start-up
// and the model catalogue, pages and lists, value adjustment by scroll bar
// and keys, Reset and Reload, RUN with the I2C DEBUGGER, Alt+digit, the
// mouse wheel, the write password, the options dialog and the About box.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QWheelEvent>
#include <QtTest>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

#include "bench/virtual_bench.h"
#include "console/ui/about_dialog.h"
#include "console/ui/console_app.h"
#include "console/ui/console_dialog.h"
#include "console/ui/list_row_delegates.h"
#include "console/ui/password_dialog.h"
#include "tools/backup_gate.h"
#include "bench/bench_i2c_adapter.h"
#include "link/display_channel_link.h"
#include "link/jig_link.h"
#include "link/ui/debug_window.h"
#include "link/ui/jig_options_dialog.h"
#include "session/monitor_door.h"
#include "platform/message_sink.h"
#include "scroll_bar_parts.h"

using namespace velmora;
using console::ui::ConsoleDialog;
using console::ui::testing::scrollBarPart;

namespace {

// Model files by name, written into the program directory.
using ModelFiles = QList<QPair<QString, QByteArray>>;

QByteArray sampleModel(const QString& name) {
    QFile file(QStringLiteral(VELMORA_SAMPLE_MODELS "/") + name);
    if (!file.open(QIODevice::ReadOnly)) qFatal("sample model %s missing", qPrintable(name));
    return file.readAll();
}

// Two pages of functions to count on: "Extra 1" holds three scripts,
// "Extra 2" two; the first two pages keep the built-in defaults.
const QByteArray kFunctionsModel =
    "; [MODEL,FUNCS]\n"
    "; [KEY,PAGE3+0,FIRST]\n"
    "; [KEY,PAGE3+1,SECOND]\n"
    "; [KEY,PAGE3+2,THIRD]\n"
    "; [KEY,PAGE4+0,ONE]\n"
    "; [KEY,PAGE4+1,TWO]\n"
    "DIR   db __PAGE,3,4\n"
    "      db __VCP,5,1,20h,0\n"
    "      db __KEY,0\n"
    "      db PAGE3+0,1\n      dw SET1\n"
    "      db PAGE3+1,1\n      dw SET2\n"
    "      db PAGE3+2,1\n      dw SET3\n"
    "      db PAGE4+0,1\n      dw SET1\n"
    "      db PAGE4+1,1\n      dw SET2\n"
    "      db 0FFh\n"
    "SET1  db __SETVCP_ONLY,10h,1\n"
    "SET2  db __SETVCP_ONLY,10h,2\n"
    "SET3  db __SETVCP_ONLY,10h,3\n"
    "      end\n";

// The program with its window on a fresh bench, its models in a temporary
// program directory. The window is built (and so initialised) on demand,
// so that a test can set the bench or the flags up first.
class Console {
public:
    // With `displayChannel` the bench monitor is reached through the
    // display-channel link and the stand-in adapter, as velmora-jig --port /dev/i2c-3.
    explicit Console(const ModelFiles& models, bool displayChannel = false)
        : way(session::openWayToMonitor(
              {displayChannel ? std::optional<std::string>("/dev/i2c-3") : std::nullopt, &bench}, messages)),
          context(*way.program) {
        for (const auto& [name, text] : models) write(name, text);
        context.link.setReplyMode(link::ReplyMode::MasterRead);
    }

    void write(const QString& name, const QByteArray& text) {
        QFile file(directory.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }

    std::string programDirectory() const { return QDir(directory.path()).absolutePath().toStdString() + "/"; }

    ConsoleDialog& open() {
        window = std::make_unique<ConsoleDialog>(context, debugWindow, programDirectory(), messages, fileChooser);
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get())) qWarning("main window not active");
        return *window;
    }

    template <class Widget>
    Widget* control(int id) const {
        return window->control<Widget>(id);
    }
    QListWidget* items() const { return control<QListWidget>(ConsoleDialog::kItemListId); }
    QListWidget* functions() const { return control<QListWidget>(ConsoleDialog::kFunctionListId); }
    QTabWidget* tabs() const { return control<QTabWidget>(ConsoleDialog::kTabsId); }
    QScrollBar* valueBar() const { return control<QScrollBar>(ConsoleDialog::kScrollBarId); }
    QString text(int id) const { return control<QLabel>(id)->text(); }

    void click(int id) const { QTest::mouseClick(window->control(id), Qt::LeftButton); }
    void clickTab(int index) const {
        QTest::mouseClick(tabs()->tabBar(), Qt::LeftButton, {}, tabs()->tabBar()->tabRect(index).center());
    }
    static void clickRow(QListWidget* list, int row) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
    }

    // "name|value" of each item row; the function rows' texts.
    QStringList itemRows() const {
        QStringList rows;
        for (int i = 0; i < items()->count(); ++i) {
            rows << items()->item(i)->text() + "|" + items()->item(i)->data(console::ui::kValueTextRole).toString();
        }
        return rows;
    }
    QStringList functionRows() const {
        QStringList rows;
        for (int i = 0; i < functions()->count(); ++i) rows << functions()->item(i)->text();
        return rows;
    }
    QStringList tabTexts() const {
        QStringList texts;
        for (int i = 0; i < tabs()->count(); ++i) texts << tabs()->tabText(i);
        return texts;
    }

    // Payloads of the requests the monitor received since the last call.
    QStringList takePayloads() {
        QStringList result;
        for (const auto& bytes : bench.log.requests()) {
            QStringList cells;
            for (std::size_t i = 3; i + 1 < bytes.size(); ++i) cells << QString::asprintf("%02X", bytes[i]);
            result << cells.join(QLatin1Char(' '));
        }
        bench.log.clear();
        return result;
    }
    QStringList messageTexts() const {
        QStringList texts;
        for (const auto& message : messages.messages) {
            texts << QString::fromStdString(message.caption) + ": " + QString::fromStdString(message.text);
        }
        return texts;
    }

    QTemporaryDir directory;
    bench::VirtualBench bench;
    platform::RecordingMessageSink messages;
    platform::ScriptedFileChooser fileChooser;  // these tests never choose a file
    session::OpenedWay way;
    session::ProgramContext& context;
    link::ui::CDebugWnd debugWindow;
    std::unique_ptr<ConsoleDialog> window;
};

// Runs `action` on the next modal dialog as soon as it is open.
void whenModalOpens(std::function<void(QWidget&)> action) {
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, action] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            poll->stop();
            poll->deleteLater();
            action(*modal);
        }
    });
    poll->start();
}

QString setVcp(int code, int value) { return QString::asprintf("03 %02X 00 %02X", code, value); }

}  // namespace

Q_DECLARE_METATYPE(QStyle::SubControl)

class ConsoleDialogTest : public QObject {
    Q_OBJECT
private slots:
    void startUpListsModelsAndLoadsTheFirst();
    void withoutModelFilesTheWindowStaysEmpty();
    void compileErrorIsShownOnceAndTheListsAreBuilt();
    void tabsFollowThePageCount_data();
    void tabsFollowThePageCount();
    void sampleModelListsPageByPage();
    void unpluggedMonitorIsReportedOncePerFill();
    void valueTextShowsDecimalAndHex_data();
    void valueTextShowsDecimalAndHex();
    void selectingAnItemReadsIt();
    void scrollBarWritesAndReadsBack_data();
    void scrollBarWritesAndReadsBack();
    void thumbDragWritesEachPositionThenReadsBack();
    void keysStepTheValue_data();
    void keysStepTheValue();
    void upAndDownMoveTheSelectionAndRead();
    void resetReadsThePageAgain();
    void reloadKeepsThePageAndReadsTheEditedFile();
    void choosingAnotherModelLoadsIt();
    void runShowsOkAndFeedsAnOpenDebugWindow();
    void runOfASavingFunctionAsksForABackupOnce_data();
    void runOfASavingFunctionAsksForABackupOnce();
    void runErrorStillReachesTheDebugWindow();
    void runWithTheDebugWindowClosedLeavesNoTrace();
    void runWithoutSelectionDoesNothing();
    void debuggerTakesInputWhileTheConsoleRuns();
    void runShowsTheProgressOfALongFunction();
    void autoReadingReadsThePageAfterARun_data();
    void autoReadingReadsThePageAfterARun();
    void ctrlZUndoesChangeByChange();
    void restoreWritesBackThePageChanges();
    void undoIsRefusedWhereWritingIs();
    void enterInTheItemListRuns();
    void altDigitRunsTheNumberedFunction_data();
    void altDigitRunsTheNumberedFunction();
    void heldAltDigitRunsOnce();
    void altDigitFollowsThePhysicalKey_data();
    void altDigitFollowsThePhysicalKey();
    void wheelNeedsTheFocus_data();
    void wheelNeedsTheFocus();
    void valueBarStaysStillWithoutSelection_data();
    void valueBarStaysStillWithoutSelection();
    void valueBarHasNoMenuOfItsOwn();
    void failedModelLoadShowsTheModelStillLoaded();
    void passwordDialogOpensWriting_data();
    void passwordDialogOpensWriting();
    void optionsDialogOkAndCancel_data();
    void optionsDialogOkAndCancel();
    void displayChannelShowsItsPortAndNoBusSpeed();
    void autoReadingFollowsTheBox();
    void aboutFromTheBackgroundMenuAndF1();
    void escapeClosesTheWindow();
    void toolButtonsOpenTheirWindows();
};

void ConsoleDialogTest::startUpListsModelsAndLoadsTheFirst() {
    Console c({{"b.mdl", "; [MODEL,Zeta]\nDIR db __PAGE,3,2\n    db 0FFh\n    end\n"},
               {"a.mdl", "; [MODEL,alpha]\nDIR db __PAGE,3,3\n    db 0FFh\n    end\n"}});
    ConsoleDialog& w = c.open();
    auto* combo = c.control<QComboBox>(ConsoleDialog::kModelComboId);
    QCOMPARE(combo->count(), 2);
    QCOMPARE(combo->itemText(0), QStringLiteral("alpha - a.mdl"));
    QCOMPARE(combo->itemText(1), QStringLiteral("Zeta - b.mdl"));
    QCOMPARE(combo->currentIndex(), 0);
    QCOMPARE(combo->toolTip(), "Models in " + QDir(c.directory.path()).absolutePath() + "/");
    QVERIFY(QString::fromStdString(c.context.model.modelPath).endsWith("/a.mdl"));
    QCOMPARE(c.tabs()->count(), 3);
    QCOMPARE(w.windowTitle(), QStringLiteral("Velmora Monitor A/S Jig 2.3a"));
    QVERIFY(c.messages.messages.empty());
    QVERIFY(c.control<QCheckBox>(ConsoleDialog::kAutoReadingId)->isChecked());
    QVERIFY(c.control<QPushButton>(ConsoleDialog::kPasswordId)->isHidden());

    const QList<QAction*> actions = w.backgroundMenu()->actions();
    QCOMPARE(actions.size(), 1);
    QCOMPARE(actions[0]->text(), QStringLiteral("&About Velmora Monitor A/S Jig..."));
}

void ConsoleDialogTest::withoutModelFilesTheWindowStaysEmpty() {
    Console c({{"readme.txt", QByteArray("[MODEL,NOT A MODEL]\n")}});
    c.open();
    QCOMPARE(c.messageTexts(), QStringList{": mdl files cannot be opened in " + QDir(c.directory.path()).absolutePath() + "/"});
    QCOMPARE(c.control<QComboBox>(ConsoleDialog::kModelComboId)->count(), 0);
    QCOMPARE(c.control<QComboBox>(ConsoleDialog::kModelComboId)->toolTip(), QString());
    QCOMPARE(c.tabs()->count(), 0);
    QCOMPARE(c.items()->count(), 0);
    QCOMPARE(c.functions()->count(), 0);

    c.takePayloads();
    c.click(ConsoleDialog::kReloadId);
    c.click(ConsoleDialog::kResetId);
    QTest::keyClick(c.items(), Qt::Key_Right);
    QVERIFY(c.takePayloads().isEmpty());
    QCOMPARE(c.messages.messages.size(), std::size_t{1});
}

void ConsoleDialogTest::compileErrorIsShownOnceAndTheListsAreBuilt() {
    Console c({{"bad.mdl",
                QByteArray("; [MODEL,BAD]\nDIR   db __PAGE,3,2\n      db __VCP,5,1,20h,0\n      db 0FFh\nOOPS  foo 1\n      end\n")}});
    c.open();
    QCOMPARE(c.messages.messages.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(c.messages.messages[0].caption), QStringLiteral("Error"));
    QVERIFY(QString::fromStdString(c.messages.messages[0].text).startsWith("Label or Identifier Error :\n"));
    QCOMPARE(c.tabTexts(), (QStringList{"Geometry", "Color"}));
    QCOMPARE(c.itemRows(), QStringList{"H-POSITION|128 (80h)"});
    QVERIFY(c.functions()->count() > 0);
}

void ConsoleDialogTest::tabsFollowThePageCount_data() {
    QTest::addColumn<QByteArray>("directory");
    QTest::addColumn<QStringList>("tabs");
    QTest::newRow("no page chunk: two") << QByteArray("DIR db __VCP,3,0\n    db 0FFh\n")
                                        << QStringList{"Geometry", "Color"};
    QTest::newRow("four pages") << QByteArray("DIR db __PAGE,3,4\n    db 0FFh\n")
                                << QStringList{"Geometry", "Color", "Extra 1", "Extra 2"};
}

void ConsoleDialogTest::tabsFollowThePageCount() {
    QFETCH(QByteArray, directory);
    QFETCH(QStringList, tabs);
    Console c({{"m.mdl", "; [MODEL,M]\n" + directory + "    end\n"}});
    c.open();
    QCOMPARE(c.tabTexts(), tabs);
    QCOMPARE(c.tabs()->currentIndex(), 0);
}

void ConsoleDialogTest::sampleModelListsPageByPage() {
    Console c({{"vm1795.mdl", sampleModel("vm1795.mdl")}});
    c.open();
    QCOMPARE(c.tabTexts(), (QStringList{"Geometry", "Color", "Extra 1"}));
    QCOMPARE(c.itemRows(), (QStringList{"H-POSITION|128 (80h)", "H-SIZE|128 (80h)", "V-CENTER|128 (80h)",
                                        "V-SIZE|128 (80h)", "PINCUSHION|128 (80h)", "TRAPEZOID|128 (80h)",
                                        "PARALELL|128 (80h)", "PINBALANCE|128 (80h)", "ROTATION|128 (80h)",
                                        "V LINEARITY bal|128 (80h)", "B +|128 (80h)"}));
    QCOMPARE(c.functionRows(), (QStringList{"@1: MODE SAVE      ", "@2: STND MODE DUMP", "@3: ALL MODE SAVE",
                                            "@4: USER DELETE     ", "@5: GEOMETRY CENTRE", "@6: H-SIZE SWEEP",
                                            "@7: USER DELETE2    "}));
    QCOMPARE(c.text(ConsoleDialog::kItemNameId), QStringLiteral("H-POSITION"));
    QCOMPARE(c.text(ConsoleDialog::kItemValueId), QStringLiteral("128 (80h)"));
    QCOMPARE(c.items()->currentRow(), 0);

    c.takePayloads();
    c.clickTab(1);
    QCOMPARE(c.itemRows(), (QStringList{"CONTRAST| 80 (50h)", "BRIGHTNESS| 50 (32h)", "RED GAIN|128 (80h)",
                                        "GREEN GAIN|128 (80h)", "BLUE GAIN|128 (80h)", "RED CUTOFF|128 (80h)",
                                        "GREEN CUTOFF|128 (80h)", "BLUE CUTOFF|128 (80h)"}));
    const QStringList colorFunctions = c.functionRows();
    QCOMPARE(colorFunctions.size(), 12);
    QCOMPARE(colorFunctions[0], QStringLiteral("@1: CHANNEL 1     "));
    QCOMPARE(colorFunctions[7], QStringLiteral("@8: WHITE BALANCE 9300K"));
    QCOMPARE(colorFunctions[9], QStringLiteral("@0: Test COlor    "));
    QCOMPARE(colorFunctions[10], QStringLiteral("    CHANNEL 4     "));
    QCOMPARE(c.takePayloads(), (QStringList{"01 12", "01 10", "01 16", "01 18", "01 1A", "01 6C", "01 6E", "01 70"}));

    c.clickTab(2);
    QCOMPARE(c.itemRows(), (QStringList{"V-LIN BALANCE|128 (80h)", "B +|128 (80h)", "SUB-CONTRAST|128 (80h)",
                                        "SUB-BRIGHT|128 (80h)", "OSD H-POSITION|193 (C1h)",
                                        "OSD V-POSITION|200 (C8h)"}));
    QCOMPARE(c.functionRows(), (QStringList{"@1: FACTORY RESET", "@2: BURN-IN OFF", "@3: BURN-IN ON"}));
    QCOMPARE(c.takePayloads(), (QStringList{"01 3C", "01 D8", "01 F2", "01 F4", "C1 09 01 10", "C1 09 01 11"}));
    QVERIFY(c.messages.messages.empty());
}

void ConsoleDialogTest::unpluggedMonitorIsReportedOncePerFill() {
    Console c({{"vm1795.mdl", sampleModel("vm1795.mdl")}});
    c.open();
    QVERIFY(c.bench.applyFault("no-monitor").empty());
    c.clickTab(2);
    QCOMPARE(c.messageTexts(), QStringList{": Monitor is not Connected"});
    QCOMPARE(c.items()->count(), 6);
    QCOMPARE(c.functions()->count(), 3);
}

void ConsoleDialogTest::valueTextShowsDecimalAndHex_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("0") << 0 << "  0 (00h)";
    QTest::newRow("45") << 45 << " 45 (2Dh)";
    QTest::newRow("255") << 255 << "255 (FFh)";
}

void ConsoleDialogTest::valueTextShowsDecimalAndHex() {
    QFETCH(int, value);
    QFETCH(QString, shown);
    Console c({{"vm1795.mdl", sampleModel("vm1795.mdl")}});
    c.bench.monitor.vcp[0x20] = {true, static_cast<std::uint8_t>(value), 255};
    c.open();
    QCOMPARE(c.itemRows().first(), "H-POSITION|" + shown);
    QCOMPARE(c.text(ConsoleDialog::kItemValueId), shown);
    QCOMPARE(c.valueBar()->value(), value);
    QCOMPARE(c.valueBar()->maximum(), 255);
}

void ConsoleDialogTest::selectingAnItemReadsIt() {
    Console c({{"vm1795.mdl", sampleModel("vm1795.mdl")}});
    c.open();
    c.takePayloads();
    c.bench.monitor.vcp[0x32] = {true, 40, 90};
    Console::clickRow(c.items(), 3);
    QCOMPARE(c.takePayloads(), QStringList{"01 32"});
    QCOMPARE(c.text(ConsoleDialog::kItemNameId), QStringLiteral("V-SIZE"));
    QCOMPARE(c.text(ConsoleDialog::kItemValueId), QStringLiteral(" 40 (28h)"));
    QCOMPARE(c.itemRows()[3], QStringLiteral("V-SIZE| 40 (28h)"));
    QCOMPARE(c.valueBar()->maximum(), 90);
}

void ConsoleDialogTest::scrollBarWritesAndReadsBack_data() {
    QTest::addColumn<QStyle::SubControl>("part");
    QTest::addColumn<int>("written");
    // H-POSITION stands at 128 of 255; a page is 255 / 16 = 15.
    QTest::newRow("0 and 8: left arrow") << QStyle::SC_ScrollBarSubLine << 127;
    QTest::newRow("1 and 8: right arrow") << QStyle::SC_ScrollBarAddLine << 129;
    QTest::newRow("2 and 8: shaft left") << QStyle::SC_ScrollBarSubPage << 113;
    QTest::newRow("3 and 8: shaft right") << QStyle::SC_ScrollBarAddPage << 143;
}

void ConsoleDialogTest::scrollBarWritesAndReadsBack() {
    QFETCH(QStyle::SubControl, part);
    QFETCH(int, written);
    Console c({{"vm1795.mdl", sampleModel("vm1795.mdl")}});
    c.open();
    c.takePayloads();
    QTest::mouseClick(c.valueBar(), Qt::LeftButton, {}, scrollBarPart(*c.valueBar(), part));
    // The step, the end of scrolling writing the value once more, the read-back.
    QCOMPARE(c.takePayloads(), (QStringList{setVcp(0x20, written), setVcp(0x20, written), "01 20"}));
    QCOMPARE(c.valueBar()->value(), written);
    QCOMPARE(int(c.bench.monitor.vcp[0x20].current), written);
    QCOMPARE(c.itemRows()[0], "H-POSITION|" + QString::asprintf("%3d (%02Xh)", written, written));
}

void ConsoleDialogTest::thumbDragWritesEachPositionThenReadsBack() {
    Console c({{"vm1795.mdl", sampleModel("vm1795.mdl")}});
    c.bench.monitor.vcp[0x20] = {true, 10, 255};
    c.open();
    c.takePayloads();
    QScrollBar* bar = c.valueBar();
    QPoint where = scrollBarPart(*bar, QStyle::SC_ScrollBarSlider);
    QTest::mousePress(bar, Qt::LeftButton, {}, where);
    QStringList expected;
    for (int step = 0; step < 3; ++step) {
        where += QPoint(4, 0);
        QTest::mouseMove(bar, where);
        expected << setVcp(0x20, bar->sliderPosition());
    }
    const int final = bar->sliderPosition();
    QVERIFY(final > 10);
    // The monitor takes at most one below the final position.
    c.bench.monitor.vcp[0x20].maximum = static_cast<std::uint8_t>(final - 1);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, where);
    expected << setVcp(0x20, final) << setVcp(0x20, final) << "01 20";
    QCOMPARE(c.takePayloads(), expected);
    QCOMPARE(c.text(ConsoleDialog::kItemValueId), QString::asprintf("%3d (%02Xh)", final - 1, final - 1));
    QCOMPARE(c.valueBar()->maximum(), final - 1);
}

void ConsoleDialogTest::keysStepTheValue_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QStringList>("received");
    const int none = Qt::NoModifier;
    const int keypad = Qt::KeypadModifier;
    // H-POSITION stands at 128 of 255; the keyboard never reads back.
    QTest::newRow("Left") << int(Qt::Key_Left) << none << QStringList{setVcp(0x20, 127)};
    QTest::newRow("Page Up") << int(Qt::Key_PageUp) << none << QStringList{setVcp(0x20, 143)};
    QTest::newRow("End") << int(Qt::Key_End) << none << QStringList{setVcp(0x20, 255)};
    QTest::newRow("keypad Left") << int(Qt::Key_Left) << keypad << QStringList{};
    QTest::newRow("keypad Up") << int(Qt::Key_Up) << keypad << QStringList{};
    QTest::newRow("a letter") << int(Qt::Key_B) << none << QStringList{};
}

void ConsoleDialogTest::keysStepTheValue() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QStringList, received);
    Console c({{"vm1795.mdl", sampleModel("vm1795.mdl")}});
    c.open();
    c.takePayloads();
    QTest::keyClick(c.items(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(c.takePayloads(), received);
    QCOMPARE(c.items()->currentRow(), 0);
}

void ConsoleDialogTest::upAndDownMoveTheSelectionAndRead() {
    Console c({{"vm1795.mdl", sampleModel("vm1795.mdl")}});
    c.open();
    c.takePayloads();
    QTest::keyClick(c.items(), Qt::Key_Down);
    QTest::keyClick(c.items(), Qt::Key_Down);
    QTest::keyClick(c.items(), Qt::Key_Up);
    QCOMPARE(c.takePayloads(), (QStringList{"01 22", "01 30", "01 22"}));
    QCOMPARE(c.text(ConsoleDialog::kItemNameId), QStringLiteral("H-SIZE"));
}

void ConsoleDialogTest::resetReadsThePageAgain() {
    Console c({{"vm1795.mdl", sampleModel("vm1795.mdl")}});
    c.open();
    Console::clickRow(c.items(), 2);
    c.bench.monitor.vcp[0x20].current = 99;
    c.takePayloads();
    c.click(ConsoleDialog::kResetId);
    QCOMPARE(c.takePayloads().size(), 11);
    QCOMPARE(c.items()->currentRow(), 0);
    QCOMPARE(c.text(ConsoleDialog::kItemValueId), QStringLiteral(" 99 (63h)"));
    QCOMPARE(QApplication::focusWidget(), c.items());
}

void ConsoleDialogTest::reloadKeepsThePageAndReadsTheEditedFile() {
    Console c({{"vm1795.mdl", sampleModel("vm1795.mdl")}});
    c.open();
    c.clickTab(2);
    QByteArray edited = sampleModel("vm1795.mdl");
    edited.replace("'BURN-IN OFF',0,1", "'BURN-IN STOP',0,1");
    c.write("vm1795.mdl", edited);
    c.takePayloads();
    c.click(ConsoleDialog::kReloadId);
    QCOMPARE(c.tabs()->currentIndex(), 2);
    QCOMPARE(c.functionRows(), (QStringList{"@1: FACTORY RESET", "@2: BURN-IN STOP", "@3: BURN-IN ON"}));
    // The first page is read on loading, then the remembered page.
    const QStringList received = c.takePayloads();
    QCOMPARE(received.size(), 11 + 6);
    QCOMPARE(received.first(), QStringLiteral("01 20"));
    QCOMPARE(received.last(), QStringLiteral("C1 09 01 11"));
}

void ConsoleDialogTest::choosingAnotherModelLoadsIt() {
    Console c({{"vm1795.mdl", sampleModel("vm1795.mdl")}, {"vm1495.mdl", sampleModel("vm1495.mdl")}});
    c.open();
    auto* combo = c.control<QComboBox>(ConsoleDialog::kModelComboId);
    QCOMPARE(combo->itemText(0), QStringLiteral("VM-1495 - vm1495.mdl"));
    QCOMPARE(c.tabs()->count(), 2);
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(combo->currentIndex(), 1);
    QVERIFY(QString::fromStdString(c.context.model.modelPath).endsWith("/vm1795.mdl"));
    QCOMPARE(c.tabs()->count(), 3);
    QCOMPARE(c.itemRows().size(), 11);
    QCOMPARE(QApplication::focusWidget(), c.items());
}

void ConsoleDialogTest::runShowsOkAndFeedsAnOpenDebugWindow() {
    Console c({{"vm1795.mdl", sampleModel("vm1795.mdl")}});
    c.open();
    c.click(ConsoleDialog::kAutoReadingId);  // the RUN's own requests only: no page read after it
    c.click(ConsoleDialog::kDebugId);
    QVERIFY(c.debugWindow.exists());
    QCOMPARE(QApplication::focusWidget(), c.items());
    c.takePayloads();
    Console::clickRow(c.functions(), 0);
    c.click(ConsoleDialog::kRunId);
    QCOMPARE(c.text(ConsoleDialog::kRunStatusId), QStringLiteral("OK"));
    QCOMPARE(c.takePayloads(), QStringList{"58"});
    const QString shown = c.debugWindow.edit()->toPlainText();
    QVERIFY2(shown.startsWith("Window for I2C Stream Debbuging\n\n @1: MODE SAVE       \n PC: S_ 6E 51 81 58"),
             qPrintable(shown));
    QVERIFY(shown.contains(" OK.\n"));
    QCOMPARE(c.context.link.transcriptLength(), -1);
    QCOMPARE(QApplication::focusWidget(), c.items());
    QCOMPARE(c.functions()->currentRow(), 0);
}

void ConsoleDialogTest::runOfASavingFunctionAsksForABackupOnce_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("questions");
    QTest::addColumn<QString>("firstRequest");
    QTest::newRow("MODE SAVE") << 0 << 1 << QStringLiteral("58");
    QTest::newRow("ALL MODE SAVE") << 2 << 1 << QStringLiteral("01 20");
    QTest::newRow("USER DELETE") << 3 << 1 << QStringLiteral("50");
    QTest::newRow("STND MODE DUMP") << 1 << 0 << QStringLiteral("03 20 00 80");
    QTest::newRow("GEOMETRY CENTRE") << 4 << 0 << QStringLiteral("03 20 00 80");
}

void ConsoleDialogTest::runOfASavingFunctionAsksForABackupOnce() {
    QFETCH(int, row);
    QFETCH(int, questions);
    QFETCH(QString, firstRequest);
    Console c({{"vm1795.mdl", sampleModel("vm1795.mdl")}});
    tools::BackupGate gate(c.directory.filePath(QStringLiteral("backups")).toStdString(), [] { return std::time_t{0}; });
    c.open().guardEepromWrites(gate);
    c.click(ConsoleDialog::kAutoReadingId);
    c.messages.answer = platform::Answer::No;
    for (int run = 0; run < 2; ++run) {
        c.takePayloads();
        Console::clickRow(c.functions(), row);
        c.click(ConsoleDialog::kRunId);
        QCOMPARE(c.text(ConsoleDialog::kRunStatusId), QStringLiteral("OK"));
        // Before the question one byte is read to tell how long the backup
        // would take; then, the answer being No, the function's own requests.
        const QStringList sent = c.takePayloads();
        const int asked = run == 0 && questions > 0 ? 1 : 0;
        QVERIFY(sent.size() > asked);
        if (asked == 1) QCOMPARE(sent.first(), QStringLiteral("C1 09 00 00"));
        QCOMPARE(sent.at(asked), firstRequest);
    }
    QCOMPARE(static_cast<int>(c.messages.questions.size()), questions);
}

void ConsoleDialogTest::runErrorStillReachesTheDebugWindow() {
    Console c({{"vm1795.mdl", sampleModel("vm1795.mdl")}});
    c.open();
    c.click(ConsoleDialog::kDebugId);
    QVERIFY(c.bench.applyFault("no-monitor").empty());
    Console::clickRow(c.functions(), 0);
    c.click(ConsoleDialog::kRunId);
    QCOMPARE(c.text(ConsoleDialog::kRunStatusId), QStringLiteral("Error"));
    QCOMPARE(c.messageTexts(), QStringList{": Monitor is not Connected"});
    const QString shown = c.debugWindow.edit()->toPlainText();
    QCOMPARE(shown.count("Error!!"), 3);
    QVERIFY(shown.endsWith("Monitor is not Connected\n"));
}

void ConsoleDialogTest::runWithTheDebugWindowClosedLeavesNoTrace() {
    Console c({{"vm1795.mdl", sampleModel("vm1795.mdl")}});
    c.open();
    c.click(ConsoleDialog::kDebugId);
    c.debugWindow.window()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!c.debugWindow.exists());
    Console::clickRow(c.functions(), 0);
    c.click(ConsoleDialog::kRunId);
    QCOMPARE(c.text(ConsoleDialog::kRunStatusId), QStringLiteral("OK"));
    c.click(ConsoleDialog::kDebugId);
    QCOMPARE(c.debugWindow.edit()->toPlainText(), QStringLiteral("Window for I2C Stream Debbuging\n"));
}

void ConsoleDialogTest::runWithoutSelectionDoesNothing() {
    Console c({{"vm1795.mdl", sampleModel("vm1795.mdl")}});
    c.open();
    c.click(ConsoleDialog::kDebugId);
    c.takePayloads();
    c.click(ConsoleDialog::kRunId);
    QCOMPARE(c.text(ConsoleDialog::kRunStatusId), QStringLiteral("Error Message"));
    QVERIFY(c.takePayloads().isEmpty());
    QCOMPARE(c.debugWindow.edit()->toPlainText(), QStringLiteral("Window for I2C Stream Debbuging\n"));
}

// The program as started: the console runs in its own loop, and the
// I2C DEBUGGER beside it takes the mouse and the keyboard through the
// platform (where a modal console would have them refused).
void ConsoleDialogTest::debuggerTakesInputWhileTheConsoleRuns() {
    Console c({{"vm1795.mdl", sampleModel("vm1795.mdl")}});
    console::ui::ConsoleApp app(c.context, c.messages, c.fileChooser, c.programDirectory());
    link::ui::CDebugWnd& debug = app.debugWindow();
    int caretAfterClick = -1;
    QString selectedByCtrlA;
    QTimer::singleShot(0, [&] {
        ConsoleDialog* console = nullptr;
        for (QWidget* shown : QApplication::topLevelWidgets()) {
            if (console == nullptr) console = qobject_cast<ConsoleDialog*>(shown);
        }
        QTest::mouseClick(console->control(ConsoleDialog::kDebugId), Qt::LeftButton);
        QVERIFY(QTest::qWaitForWindowExposed(debug.window()));
        QWindow* window = debug.window()->windowHandle();
        QTest::mouseClick(window, Qt::LeftButton, {}, debug.edit()->mapTo(debug.window(), QPoint(60, 6)));
        caretAfterClick = debug.edit()->textCursor().position();
        QTest::keyClick(window, Qt::Key_A, Qt::ControlModifier);
        selectedByCtrlA = debug.edit()->textCursor().selectedText();
        console->reject();
    });
    QCOMPARE(app.run(), 0);
    // The click put the caret into the banner (from its end), Ctrl+A took it all.
    QVERIFY2(caretAfterClick > 0 && caretAfterClick < 20, qPrintable(QString::number(caretAfterClick)));
    QCOMPARE(selectedByCtrlA.size(), debug.edit()->toPlainText().size());
}

// The bar's value each time it is painted.
struct PaintWitness : QObject {
    QList<int> painted;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) painted << static_cast<QProgressBar*>(watched)->value();
        return false;
    }
};

void ConsoleDialogTest::runShowsTheProgressOfALongFunction() {
    Console c({{"vm1795.mdl", sampleModel("vm1795.mdl")}});
    c.open();
    c.click(ConsoleDialog::kAutoReadingId);  // the RUN's own requests only: no page read after it
    const QProgressBar& bar = c.window->runProgress().bar();
    PaintWitness witness;
    const_cast<QProgressBar&>(bar).installEventFilter(&witness);
    QVERIFY(bar.isHidden());
    Console::clickRow(c.functions(), 2);  // ALL MODE SAVE
    c.takePayloads();
    c.click(ConsoleDialog::kRunId);

    QCOMPARE(c.text(ConsoleDialog::kRunStatusId), QStringLiteral("OK"));
    QVERIFY(bar.isHidden());  // gone once the function has ended
    // Painted at every step, with no event loop running meanwhile: one
    // step per request of the save.
    const qsizetype requests = c.takePayloads().size();
    QCOMPARE(bar.maximum(), requests);
    QVERIFY2(witness.painted.size() > requests, qPrintable(QString::number(witness.painted.size())));
    QVERIFY(std::is_sorted(witness.painted.begin(), witness.painted.end()));
    QCOMPARE(witness.painted.first(), 0);
    QCOMPARE(witness.painted.last(), requests);
}

void ConsoleDialogTest::autoReadingReadsThePageAfterARun_data() {
    QTest::addColumn<bool>("autoReading");
    QTest::addColumn<QString>("shown");  // V-CENTER after GEOMETRY CENTRE set it to 128
    QTest::newRow("on: the function's values") << true << "128 (80h)";
    QTest::newRow("off: the values read before") << false << " 10 (0Ah)";
}

void ConsoleDialogTest::autoReadingReadsThePageAfterARun() {
    QFETCH(bool, autoReading);
    QFETCH(QString, shown);
    Console c({{"vm1795.mdl", sampleModel("vm1795.mdl")}});
    c.bench.monitor.vcp[0x30].current = 10;
    c.open();
    if (!autoReading) c.click(ConsoleDialog::kAutoReadingId);
    Console::clickRow(c.items(), 2);
    Console::clickRow(c.functions(), 4);  // GEOMETRY CENTRE: H and V to 128
    c.click(ConsoleDialog::kRunId);
    QCOMPARE(c.itemRows()[2], "V-CENTER|" + shown);
    QCOMPARE(c.text(ConsoleDialog::kItemValueId), shown);
    // Read into the same entries: both selections stay for the next Enter.
    QCOMPARE(c.items()->currentRow(), 2);
    QCOMPARE(c.functions()->currentRow(), 4);
}

namespace {

// Writes back as a release of the thumb does: the value, once more at the
// end of scrolling, then the read-back.
QStringList writtenBack(int code, int value) {
    return {setVcp(code, value), setVcp(code, value), QString::asprintf("01 %02X", code)};
}

void pressUndo(QListWidget* list) { QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier); }

// The item list's menu as a right click opens it: each entry with its state.
QStringList openItemMenu(Console& c) {
    QWidget* viewport = c.items()->viewport();
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(5, 5), viewport->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(viewport, &rightClick);
    QStringList entries;
    for (QAction* action : c.window->itemMenu()->actions()) {
        entries << action->text() + (action->isEnabled() ? "" : " (off)");
    }
    return entries;
}

}  // namespace

void ConsoleDialogTest::ctrlZUndoesChangeByChange() {
    Console c({{"vm1795.mdl", sampleModel("vm1795.mdl")}});
    c.open();
    QTest::keyClick(c.items(), Qt::Key_Right);
    QTest::keyClick(c.items(), Qt::Key_Right);       // H-POSITION 128, 129, 130
    Console::clickRow(c.items(), 1);
    QTest::keyClick(c.items(), Qt::Key_End);         // H-SIZE 255
    QTest::keyClick(c.items(), Qt::Key_End);         // already there: no change
    Console::clickRow(c.items(), 2);
    // V-CENTER: a drag writes at every move, and is one change.
    QPoint where = scrollBarPart(*c.valueBar(), QStyle::SC_ScrollBarSlider);
    QTest::mousePress(c.valueBar(), Qt::LeftButton, {}, where);
    for (int move = 0; move < 3; ++move) QTest::mouseMove(c.valueBar(), where += QPoint(4, 0));
    QTest::mouseRelease(c.valueBar(), Qt::LeftButton, {}, where);
    QVERIFY(c.takePayloads().size() > 3 + 3);
    QVERIFY(c.bench.monitor.vcp[0x30].current > 130);

    const struct {
        int row;
        int code;
        int value;
    } undone[] = {{2, 0x30, 128}, {1, 0x22, 128}, {0, 0x20, 129}, {0, 0x20, 128}};
    for (const auto& step : undone) {
        pressUndo(c.items());
        QCOMPARE(c.takePayloads(), writtenBack(step.code, step.value));
        QCOMPARE(c.items()->currentRow(), step.row);
        QCOMPARE(c.text(ConsoleDialog::kItemValueId), QString::asprintf("%3d (%02Xh)", step.value, step.value));
    }
    pressUndo(c.items());  // as far back as the session goes, and no further
    QVERIFY(c.takePayloads().isEmpty());
}

void ConsoleDialogTest::restoreWritesBackThePageChanges() {
    Console c({{"vm1795.mdl", sampleModel("vm1795.mdl")}});
    c.open();
    QCOMPARE(openItemMenu(c), (QStringList{"Undo (off)", "Restore values read at start (off)"}));
    c.window->itemMenu()->hide();
    for (int i = 0; i < 3; ++i) QTest::keyClick(c.items(), Qt::Key_Left);  // H-POSITION 125
    Console::clickRow(c.items(), 3);
    QTest::keyClick(c.items(), Qt::Key_End);                                // V-SIZE 255
    QTest::keyClick(c.items(), Qt::Key_Home);                               // V-SIZE 0
    c.takePayloads();

    QCOMPARE(openItemMenu(c), (QStringList{"Undo", "Restore values read at start"}));
    c.window->itemMenu()->actions().last()->trigger();
    c.window->itemMenu()->hide();
    // Each item of this page back to the value read at start, in list order.
    QCOMPARE(c.takePayloads(), writtenBack(0x20, 128) + writtenBack(0x32, 128));
    QCOMPARE(c.itemRows()[0], QStringLiteral("H-POSITION|128 (80h)"));
    // The restore is undone like any change: V-SIZE goes back to 0.
    pressUndo(c.items());
    QCOMPARE(c.takePayloads(), writtenBack(0x32, 0));
}

// A change is undone only where it can be written: while writing is
// refused it stays (and the link says why), and from a page that does not
// list the item the window names the page to open.
void ConsoleDialogTest::undoIsRefusedWhereWritingIs() {
    Console c({{"vm1795.mdl", sampleModel("vm1795.mdl")}});
    c.open();
    c.clickTab(2);
    Console::clickRow(c.items(), 4);            // OSD H-POSITION: EEPROM page 1, address 10h
    QTest::keyClick(c.items(), Qt::Key_Right);  // 193 to 194
    c.context.flags.writeEnabled = 0;
    pressUndo(c.items());
    QCOMPARE(int(c.bench.monitor.memory[1][0x10]), 194);
    c.context.flags.writeEnabled = 1;
    c.clickTab(0);
    c.takePayloads();
    pressUndo(c.items());
    QVERIFY(c.takePayloads().isEmpty());
    QCOMPARE(c.messageTexts(), (QStringList{": Password is required", ": Password is required",
                                            ": The last change was made on the page \"Extra 1\": open it to undo the change."}));
    c.clickTab(2);
    c.takePayloads();
    pressUndo(c.items());
    QCOMPARE(c.takePayloads(), (QStringList{"C0 09 01 10 C1", "C0 09 01 10 C1"}));
    QCOMPARE(c.itemRows()[4], QStringLiteral("OSD H-POSITION|193 (C1h)"));
}

void ConsoleDialogTest::enterInTheItemListRuns() {
    Console c({{"vm1795.mdl", sampleModel("vm1795.mdl")}});
    c.open();
    c.click(ConsoleDialog::kAutoReadingId);  // the RUN's own requests only: no page read after it
    Console::clickRow(c.functions(), 3);
    c.items()->setFocus();
    c.takePayloads();
    QTest::keyClick(c.items(), Qt::Key_Return);
    QCOMPARE(c.text(ConsoleDialog::kRunStatusId), QStringLiteral("OK"));
    QCOMPARE(c.takePayloads(), QStringList{"50"});
}

void ConsoleDialogTest::altDigitRunsTheNumberedFunction_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QStringList>("received");
    QTest::newRow("Alt+3 with three functions") << 2 << int(Qt::Key_3) << "OK" << QStringList{setVcp(0x10, 3)};
    QTest::newRow("Alt+1 with three functions") << 2 << int(Qt::Key_1) << "OK" << QStringList{setVcp(0x10, 1)};
    QTest::newRow("Alt+3 with two functions") << 3 << int(Qt::Key_3) << "Error Message" << QStringList{};
    QTest::newRow("Alt+0 with two functions") << 3 << int(Qt::Key_0) << "Error Message" << QStringList{};
}

void ConsoleDialogTest::altDigitRunsTheNumberedFunction() {
    QFETCH(int, page);
    QFETCH(int, key);
    QFETCH(QString, status);
    QFETCH(QStringList, received);
    Console c({{"funcs.mdl", kFunctionsModel}});
    c.open();
    c.clickTab(page);
    c.takePayloads();
    QTest::keyClick(c.items(), Qt::Key(key), Qt::AltModifier);
    QCOMPARE(c.text(ConsoleDialog::kRunStatusId), status);
    QCOMPARE(c.takePayloads(), received);
    if (!received.isEmpty()) QCOMPARE(c.functions()->currentRow(), key - Qt::Key_1);
}

void ConsoleDialogTest::heldAltDigitRunsOnce() {
    Console c({{"funcs.mdl", kFunctionsModel}});
    c.open();
    c.clickTab(2);
    c.takePayloads();
    QKeyEvent first(QEvent::KeyPress, Qt::Key_1, Qt::AltModifier, QStringLiteral("1"), false);
    QApplication::sendEvent(c.items(), &first);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_1, Qt::AltModifier, QStringLiteral("1"), true);
    QApplication::sendEvent(c.items(), &repeat);
    QApplication::sendEvent(c.items(), &repeat);
    QCOMPARE(c.takePayloads(), QStringList{setVcp(0x10, 1)});
}

void ConsoleDialogTest::altDigitFollowsThePhysicalKey_data() {
    QTest::addColumn<int>("scanCode");  // of the key marked 1; 0: the platform gives none
    QTest::addColumn<int>("key");       // what that key types
    QTest::addColumn<int>("modifiers");  // besides Alt
    QTest::addColumn<QString>("events");
    QTest::addColumn<int>("runs");
    // "+760" the key goes down at 760 ms, "-760" it goes up; "n": without
    // Alt; "f": to the function list. No event carries a repeat flag.
    const int none = Qt::NoModifier;
    const int k1 = Qt::Key_1;
    QTest::newRow("X11 repeats: pairs of one time, then a new press")
        << 10 << k1 << none << "+100 -760 +760 -800 +800 -2000 +2500 -2600" << 2;
    QTest::newRow("repeats as presses alone") << 10 << k1 << none << "+100 +760 +800 -2000" << 1;
    QTest::newRow("AZERTY: & on the 1 key") << 10 << int(Qt::Key_Ampersand) << none << "+100 -200" << 1;
    QTest::newRow("Shift: ! on the 1 key") << 10 << int(Qt::Key_Exclam) << int(Qt::ShiftModifier) << "+100 -200" << 1;
    QTest::newRow("keypad 1") << 87 << k1 << int(Qt::KeypadModifier) << "+100 -200" << 0;
    QTest::newRow("no scan code: the typed digit") << 0 << k1 << none << "+100 -200 +300 -400" << 2;
    QTest::newRow("released while the function list has the keys") << 10 << k1 << none << "+100 -200f +300" << 2;
    QTest::newRow("Alt pressed while 1 is held") << 10 << k1 << none << "+100n +760 -800 +800" << 0;
}

void ConsoleDialogTest::altDigitFollowsThePhysicalKey() {
    QFETCH(int, scanCode);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, events);
    QFETCH(int, runs);
    Console c({{"funcs.mdl", kFunctionsModel}});
    c.open();
    c.clickTab(2);
    c.takePayloads();
    for (const QString& event : events.split(QLatin1Char(' '))) {
        const bool alt = !event.contains(QLatin1Char('n'));
        QWidget* target = event.contains(QLatin1Char('f')) ? c.functions() : c.items();
        const auto held = Qt::KeyboardModifiers(modifiers) | (alt ? Qt::AltModifier : Qt::NoModifier);
        QKeyEvent sent(event.startsWith(QLatin1Char('+')) ? QEvent::KeyPress : QEvent::KeyRelease, key, held,
                       quint32(scanCode), 0, 0);
        sent.setTimestamp(event.mid(1).remove(QRegularExpression("[a-z]")).toULongLong());
        QApplication::sendEvent(target, &sent);
    }
    QCOMPARE(c.takePayloads(), QStringList(runs, setVcp(0x10, 1)));
}

void ConsoleDialogTest::wheelNeedsTheFocus_data() {
    QTest::addColumn<int>("control");
    QTest::addColumn<bool>("focused");
    QTest::addColumn<bool>("acts");
    QTest::addColumn<QPoint>("turn");
    // From the first model on to the second; from the second page (of two)
    // back to the first.
    const QPoint down(0, -120);
    const QPoint up(0, 120);
    const int combo = ConsoleDialog::kModelComboId;
    const int tabs = ConsoleDialog::kTabsId;
    QTest::newRow("model selector without focus") << combo << false << false << down;
    QTest::newRow("model selector with focus") << combo << true << true << down;
    QTest::newRow("page tabs without focus") << tabs << false << false << up;
    QTest::newRow("page tabs with focus") << tabs << true << true << up;
    QTest::newRow("value bar, which never has it") << int(ConsoleDialog::kScrollBarId) << false << true << down;
}

void ConsoleDialogTest::wheelNeedsTheFocus() {
    QFETCH(int, control);
    QFETCH(bool, focused);
    QFETCH(bool, acts);
    QFETCH(QPoint, turn);
    Console c({{"vm1795.mdl", sampleModel("vm1795.mdl")}, {"vm1495.mdl", sampleModel("vm1495.mdl")}});
    c.open();
    c.clickTab(1);
    auto* combo = c.control<QComboBox>(ConsoleDialog::kModelComboId);
    // The wheel would otherwise give the selector the focus before it acts.
    QCOMPARE(combo->focusPolicy(), Qt::StrongFocus);
    QWidget* target = control == ConsoleDialog::kTabsId ? c.tabs()->tabBar() : c.window->control(control);
    (focused ? target : c.items())->setFocus();
    QCOMPARE(target->hasFocus(), focused);
    c.takePayloads();
    const QPointF centre = QRectF(target->rect()).center();
    QWheelEvent wheel(centre, target->mapToGlobal(centre), QPoint(), turn, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &wheel);
    QCOMPARE(!c.takePayloads().isEmpty(), acts);
    if (control == ConsoleDialog::kModelComboId) QCOMPARE(combo->currentIndex(), acts ? 1 : 0);
    if (control == ConsoleDialog::kTabsId) QCOMPARE(c.tabs()->currentIndex() != 1, acts);
}

void ConsoleDialogTest::valueBarStaysStillWithoutSelection_data() {
    QTest::addColumn<bool>("drag");  // else a click on the right arrow
    QTest::newRow("thumb dragged") << true;
    QTest::newRow("right arrow") << false;
}

void ConsoleDialogTest::valueBarStaysStillWithoutSelection() {
    QFETCH(bool, drag);
    Console c({{"empty.mdl", QByteArray("; [MODEL,EMPTY]\nDIR db __PAGE,3,2\n    db 0FFh\n    end\n")}});
    c.open();
    QCOMPARE(c.items()->count(), 0);
    QScrollBar* bar = c.valueBar();
    bar->setRange(0, 99);
    bar->setValue(40);
    c.takePayloads();
    if (drag) {
        QPoint where = scrollBarPart(*bar, QStyle::SC_ScrollBarSlider);
        QTest::mousePress(bar, Qt::LeftButton, {}, where);
        QTest::mouseMove(bar, where += QPoint(12, 0));
        QCOMPARE(bar->sliderPosition(), 40);
        QTest::mouseRelease(bar, Qt::LeftButton, {}, where);
    } else {
        QTest::mouseClick(bar, Qt::LeftButton, {}, scrollBarPart(*bar, QStyle::SC_ScrollBarAddLine));
    }
    QCOMPARE(bar->sliderPosition(), 40);
    QCOMPARE(bar->value(), 40);
    QVERIFY(c.takePayloads().isEmpty());
}

void ConsoleDialogTest::valueBarHasNoMenuOfItsOwn() {
    Console c({{"vm1795.mdl", sampleModel("vm1795.mdl")}});
    c.open();
    c.takePayloads();
    QScrollBar* bar = c.valueBar();
    bool menuShown = false;
    QTimer closeMenu;
    QObject::connect(&closeMenu, &QTimer::timeout, [&menuShown] {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            menuShown = true;
            popup->close();
        }
    });
    closeMenu.start(5);
    const QPoint shaft = scrollBarPart(*bar, QStyle::SC_ScrollBarAddPage);
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, shaft, bar->mapToGlobal(shaft));
    QApplication::sendEvent(bar, &rightClick);
    QTest::qWait(30);
    QVERIFY(!menuShown);
    QCOMPARE(bar->value(), 128);
    QVERIFY(c.takePayloads().isEmpty());
}

void ConsoleDialogTest::failedModelLoadShowsTheModelStillLoaded() {
    Console c({{"vm1795.mdl", sampleModel("vm1795.mdl")}, {"vm1495.mdl", sampleModel("vm1495.mdl")}});
    c.open();
    auto* combo = c.control<QComboBox>(ConsoleDialog::kModelComboId);
    c.write("vm1795.mdl", QByteArray());
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(c.messages.messages.size(), std::size_t{1});
    QVERIFY(QString::fromStdString(c.messages.messages[0].text).contains("vm1795.mdl"));
    QCOMPARE(combo->currentText(), QStringLiteral("VM-1495 - vm1495.mdl"));
    QCOMPARE(c.tabs()->count(), 2);
}

void ConsoleDialogTest::passwordDialogOpensWriting_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("the password") << "Vm23" << true;
    QTest::newRow("with a fifth character") << "Vm23x" << false;
}

void ConsoleDialogTest::passwordDialogOpensWriting() {
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    Console c({{"vm1795.mdl", sampleModel("vm1795.mdl")}});
    c.context.flags.writeEnabled = 0;
    ConsoleDialog& w = c.open();
    QCOMPARE(w.windowTitle(), QStringLiteral("Velmora Monitor A/S Jig 2.3a(Reading & Adjusting only)"));

    // No user can reach the button in the program as started; the test
    // shows it to drive the dialog behind it.
    auto* button = c.control<QPushButton>(ConsoleDialog::kPasswordId);
    button->setEnabled(true);
    button->show();
    QString caption;
    bool masked = false;
    whenModalOpens([&](QWidget& modal) {
        auto* dialog = qobject_cast<console::ui::PasswordDialog*>(&modal);
        QVERIFY(dialog != nullptr);
        caption = dialog->windowTitle();
        masked = dialog->passwordEdit()->echoMode() == QLineEdit::Password;
        QTest::keyClicks(dialog->passwordEdit(), typed);
        QTest::keyClick(dialog->passwordEdit(), Qt::Key_Return);
    });
    QTest::mouseClick(button, Qt::LeftButton);

    QCOMPARE(caption, QStringLiteral("Password for Writing"));
    QVERIFY(masked);
    QCOMPARE(c.context.flags.writeEnabled, accepted ? 1 : 0);
    QCOMPARE(w.windowTitle(), accepted ? QStringLiteral("Velmora Monitor A/S Jig 2.3a")
                                       : QStringLiteral("Velmora Monitor A/S Jig 2.3a(Reading & Adjusting only)"));
    QCOMPARE(button->isHidden(), accepted);
    QCOMPARE(c.messageTexts(), accepted ? QStringList{} : QStringList{"Password: Password is not correct."});
}

void ConsoleDialogTest::optionsDialogOkAndCancel_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("count");
    QTest::newRow("OK") << 1 << 70;
    QTest::newRow("Cancel") << 2 << 100;
}

void ConsoleDialogTest::optionsDialogOkAndCancel() {
    QFETCH(int, button);
    QFETCH(int, count);
    Console c({{"vm1795.mdl", sampleModel("vm1795.mdl")}});
    c.open();
    int startPosition = -1;
    whenModalOpens([&](QWidget& modal) {
        auto* dialog = qobject_cast<link::ui::JigOptionsDialog*>(&modal);
        QVERIFY(dialog != nullptr);
        startPosition = dialog->speedSlider()->value();
        dialog->speedSlider()->setValue(20);
        QTest::mouseClick(dialog->control(button), Qt::LeftButton);
    });
    c.click(ConsoleDialog::kOptionId);
    QCOMPARE(startPosition, 50);
    QCOMPARE(c.context.link.jigControls()->bus().busDelayCount(), count);
    QTRY_COMPARE(QApplication::focusWidget(), c.items());
}

// Through a display channel the window reads the same values, names its
// port in the title, and has no bus speed to offer.
void ConsoleDialogTest::displayChannelShowsItsPortAndNoBusSpeed() {
    Console jig({{"vm1795.mdl", sampleModel("vm1795.mdl")}});
    jig.open();
    Console channel({{"vm1795.mdl", sampleModel("vm1795.mdl")}}, true);
    ConsoleDialog& w = channel.open();
    QCOMPARE(channel.itemRows(), jig.itemRows());
    QVERIFY(!channel.itemRows().isEmpty());
    QCOMPARE(w.windowTitle(), jig.window->windowTitle() + " - /dev/i2c-3");
    QVERIFY(channel.bench.board().portAccesses() == 0);
    QString note;
    bool sliderShown = true;
    whenModalOpens([&](QWidget& modal) {
        auto* dialog = qobject_cast<link::ui::JigOptionsDialog*>(&modal);
        QVERIFY(dialog != nullptr);
        sliderShown = dialog->speedSlider()->isVisible();
        if (auto* label = dialog->findChild<QLabel*>(QStringLiteral("noBusSpeed"))) note = label->text();
        QTest::mouseClick(dialog->control(1), Qt::LeftButton);
    });
    channel.click(ConsoleDialog::kOptionId);
    QVERIFY(!sliderShown);
    QCOMPARE(note, QString::fromLatin1(link::kNoBusSpeedMessage.data(), qsizetype(link::kNoBusSpeedMessage.size())));
    QVERIFY(channel.messages.messages.empty());
}

void ConsoleDialogTest::autoReadingFollowsTheBox() {
    Console c({{"vm1795.mdl", sampleModel("vm1795.mdl")}});
    c.open();
    QCOMPARE(c.context.autoReading, 1);
    c.click(ConsoleDialog::kAutoReadingId);
    QCOMPARE(c.context.autoReading, 0);
    c.click(ConsoleDialog::kAutoReadingId);
    QCOMPARE(c.context.autoReading, 1);
}

void ConsoleDialogTest::aboutFromTheBackgroundMenuAndF1() {
    Console c({{"vm1795.mdl", sampleModel("vm1795.mdl")}});
    ConsoleDialog& w = c.open();
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(5, 5), w.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&w, &rightClick);
    QTRY_COMPARE(QApplication::activePopupWidget(), w.backgroundMenu());

    QStringList opened;
    auto closeAbout = [&opened](QWidget& modal) {
        QVERIFY(qobject_cast<console::ui::AboutDialog*>(&modal) != nullptr);
        opened << modal.windowTitle();
        QTest::keyClick(&modal, Qt::Key_Return);
    };
    whenModalOpens(closeAbout);
    w.backgroundMenu()->actions().first()->trigger();
    w.backgroundMenu()->hide();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    whenModalOpens(closeAbout);
    QTest::keyClick(c.items(), Qt::Key_F1);
    QCOMPARE(opened, (QStringList{"About Velmora Monitor A/S Jig", "About Velmora Monitor A/S Jig"}));
}

void ConsoleDialogTest::escapeClosesTheWindow() {
    Console c({{"vm1795.mdl", sampleModel("vm1795.mdl")}});
    ConsoleDialog& w = c.open();
    QTest::keyClick(c.items(), Qt::Key_Escape);
    QVERIFY(!w.isVisible());
    QCOMPARE(w.result(), int(QDialog::Rejected));
}

void ConsoleDialogTest::toolButtonsOpenTheirWindows() {
    Console c({{"vm1795.mdl", sampleModel("vm1795.mdl")}});
    c.open();
    QStringList opened;
    const auto closeAndRecord = [&](QWidget& modal) {
        opened << modal.windowTitle();
        if (auto* name = modal.findChild<QLabel*>(QStringLiteral("1011"))) opened << name->text();
        qobject_cast<QDialog*>(&modal)->reject();
    };

    whenModalOpens(closeAndRecord);
    c.click(ConsoleDialog::kTimingListId);
    QTRY_COMPARE(QApplication::focusWidget(), c.items());

    c.context.autoReading = 0;  // the memory window then opens without reading
    whenModalOpens(closeAndRecord);
    c.click(ConsoleDialog::kFeaturesId);
    QTRY_COMPARE(QApplication::focusWidget(), c.items());
    QCOMPARE(opened, (QStringList{"Preset Timing", "VM-1795", "Memory & Edid"}));

    c.messages.messages.clear();
    c.click(ConsoleDialog::kCrtOnTimeId);
    QCOMPARE(c.messageTexts(), (QStringList{"CRT on time:   3001 hour(s) 10 minute(s).  "}));
}

QTEST_MAIN(ConsoleDialogTest)
#include "test_console_dialog.moc"
