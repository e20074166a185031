// The Qt forms of the platform services: message boxes, the file chooser,
// the wait cursor, screenshots and the sorted model box.
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

#include "platform/qt/qt_file_chooser.h"
#include "platform/qt/qt_message_sink.h"
#include "platform/qt/screenshot.h"
#include "platform/qt/sorted_combo_box.h"
#include "platform/qt/wait_cursor.h"

namespace qt = velmora::platform::qt;
using velmora::platform::DefaultButton;

namespace {

// Runs inspect on the modal window as soon as the code under test has
// opened it; a window that never opens fails the test instead of hanging.
void whenModalOpens(std::function<void(QWidget*)> inspect) {
    auto* poll = new QTimer;
    auto* deadline = new QElapsedTimer;
    deadline->start();
    QObject::connect(poll, &QTimer::timeout, [poll, deadline, inspect] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr && deadline->elapsed() < 5000) {
            return;
        }
        poll->stop();
        poll->deleteLater();
        delete deadline;
        inspect(modal);
    });
    poll->start(10);
}

}  // namespace

class QtServicesTest : public QObject {
    Q_OBJECT
private slots:
    void messageBoxCaptionAndText_data();
    void messageBoxCaptionAndText();
    void questionDefaultButton_data();
    void questionDefaultButton();
    void programNameIsFileNameWithoutExtension_data();
    void programNameIsFileNameWithoutExtension();
    void fileDialogSetUp();
    void fileChooserCancelGivesNothing();
    void fileChooserReturnsChosenPath();
    void waitCursorRestoresOnlyItsOwnCursor();
    void screenshotWritesThePicture();
    void sortedComboIgnoresCase_data();
    void sortedComboIgnoresCase();
};

void QtServicesTest::messageBoxCaptionAndText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("expectedCaption");
    QTest::newRow("no caption: program name")
        << QStringLiteral("Monitor is not Connected") << QString() << QStringLiteral("velmora-jig");
    QTest::newRow("own caption") << QStringLiteral("Invalid Address") << QStringLiteral("Error")
                                 << QStringLiteral("Error");
    QTest::newRow("markup stays text") << QStringLiteral("Can't Open File : /tmp/<b>x</b>.mem")
                                       << QStringLiteral("Error") << QStringLiteral("Error");
    QTest::newRow("line breaks kept")
        << QStringLiteral("Label or Identifier Error :\nline 3") << QStringLiteral("Error")
        << QStringLiteral("Error");
}

void QtServicesTest::messageBoxCaptionAndText() {
    QFETCH(QString, text);
    QFETCH(QString, caption);
    QFETCH(QString, expectedCaption);
    qt::QtMessageSink sink(QStringLiteral("velmora-jig"));
    QString seenTitle;
    QString seenText;
    int buttons = -1;
    Qt::TextFormat format = Qt::AutoText;
    whenModalOpens([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box == nullptr) {
            return;
        }
        seenTitle = box->windowTitle();
        seenText = box->text();
        format = box->textFormat();
        buttons = int(box->buttons().size());
        box->button(QMessageBox::Ok)->click();
    });
    sink.showMessage(text.toStdString(), caption.toStdString());
    QCOMPARE(seenTitle, expectedCaption);
    QCOMPARE(seenText, text);
    QCOMPARE(format, Qt::PlainText);
    QCOMPARE(buttons, 1);
}

void QtServicesTest::questionDefaultButton_data() {
    QTest::addColumn<int>("asked");
    QTest::addColumn<int>("pressedByEnter");
    QTest::newRow("No") << int(DefaultButton::No) << int(QMessageBox::No);
    QTest::newRow("Yes") << int(DefaultButton::Yes) << int(QMessageBox::Yes);
}

void QtServicesTest::questionDefaultButton() {
    QFETCH(int, asked);
    QFETCH(int, pressedByEnter);
    qt::QtMessageSink sink(QStringLiteral("velmora-jig"));
    int shownDefault = -1;
    whenModalOpens([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box == nullptr) return;
        shownDefault = box->defaultButton() ? int(box->standardButton(box->defaultButton())) : 0;
        box->button(QMessageBox::No)->click();
    });
    (void)sink.askYesNo("Back up first?", "EEPROM Backup", static_cast<DefaultButton>(asked));
    QCOMPARE(shownDefault, pressedByEnter);
}

void QtServicesTest::programNameIsFileNameWithoutExtension_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::newRow("no extension") << QStringLiteral("/opt/velmora/velmora-jig")
                                  << QStringLiteral("velmora-jig");
    QTest::newRow("extension") << QStringLiteral("/x/velmora-jig.exe") << QStringLiteral("velmora-jig");
    QTest::newRow("last extension only") << QStringLiteral("/x/jig.v2.bin") << QStringLiteral("jig.v2");
}

void QtServicesTest::programNameIsFileNameWithoutExtension() {
    QFETCH(QString, path);
    QFETCH(QString, name);
    QCOMPARE(qt::programNameFromPath(path), name);
}

