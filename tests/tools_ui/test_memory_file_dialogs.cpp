// The Save Memory and Dump Memory dialogs on the virtual bench, opened from
// the Memory & Edid window and driven by control id: the files they write,
// the files they refuse, and the monitor's memory after a write-back.
#include <QAbstractButton>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "tools/memory_dialog_common.h"
#include "tools/memory_image.h"
#include "tools/ui/dump_memory_dialog.h"
#include "tools/ui/memory_edid_dialog.h"
#include "tools/ui/range_boxes.h"
#include "tools/ui/save_memory_dialog.h"
#include "window_bench.h"

namespace tools = velmora::tools;
using tools::testing::shownLine;
using tools::testing::whenModalOpens;
using tools::testing::WindowBench;
using tools::ui::DumpMemoryDialog;
using tools::ui::MemoryEdidDialog;
using tools::ui::SaveMemoryDialog;

namespace {

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

void writeFile(const QString& path, const QByteArray& text) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

QString box(const velmora::platform::qt::TemplateDialog& dialog, int id) {
    return dialog.control<QLineEdit>(id)->text();
}

// The four range boxes, "from page, from address, to page, to address".
QString rangeBoxes(const velmora::platform::qt::TemplateDialog& dialog) {
    return QStringList{box(dialog, tools::ui::kFromPageBox), box(dialog, tools::ui::kFromAddressBox),
                       box(dialog, tools::ui::kToPageBox), box(dialog, tools::ui::kToAddressBox)}
        .join(QLatin1Char(','));
}

void click(const velmora::platform::qt::TemplateDialog& dialog, int id) {
    QTest::mouseClick(dialog.control(id), Qt::LeftButton);
}

}  // namespace

class MemoryFileDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void saveLoadAndWriteBackThroughTheWindows();
    void saveRefusalsLeaveTheFileAlone_data();
    void saveRefusalsLeaveTheFileAlone();
    void loaderRefusalsKeepTheLoadedImage_data();
    void loaderRefusalsKeepTheLoadedImage();
    void writeBackBeforeAnyLoadSendsNothing();
    void enterInABoxDoesItsActionOrNothing_data();
    void enterInABoxDoesItsActionOrNothing();
    void progressBarFollowsTheTransfer_data();
    void progressBarFollowsTheTransfer();
};

