// The Memory & Edid window's safekeeping on the virtual bench: the backup
// question before the first write, the Verify box and the Backups list.
#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include <ctime>
#include <filesystem>
#include <memory>

#include "tools/backup_gate.h"
#include "tools/ui/backups_list.h"
#include "tools/ui/dump_memory_dialog.h"
#include "tools/ui/memory_edid_dialog.h"
#include "tools/ui/range_boxes.h"
#include "window_bench.h"

using velmora::platform::Answer;
using velmora::platform::DefaultButton;
using velmora::tools::BackupGate;
using velmora::tools::testing::WindowBench;
using velmora::tools::testing::whenModalOpens;
using velmora::tools::ui::BackupsList;
using velmora::tools::ui::DumpMemoryDialog;
using Window = velmora::tools::ui::MemoryEdidDialog;

Q_DECLARE_METATYPE(Answer)

namespace {

namespace fs = std::filesystem;

// The window over a bench with a backup gate on a folder of its own; the
// window's questions get `answer`.
struct GuardedWindow {
    explicit GuardedWindow(WindowBench& f) : bench(f) {
        std::string pattern = (fs::temp_directory_path() / "velmora_window_backup_XXXXXX").string();
        root = ::mkdtemp(pattern.data());
        gate = std::make_unique<BackupGate>(root.string(), [] { return std::time_t{1'790'000'000}; });
        f.program.autoReading = 0;
        window = std::make_unique<Window>(f.program, sink, f.chooser);
        window->setBackupGate(*gate);
        window->show();
    }
    ~GuardedWindow() { fs::remove_all(root); }

    void writeByte(const char* page, const char* address, const char* value) {
        window->control<QLineEdit>(Window::kPageBox)->setText(QString::fromLatin1(page));
        window->control<QLineEdit>(Window::kAddressBox)->setText(QString::fromLatin1(address));
        window->control<QLineEdit>(Window::kDataBox)->setText(QString::fromLatin1(value));
        QTest::mouseClick(window->control(Window::kWriteMemoryButton), Qt::LeftButton);
    }
    std::size_t backups() const { return velmora::tools::listBackups(root.string()).size(); }

    WindowBench& bench;
    velmora::platform::RecordingMessageSink sink;
    fs::path root;
    std::unique_ptr<BackupGate> gate;
    std::unique_ptr<Window> window;
};

}  // namespace

class EepromSafekeepingTest : public QObject {
    Q_OBJECT
private slots:
    void firstWriteAsksOnce_data();
    void firstWriteAsksOnce();
    void verifyBoxReportsALostByte_data();
    void verifyBoxReportsALostByte();
    void backupsListOpensAPageForLoadFile();
    void backupsListComparesAPageWithTheMonitor_data();
    void backupsListComparesAPageWithTheMonitor();
};

void EepromSafekeepingTest::firstWriteAsksOnce_data() {
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<int>("backups");
    QTest::addColumn<bool>("written");
    QTest::addColumn<int>("questionsAfterSecondWrite");
    QTest::newRow("yes backs up, then writes") << Answer::Yes << 1 << true << 1;
    QTest::newRow("no writes without, and is remembered") << Answer::No << 0 << true << 1;
    QTest::newRow("no answer writes nothing and asks again") << Answer::CannotAsk << 0 << false << 2;
}

void EepromSafekeepingTest::firstWriteAsksOnce() {
    QFETCH(Answer, answer);
    QFETCH(int, backups);
    QFETCH(bool, written);
    QFETCH(int, questionsAfterSecondWrite);
    WindowBench f;
    GuardedWindow w(f);
    w.sink.answer = answer;
    const std::uint8_t before = f.bench.monitor.memory[1][0x3A];

    w.writeByte("1", "3A", "5A");
    QCOMPARE(w.sink.questions.size(), std::size_t{1});
    QVERIFY(w.sink.questions[0].text.find("VLM 1734h, serial 00012345h") != std::string::npos);
    QCOMPARE(w.sink.questions[0].caption, std::string("EEPROM Backup"));
    QCOMPARE(w.sink.questions[0].defaultButton, DefaultButton::Yes);  // Enter backs up
    QCOMPARE(static_cast<int>(w.backups()), backups);
    QCOMPARE(f.bench.monitor.memory[1][0x3A], written ? std::uint8_t{0x5A} : before);

    w.sink.answer = Answer::No;
    w.writeByte("1", "3B", "5B");
    QCOMPARE(static_cast<int>(w.sink.questions.size()), questionsAfterSecondWrite);
    QCOMPARE(f.bench.monitor.memory[1][0x3B], std::uint8_t{0x5B});
}

void EepromSafekeepingTest::verifyBoxReportsALostByte_data() {
    QTest::addColumn<bool>("verify");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("off, as the window opens") << false << QStringList{};
    QTest::newRow("on") << true
                        << QStringList{"Verify failed: page 1 address 3A holds E7 after 5A was written. Nothing after "
                                       "it was written."};
}

void EepromSafekeepingTest::verifyBoxReportsALostByte() {
    QFETCH(bool, verify);
    QFETCH(QStringList, messages);
    WindowBench f;
    GuardedWindow w(f);
    w.sink.answer = Answer::No;
    auto* box = w.window->control<QCheckBox>(Window::kVerifyBox);
    QVERIFY(box != nullptr && box->isVisible() && !box->isChecked());
    if (verify) QTest::mouseClick(box, Qt::LeftButton);
    QVERIFY(f.bench.applyFault("write-lost=1:3A").empty());

    w.writeByte("1", "3A", "5A");
    QStringList shown;
    for (const auto& message : w.sink.messages) shown.append(QString::fromStdString(message.text));
    QCOMPARE(shown, messages);
}

void EepromSafekeepingTest::backupsListOpensAPageForLoadFile() {
    WindowBench f;
    GuardedWindow w(f);
    w.sink.answer = Answer::Yes;
    w.writeByte("1", "3F", "00");  // makes the backup, then writes
    QCOMPARE(w.backups(), std::size_t{1});
    QCOMPARE(f.bench.monitor.memory[1][0x3F], std::uint8_t{0x00});
    QTest::mouseClick(w.window->control<QCheckBox>(Window::kVerifyBox), Qt::LeftButton);
    QVERIFY(f.bench.applyFault("write-lost=1:3F").empty());

    QString listed;
    QString fileInBox;
    whenModalOpens<BackupsList>([&](BackupsList& list) {
        QCOMPARE(list.list().count(), 4);
        list.list().setCurrentRow(1);
        listed = list.list().currentItem()->text();
        whenModalOpens<DumpMemoryDialog>([&](DumpMemoryDialog& dump) {
            fileInBox = dump.control<QLineEdit>(velmora::tools::ui::kFileNameBox)->text();
            // Writing the backup back meets the lost byte, and Verify says so.
            QTest::mouseClick(dump.control(velmora::tools::ui::kActionButton), Qt::LeftButton);
            dump.reject();
        });
        list.accept();
    });
    QTest::mouseClick(w.window->control(Window::kBackupsButton), Qt::LeftButton);
    QVERIFY2(listed.endsWith(QStringLiteral("page1.mem")), qPrintable(listed));
    QVERIFY2(fileInBox.endsWith(QStringLiteral("page1.mem")), qPrintable(fileInBox));
    QCOMPARE(w.sink.messages.size(), std::size_t{1});
    QCOMPARE(w.sink.messages[0].text,
             std::string("Verify failed: page 1 address 3F holds 00 after 0A was written. Nothing after it was written."));
}

void EepromSafekeepingTest::backupsListComparesAPageWithTheMonitor_data() {
    QTest::addColumn<int>("bytesChanged");
    QTest::addColumn<QString>("shown");
    QTest::newRow("equal") << 0 << QStringLiteral("The monitor holds what %1 holds (256 bytes).");
    QTest::newRow("one byte") << 1 << QStringLiteral("1 of 256 bytes differ (%1 -> monitor):\npage 1 address 00: 51 -> 00");
    QTest::newRow("more than shown")
        << 30  // address 19h holds 00 already
        << QStringLiteral("29 of 256 bytes differ (%1 -> monitor):\npage 1 address 00: 51 -> 00\n");
}

void EepromSafekeepingTest::backupsListComparesAPageWithTheMonitor() {
    QFETCH(int, bytesChanged);
    QFETCH(QString, shown);
    WindowBench f;
    GuardedWindow w(f);
    w.sink.answer = Answer::Yes;
    w.writeByte("0", "00", "11");  // the byte it holds: the backup is all that changes
    QCOMPARE(w.backups(), std::size_t{1});
    w.sink.messages.clear();
    for (int address = 0; address < bytesChanged; ++address) f.bench.monitor.memory[1][static_cast<std::size_t>(address)] = 0;

    QString path;
    whenModalOpens<BackupsList>([&](BackupsList& list) {
        list.list().setCurrentRow(1);  // page1.mem
        path = QString::fromStdString(list.files()[1].path);
        QTest::mouseClick(list.findChild<QPushButton*>(QStringLiteral("compare")), Qt::LeftButton);
    });
    QTest::mouseClick(w.window->control(Window::kBackupsButton), Qt::LeftButton);
    QCOMPARE(w.sink.messages.size(), std::size_t{1});
    const QString text = QString::fromStdString(w.sink.messages[0].text);
    QVERIFY2(text.startsWith(shown.arg(path)), qPrintable(text));
    QCOMPARE(w.sink.messages[0].caption, std::string("Compare"));
    if (bytesChanged > 24) {
        // The heading, 24 differences and the rest counted.
        QCOMPARE(text.count(QLatin1Char('\n')), 25);
        QVERIFY2(text.endsWith(QStringLiteral("\n... and 5 more")), qPrintable(text));
    }
}

QTEST_MAIN(EepromSafekeepingTest)
#include "test_eeprom_safekeeping.moc"