void QtServicesTest::fileDialogSetUp() {
    QFileDialog dialog;
    qt::configureOpenFileDialog(dialog, QStringLiteral("Select File : "), QStringLiteral("*.mem"),
                                QStringLiteral("mem"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Select File : "));
    QCOMPARE(dialog.nameFilters(), QStringList{QStringLiteral("*.mem")});
    QCOMPARE(dialog.defaultSuffix(), QStringLiteral("mem"));
    QCOMPARE(dialog.fileMode(), QFileDialog::AnyFile);
    QCOMPARE(dialog.acceptMode(), QFileDialog::AcceptOpen);
    QVERIFY(dialog.testOption(QFileDialog::DontUseNativeDialog));

    QFileDialog named;
    qt::configureOpenFileDialog(named, QStringLiteral("t"), QStringLiteral("page2.mem"),
                                QStringLiteral("mem"));
    QVERIFY(named.selectedFiles().value(0).endsWith(QStringLiteral("page2.mem")));
}

void QtServicesTest::fileChooserCancelGivesNothing() {
    qt::QtFileChooser chooser;
    QString title;
    whenModalOpens([&](QWidget* modal) {
        if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            title = dialog->windowTitle();
            dialog->reject();
        }
    });
    QCOMPARE(chooser.chooseOpenFile("Select File : ", "*.mem", "mem"), std::nullopt);
    QCOMPARE(title, QStringLiteral("Select File : "));
}

void QtServicesTest::fileChooserReturnsChosenPath() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("page0.mem"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    qt::QtFileChooser chooser;
    whenModalOpens([&](QWidget* modal) {
        if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            // Typed as a user would: selectFile() depends on the directory
            // listing, which the dialog loads in the background.
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (name == nullptr) {
                dialog->reject();
                return;
            }
            name->setText(path);
            static_cast<QDialog*>(dialog)->accept();  // QFileDialog::accept is protected
            if (dialog->isVisible()) {
                dialog->reject();  // fail instead of waiting for ever
            }
        }
    });
    const auto chosen = chooser.chooseOpenFile("Select File : ", "*.mem", "mem");
    QVERIFY(chosen.has_value());
    QCOMPARE(QString::fromStdString(*chosen), path);
}

void QtServicesTest::waitCursorRestoresOnlyItsOwnCursor() {
    QApplication::setOverrideCursor(Qt::CrossCursor);
    {
        qt::WaitCursor wait;
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        wait.restore();
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::CrossCursor);
        wait.restore();  // a second restore is harmless
    }
    // Neither the early restore nor the destructor took the outer cursor away.
    QVERIFY(QApplication::overrideCursor() != nullptr);
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::CrossCursor);
    QApplication::restoreOverrideCursor();
    {
        qt::WaitCursor wait;
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void QtServicesTest::screenshotWritesThePicture() {
    QWidget widget;
    widget.resize(120, 80);
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, QColor(200, 10, 10));
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("shot.png"));
    QVERIFY(qt::saveScreenshot(widget, path));
    const QImage picture(path);
    QCOMPARE(picture.size(), QSize(120, 80));
    QCOMPARE(QColor(picture.pixel(60, 40)), QColor(200, 10, 10));
    QVERIFY(!qt::saveScreenshot(widget, dir.filePath(QStringLiteral("missing/shot.png"))));
}

void QtServicesTest::sortedComboIgnoresCase_data() {
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QList<int>>("data");
    QTest::newRow("case-insensitive")
        << QStringList{QStringLiteral("Zeta - b.mdl"), QStringLiteral("alpha - a.mdl")}
        << QStringList{QStringLiteral("alpha - a.mdl"), QStringLiteral("Zeta - b.mdl")}
        << QList<int>{1, 0};
    QTest::newRow("equal texts keep their order")
        << QStringList{QStringLiteral("b"), QStringLiteral("A"), QStringLiteral("B")}
        << QStringList{QStringLiteral("A"), QStringLiteral("b"), QStringLiteral("B")}
        << QList<int>{1, 0, 2};
    QTest::newRow("leading blank sorts first")
        << QStringList{QStringLiteral("X - x.mdl"), QStringLiteral(" X  - y.mdl")}
        << QStringList{QStringLiteral(" X  - y.mdl"), QStringLiteral("X - x.mdl")}
        << QList<int>{1, 0};
}

void QtServicesTest::sortedComboIgnoresCase() {
    QFETCH(QStringList, added);
    QFETCH(QStringList, shown);
    QFETCH(QList<int>, data);
    qt::SortedComboBox combo;
    for (int i = 0; i < added.size(); ++i) {
        combo.addSortedItem(added[i], i);
    }
    QStringList texts;
    QList<int> values;
    for (int i = 0; i < combo.count(); ++i) {
        texts.append(combo.itemText(i));
        values.append(combo.itemData(i).toInt());
    }
    QCOMPARE(texts, shown);
    QCOMPARE(values, data);
}

QTEST_MAIN(QtServicesTest)
#include "test_qt_services.moc"