// What the progress bar showed when the transfer's closing message came,
// the controls it covered then, and how often it was painted.
struct ProgressWitness : QObject, velmora::platform::MessageSink {
    const QProgressBar* bar = nullptr;
    QStringList seen;
    QStringList covered;
    int paints = 0;
    void showMessage(std::string_view text, std::string_view) override {
        seen << QStringLiteral("%1 %2/%3 %4")
                    .arg(QString::fromStdString(std::string(text)))
                    .arg(bar->value())
                    .arg(bar->maximum())
                    .arg(bar->isVisible() ? "shown" : "hidden");
        const QWidget* dialog = bar->parentWidget();
        if (!dialog->rect().contains(bar->geometry())) covered << QStringLiteral("the dialog's edge");
        for (const QWidget* control : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (control != bar && control->isVisible() && control->geometry().intersects(bar->geometry())) {
                covered << control->metaObject()->className() + QStringLiteral(" ") + control->objectName();
            }
        }
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

void MemoryFileDialogsTest::progressBarFollowsTheTransfer_data() {
    QTest::addColumn<bool>("save");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("seen");
    QTest::newRow("save 16 bytes") << true << QString() << "Reading Operation Success. 16/16 shown";
    QTest::newRow("save fails") << true << "no-monitor" << "I2C communication Error! 1/16 shown";
    QTest::newRow("write back 4 bytes") << false << QString() << "Writing Operation Success. 4/4 shown";
}

void MemoryFileDialogsTest::progressBarFollowsTheTransfer() {
    QFETCH(bool, save);
    QFETCH(QString, fault);
    QFETCH(QString, seen);
    WindowBench f;
    if (!fault.isEmpty()) QVERIFY(f.bench.applyFault(fault.toStdString()).empty());
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("range.mem"));
    writeFile(path, "_100_10301020304");
    ProgressWitness witness;
    std::unique_ptr<velmora::platform::qt::TemplateDialog> dialog;
    if (save) {
        auto saving = std::make_unique<SaveMemoryDialog>(f.program.interpreter, witness, f.chooser,
                                                         tools::MemoryRange{1, 1, 0x00, 0x0F});
        witness.bar = &saving->progress().bar();
        saving->control<QLineEdit>(tools::ui::kFileNameBox)->setText(path);
        dialog = std::move(saving);
    } else {
        auto loading = std::make_unique<DumpMemoryDialog>(f.program.interpreter, witness, f.chooser,
                                                          tools::MemoryRange{});
        witness.bar = &loading->progress().bar();
        f.chooser.answer = QFile::encodeName(path).toStdString();
        dialog = std::move(loading);
    }
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    if (!save) click(*dialog, tools::ui::kChooseFileButton);
    const_cast<QProgressBar*>(witness.bar)->installEventFilter(&witness);
    QVERIFY(witness.bar->isHidden());
    click(*dialog, tools::ui::kActionButton);

    QCOMPARE(witness.seen, QStringList{seen});
    QCOMPARE(witness.covered, QStringList{});  // the bar sits where no control is
    QVERIFY(witness.bar->isHidden());  // gone once the transfer has ended
    // Painted after every byte, with no event loop running meanwhile.
    QVERIFY2(witness.paints >= witness.bar->maximum() || !fault.isEmpty(), qPrintable(QString::number(witness.paints)));
}

void MemoryFileDialogsTest::saveLoadAndWriteBackThroughTheWindows() {
    WindowBench f;
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("page2.mem"));
    f.program.autoReading = 0;
    const auto original = f.bench.monitor.memory;
    MemoryEdidDialog window(f.program, f.windowMessages, f.chooser);
    window.show();
    window.control<QLineEdit>(MemoryEdidDialog::kPageBox)->setText(QStringLiteral("2"));

    f.chooser.answer = QFile::encodeName(path).toStdString();
    bool saveOpened = false;
    whenModalOpens<SaveMemoryDialog>([&](SaveMemoryDialog& save) {
        saveOpened = true;
        QCOMPARE(save.windowTitle(), QStringLiteral("Save Memory"));
        QCOMPARE(rangeBoxes(save), QStringLiteral("2,00,2,FF"));
        click(save, tools::ui::kChooseFileButton);
        QCOMPARE(box(save, tools::ui::kFileNameBox), path);
        click(save, tools::ui::kActionButton);
        QVERIFY(save.isVisible());  // stays open after saving
        click(save, velmora::platform::qt::kIdCancel);
    });
    QTest::mouseClick(window.control(MemoryEdidDialog::kSaveMemoryButton), Qt::LeftButton);
    QVERIFY(saveOpened);
    const QByteArray saved = readFile(path);
    QCOMPARE(saved.size(), 520);
    QVERIFY2(saved.startsWith("_200_2FF"), saved.constData());

    for (auto& page : f.bench.monitor.memory) page.fill(0);
    window.control<QLineEdit>(MemoryEdidDialog::kPageBox)->setText(QStringLiteral("3"));
    bool loadOpened = false;
    whenModalOpens<DumpMemoryDialog>([&](DumpMemoryDialog& load) {
        loadOpened = true;
        QCOMPARE(load.windowTitle(), QStringLiteral("Dump Memory"));
        QCOMPARE(rangeBoxes(load), QStringLiteral("3,00,3,FF"));
        click(load, tools::ui::kChooseFileButton);
        QCOMPARE(rangeBoxes(load), QStringLiteral("2,00,2,FF"));
        QCOMPARE(box(load, tools::ui::kFileNameBox), path);
        click(load, tools::ui::kActionButton);
        click(load, velmora::platform::qt::kIdCancel);
    });
    QTest::mouseClick(window.control(MemoryEdidDialog::kLoadFileButton), Qt::LeftButton);
    QVERIFY(loadOpened);

    for (int page = 0; page < 4; ++page) {
        for (int address = 0; address < 256; ++address) {
            const std::uint8_t expected = page == 2 ? original[page][address] : 0;
            QVERIFY2(f.bench.monitor.memory[page][address] == expected,
                     qPrintable(QStringLiteral("page %1 address %2").arg(page).arg(address, 2, 16)));
        }
    }
    QCOMPARE(f.windowMessages.shown, (QStringList{shownLine("Reading Operation Success.", "OK"),
                                                  shownLine("Writing Operation Success.", "OK")}));
    QCOMPARE(f.chooser.calls, (std::vector<std::string>(2, "Select File : |*.mem|mem")));
    QVERIFY(f.linkMessages.shown.isEmpty());
}

void MemoryFileDialogsTest::saveRefusalsLeaveTheFileAlone_data() {
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("caption");
    QTest::newRow("page 4") << QStringList{"4", "00", "4", "FF"} << QString() << "Page must be 0,1,2, or 3"
                            << QString();
    QTest::newRow("to address before from address") << QStringList{"1", "20", "1", "1F"} << QString()
                                                    << QString::fromLatin1(tools::kRangeBackwards) << QString();
    QTest::newRow("read fails") << QStringList{"0", "00", "0", "FF"} << "no-monitor"
                                << "I2C communication Error!"
                                << "Error";
}

void MemoryFileDialogsTest::saveRefusalsLeaveTheFileAlone() {
    QFETCH(QStringList, boxes);
    QFETCH(QString, fault);
    QFETCH(QString, message);
    QFETCH(QString, caption);
    WindowBench f;
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("precious.mem"));
    writeFile(path, "_100_101ABCD");
    if (!fault.isEmpty()) QVERIFY(f.bench.applyFault(fault.toStdString()).empty());

    SaveMemoryDialog save(f.program.interpreter, f.windowMessages, f.chooser, tools::MemoryRange{});
    save.show();
    save.control<QLineEdit>(tools::ui::kFileNameBox)->setText(path);
    const int ids[] = {tools::ui::kFromPageBox, tools::ui::kFromAddressBox, tools::ui::kToPageBox,
                       tools::ui::kToAddressBox};
    for (int i = 0; i < 4; ++i) save.control<QLineEdit>(ids[i])->setText(boxes.at(i));
    click(save, tools::ui::kActionButton);

    QCOMPARE(f.windowMessages.shown, QStringList{shownLine(message.toStdString(), caption.toStdString())});
    QCOMPARE(readFile(path), QByteArray("_100_101ABCD"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{"precious.mem"});
    if (fault.isEmpty()) {
        QCOMPARE(int(f.bench.log.requests().size()), 0);
    } else {
        // The link's report of the failed read came under the wait cursor.
        QCOMPARE(f.linkMessages.shown, QStringList{shownLine("Monitor is not Connected", "", true)});
    }
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void MemoryFileDialogsTest::loaderRefusalsKeepTheLoadedImage_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");
    QTest::newRow("2157 characters") << QByteArray("_000_0FF") + QByteArray(2149, '0')
                                     << "This is not a memory File.";
    QTest::newRow("data not hexadecimal") << QByteArray("_000_001ABXY") << "Data is currupt";
    QTest::newRow("end before start") << QByteArray("_101_100") << QString::fromLatin1(tools::kRangeBackwards);
    QTest::newRow("beyond 3FF") << QByteArray("_3FF_4000000") << QString::fromLatin1(tools::kRangeBeyondMemory);
}

void MemoryFileDialogsTest::loaderRefusalsKeepTheLoadedImage() {
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    WindowBench f;
    QTemporaryDir folder;
    const QString good = folder.filePath(QStringLiteral("good.mem"));
    const QString bad = folder.filePath(QStringLiteral("bad.mem"));
    writeFile(good, "_1a0_1a212ab00");  // lower-case digits are accepted
    writeFile(bad, content);

    DumpMemoryDialog load(f.program.interpreter, f.windowMessages, f.chooser, tools::MemoryRange{});
    load.show();
    f.chooser.answer = QFile::encodeName(good).toStdString();
    click(load, tools::ui::kChooseFileButton);
    QCOMPARE(rangeBoxes(load), QStringLiteral("1,A0,1,A2"));
    f.chooser.answer = QFile::encodeName(bad).toStdString();
    click(load, tools::ui::kChooseFileButton);

    QCOMPARE(f.windowMessages.shown, QStringList{shownLine(message.toStdString(), "Error")});
    QCOMPARE(rangeBoxes(load), QStringLiteral("1,A0,1,A2"));
    QCOMPARE(box(load, tools::ui::kFileNameBox), good);
    QCOMPARE(int(f.bench.log.requests().size()), 0);

    // The image loaded before is what gets written.
    f.windowMessages.shown.clear();
    click(load, tools::ui::kActionButton);
    QCOMPARE(f.windowMessages.shown, QStringList{shownLine("Writing Operation Success.", "OK")});
    QCOMPARE(f.bench.monitor.memory[1][0xA0], std::uint8_t{0x12});
    QCOMPARE(f.bench.monitor.memory[1][0xA1], std::uint8_t{0xAB});
    QCOMPARE(f.bench.monitor.memory[1][0xA2], std::uint8_t{0x00});
}

void MemoryFileDialogsTest::writeBackBeforeAnyLoadSendsNothing() {
    WindowBench f;
    DumpMemoryDialog load(f.program.interpreter, f.windowMessages, f.chooser, tools::MemoryRange{1, 1, 0, 0xFF});
    load.show();
    QCOMPARE(rangeBoxes(load), QStringLiteral("1,00,1,FF"));
    QVERIFY(load.control<QLineEdit>(tools::ui::kFileNameBox)->isReadOnly());
    click(load, tools::ui::kChooseFileButton);  // Cancel in the chooser
    click(load, tools::ui::kActionButton);
    QCOMPARE(f.windowMessages.shown,
             QStringList{shownLine(tools::kNoMemoryFileLoaded, velmora::platform::kErrorCaption)});
    QCOMPARE(int(f.bench.log.requests().size()), 0);
    QCOMPARE(box(load, tools::ui::kFileNameBox), QString());
}

void MemoryFileDialogsTest::enterInABoxDoesItsActionOrNothing_data() {
    QTest::addColumn<bool>("save");  // else Dump Memory, with an image loaded
    QTest::addColumn<int>("box");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("Save Memory, file name: Save to File")
        << true << tools::ui::kFileNameBox << QStringList{shownLine("Reading Operation Success.", "OK")};
    QTest::newRow("Save Memory, a range box: nothing") << true << tools::ui::kToAddressBox << QStringList{};
    QTest::newRow("Dump Memory, a range box: nothing") << false << tools::ui::kFromPageBox << QStringList{};
}

void MemoryFileDialogsTest::enterInABoxDoesItsActionOrNothing() {
    QFETCH(bool, save);
    QFETCH(int, box);
    QFETCH(QStringList, shown);
    WindowBench f;
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("p1.mem"));
    std::unique_ptr<velmora::platform::qt::TemplateDialog> dialog;
    if (save) {
        dialog = std::make_unique<SaveMemoryDialog>(f.program.interpreter, f.windowMessages, f.chooser,
                                                    tools::MemoryRange{1, 1, 0, 0xFF});
        dialog->show();
        dialog->control<QLineEdit>(tools::ui::kFileNameBox)->setText(path);
    } else {
        writeFile(path, "_100_1011234");
        dialog = std::make_unique<DumpMemoryDialog>(f.program.interpreter, f.windowMessages, f.chooser,
                                                    tools::MemoryRange{});
        dialog->show();
        f.chooser.answer = QFile::encodeName(path).toStdString();
        click(*dialog, tools::ui::kChooseFileButton);
    }
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    QLineEdit* typedInto = dialog->control<QLineEdit>(box);
    typedInto->setFocus();
    QTest::keyClick(typedInto, Qt::Key_Return);

    QVERIFY(dialog->isVisible());
    QCOMPARE(f.windowMessages.shown, shown);
    if (save) {
        QCOMPARE(QFile::exists(path), !shown.isEmpty());
    } else {
        QCOMPARE(int(f.bench.log.requests().size()), 0);  // nothing written back
    }
}

QTEST_MAIN(MemoryFileDialogsTest)
#include "test_memory_file_dialogs.moc"
