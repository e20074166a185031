// Every dialog table builds, and its controls are where, what and how the
// tables say; the reader refuses malformed tables.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

#include "platform/qt/dialog_builder.h"
#include "platform/qt/template_dialog.h"
#include "platform/qt/up_down_control.h"

namespace qt = velmora::platform::qt;

namespace {

const QString kConsole = QString::fromLatin1(qt::templates::kConsoleDialog);
const QString kPassword = QString::fromLatin1(qt::templates::kPasswordDialog);
const QString kOptions = QString::fromLatin1(qt::templates::kJigOptionsDialog);
const QString kAbout = QString::fromLatin1(qt::templates::kAboutDialog);
const QString kMemory = QString::fromLatin1(qt::templates::kMemoryEdidDialog);
const QString kSave = QString::fromLatin1(qt::templates::kSaveMemoryDialog);
const QString kDump = QString::fromLatin1(qt::templates::kDumpMemoryDialog);
const QString kPreset = QString::fromLatin1(qt::templates::kPresetTimingDialog);

// The text a control shows, whatever its kind; wrapped captions joined.
QString shownText(const QWidget* widget) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        return button->text().replace(QLatin1Char('\n'), QLatin1Char(' '));
    }
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        return label->text();
    }
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
        return edit->text();
    }
    if (const auto* group = qobject_cast<const QGroupBox*>(widget)) {
        return group->title();
    }
    if (const auto* edit = qobject_cast<const QPlainTextEdit*>(widget)) {
        return edit->toPlainText();
    }
    return {};
}

// A shown dialog: visibility of the controls is then their real state.
struct ShownDialog {
    explicit ShownDialog(const QString& name) : dialog(name) {
        dialog.show();
        QCoreApplication::processEvents();
    }
    qt::TemplateDialog dialog;
};

void addButtonRows(const QString& name, std::initializer_list<std::pair<int, const char*>> rows,
                   bool visible = true) {
    for (const auto& [id, text] : rows) {
        QTest::addRow("%s %d", qPrintable(name), id)
            << name << id << QStringLiteral("QPushButton") << QString::fromLatin1(text) << visible
            << visible;
    }
}

}  // namespace

class DialogTemplatesTest : public QObject {
    Q_OBJECT
private slots:
    void everyTableBuilds_data();
    void everyTableBuilds();
    void controlsByIdMatchTheTables_data();
    void controlsByIdMatchTheTables();
    void controlsWithoutIdCarryTheirTexts_data();
    void controlsWithoutIdCarryTheirTexts();
    void earlierControlsLieInFront();
    void creationOrderIsTabOrder();
    void stylesReachTheWidgets();
    void digitsOnlyAndUpperCaseEdits();
    void spinStepsItsBuddy();
    void enterPressesFocusedThenDefaultButton();
    void enterWithoutDefaultButtonIsOk();
    void okAndCancelButtonsCloseTheDialog();
    void malformedTablesAreRefused_data();
    void malformedTablesAreRefused();
    void unknownTableNameIsReported();
    void captionsWrapAtBlanks();
};

void DialogTemplatesTest::everyTableBuilds_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("widthUnits");
    QTest::addColumn<int>("heightUnits");
    QTest::addColumn<bool>("fixedPitch");
    QTest::newRow("main window") << kConsole << QString() << 243 << 271 << false;
    QTest::newRow("password") << kPassword << QStringLiteral("Password for Writing") << 104 << 26 << false;
    QTest::newRow("options") << kOptions << QStringLiteral("A/S Jig Options") << 220 << 62 << false;
    QTest::newRow("about") << kAbout << QStringLiteral("About Velmora Monitor A/S Jig") << 235 << 62 << false;
    QTest::newRow("memory") << kMemory << QStringLiteral("Memory & Edid") << 308 << 176 << true;
    QTest::newRow("save") << kSave << QStringLiteral("Save Memory") << 215 << 95 << true;
    QTest::newRow("dump") << kDump << QStringLiteral("Dump Memory") << 215 << 95 << true;
    QTest::newRow("preset") << kPreset << QStringLiteral("Preset Timing") << 228 << 186 << true;
}

void DialogTemplatesTest::everyTableBuilds() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(int, widthUnits);
    QFETCH(int, heightUnits);
    QFETCH(bool, fixedPitch);
    qt::TemplateDialog dialog(name);
    QVERIFY2(dialog.buildError().isEmpty(), qPrintable(dialog.buildError()));
    QCOMPARE(dialog.windowTitle(), caption);
    QCOMPARE(dialog.size(), QSize(dialog.dialogUnits().toPixelsX(widthUnits),
                                  dialog.dialogUnits().toPixelsY(heightUnits)));
    // Fixed pitch as the hex grids need it: every character equally wide.
    const QFontMetrics metrics(dialog.font());
    QCOMPARE(metrics.horizontalAdvance(QStringLiteral("WWWW")) ==
                 metrics.horizontalAdvance(QStringLiteral("1111")),
             fixedPitch);
    QVERIFY(!dialog.windowIcon().isNull());
    // Every control lies inside the dialog (a combo box's height is that of
    // its opened list, which may hang below).
    const qt::DialogTemplate& table = dialog.dialogTemplate();
    for (const qt::ControlTemplate& control : table.controls) {
        const qt::DialogRect& r = control.rect;
        const int bottom = control.kind == qt::ControlKind::ComboBox ? r.y : r.y + r.height;
        QVERIFY2(r.x >= 0 && r.y >= 0 && r.x + r.width <= table.width && bottom <= table.height,
                 qPrintable(QStringLiteral("%1 at %2,%3 size %4x%5").arg(control.text).arg(r.x).arg(r.y).arg(r.width)
                                .arg(r.height)));
    }
}

void DialogTemplatesTest::controlsByIdMatchTheTables_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<bool>("enabled");
    auto row = [](const QString& name, int id, const char* className, const char* text,
                  bool visible = true, bool enabled = true) {
        QTest::addRow("%s %d", qPrintable(name), id)
            << name << id << QString::fromLatin1(className) << QString::fromLatin1(text) << visible
            << enabled;
    };
    row(kConsole, 1002, "QComboBox", "");
    addButtonRows(kConsole, {{1014, "Re&load"}, {1005, "&Debug"}, {1006, "&Option"},
                             {1003, "&Timing List"}, {1015, "CRT on Time"}, {1004, "&Features"},
                             {1013, "Re&set"}, {1026, "&RUN"}});
    row(kConsole, 1016, "QPushButton", "Password", false, false);
    row(kConsole, 1048, "QCheckBox", "Auto Reading");
    row(kConsole, 1007, "QScrollBar", "");
    row(kConsole, 1028, "QLabel", "Error Message");
    row(kConsole, 1009, "QLabel", "Static");
    row(kConsole, 1010, "QLabel", "Static");
    row(kConsole, 1008, "QListWidget", "");
    row(kConsole, 1011, "QListWidget", "");
    row(kConsole, 1001, "QTabWidget", "");

    row(kPassword, 1027, "QLineEdit", "");
    addButtonRows(kPassword, {{1, "Apply"}});

    addButtonRows(kOptions, {{1, "OK"}, {2, "Cancel"}});
    row(kOptions, 1039, "QSlider", "");

    addButtonRows(kAbout, {{1, "OK"}});

    row(kMemory, 1041, "QLineEdit", "");
    row(kMemory, 1044, "velmora::platform::qt::UpDownControl", "");
    row(kMemory, 1042, "QLineEdit", "");
    row(kMemory, 1043, "QLineEdit", "");
    addButtonRows(kMemory, {{1031, "Read Memory"}, {1032, "Write Memory"},
                            {1030, "Read EDID(DDC2B)"}, {1033, "Save Memory"}, {1046, "Load File"},
                            {1047, "Decode EDID"}, {1049, "Backups"}, {1050, "Patterns"}});
    row(kMemory, 1048, "QCheckBox", "Verify");
    row(kMemory, 1045, "QLabel", "");
    row(kMemory, 1034, "QLabel", "");
    row(kMemory, 1035, "QPlainTextEdit", "");
    for (const auto& [id, text] : {std::pair{1029, "Read EDID(DDC1)"}, std::pair{1036, "start"},
                                   std::pair{1037, "send A0"}, std::pair{1038, "send A1"},
                                   std::pair{1040, "Rx Data"}, std::pair{1039, "stop"}}) {
        row(kMemory, id, "QPushButton", text, false, false);
    }

    for (const QString& name : {kSave, kDump}) {
        for (const int id : {1050, 1045, 1047, 1048, 1052}) {
            row(name, id, "QLineEdit", "");
        }
        addButtonRows(name, {{1013, name == kSave ? "Save to File" : "Load from File"},
                             {2, "Cancel"},
                             {1051, ".."}});
    }

    for (const int id : {1011, 1003, 1012}) {
        row(kPreset, id, "QLabel", "");
    }
}

void DialogTemplatesTest::controlsByIdMatchTheTables() {
    QFETCH(QString, name);
    QFETCH(int, id);
    QFETCH(QString, className);
    QFETCH(QString, text);
    QFETCH(bool, visible);
    QFETCH(bool, enabled);
    ShownDialog shown(name);
    QWidget* widget = shown.dialog.control(id);
    QVERIFY2(widget != nullptr, qPrintable(QStringLiteral("no control %1").arg(id)));
    QVERIFY2(widget->inherits(className.toLatin1().constData()), widget->metaObject()->className());
    QCOMPARE(shownText(widget), text);
    QCOMPARE(widget->isVisible(), visible);
    QCOMPARE(widget->isEnabled(), enabled);
}

void DialogTemplatesTest::controlsWithoutIdCarryTheirTexts_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    auto row = [](const QString& name, const char* text) {
        QTest::addRow("%s \"%s\"", qPrintable(name), text) << name << QString::fromLatin1(text);
    };
    row(kConsole, "Model");
    row(kOptions, "I2C Speed");
    row(kOptions, " fast                  normal                slow ");
    row(kAbout, "Velmora Monitor A/S Jig Version 2.3a");
    for (const char* text : {"EEPROM Address", "Page", "Addr", "Data", "DATA"}) {
        row(kMemory, text);
    }
    for (const QString& name : {kSave, kDump}) {
        for (const char* text : {"Addr", "Page", "from", "to", "File Name:"}) {
            row(name, text);
        }
    }
    row(kPreset, " No H(kHz) V(Hz) Pol  Resolution");
    row(kPreset, "  Velmora Standard");
}

void DialogTemplatesTest::controlsWithoutIdCarryTheirTexts() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    qt::TemplateDialog dialog(name);
    bool found = false;
    for (QWidget* child : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (shownText(child) == text) {
            QVERIFY2(child->objectName().isEmpty(), qPrintable(child->objectName()));
            found = true;
        }
    }
    QVERIFY2(found, qPrintable(text));
}

void DialogTemplatesTest::earlierControlsLieInFront() {
    ShownDialog shown(kConsole);
    // The tab control covers the lists' area but lies behind them.
    for (const int id : {1008, 1011, 1026, 1028, 1007}) {
        QWidget* control = shown.dialog.control(id);
        QWidget* hit = shown.dialog.childAt(control->geometry().center());
        QVERIFY2(hit == control || control->isAncestorOf(hit),
                 qPrintable(QStringLiteral("control %1 is covered by %2")
                                .arg(id)
                                .arg(hit ? QString::fromLatin1(hit->metaObject()->className())
                                         : QStringLiteral("nothing"))));
    }
}

void DialogTemplatesTest::creationOrderIsTabOrder() {
    qt::TemplateDialog dialog(kConsole);
    const QList<int> order{1002, 1014, 1005, 1006, 1003, 1015, 1004, 1016, 1048, 1007,
                           1013, 1028, 1026, 1009, 1010, 1008, 1011, 1001};
    QList<QWidget*> chain;
    for (QWidget* w = dialog.nextInFocusChain(); w != &dialog; w = w->nextInFocusChain()) {
        chain.append(w);
    }
    qsizetype previous = -1;
    for (const int id : order) {
        const qsizetype at = chain.indexOf(dialog.control(id));
        QVERIFY2(at > previous, qPrintable(QStringLiteral("control %1 out of order").arg(id)));
        previous = at;
    }
}

void DialogTemplatesTest::stylesReachTheWidgets() {
    qt::TemplateDialog console(kConsole);
    QVERIFY(console.control<QPushButton>(1026)->isDefault());
    QCOMPARE(console.control(1026)->focusPolicy(), Qt::ClickFocus);  // no tab stop
    QCOMPARE(console.control(1011)->focusPolicy(), Qt::ClickFocus);
    QVERIFY(console.control(1008)->focusPolicy() & Qt::TabFocus);
    QVERIFY(console.control<QComboBox>(1002)->inherits("velmora::platform::qt::SortedComboBox"));

    qt::TemplateDialog password(kPassword);
    QCOMPARE(password.control<QLineEdit>(1027)->echoMode(), QLineEdit::Password);

    qt::TemplateDialog memory(kMemory);
    QVERIFY(memory.control<QPlainTextEdit>(1035)->isReadOnly());
    QCOMPARE(memory.control<QPlainTextEdit>(1035)->lineWrapMode(), QPlainTextEdit::NoWrap);

    qt::TemplateDialog save(kSave);
    qt::TemplateDialog load(kDump);
    QVERIFY(!save.control<QLineEdit>(1052)->isReadOnly());
    QVERIFY(load.control<QLineEdit>(1052)->isReadOnly());
}

void DialogTemplatesTest::digitsOnlyAndUpperCaseEdits() {
    ShownDialog memory(kMemory);
    auto* page = memory.dialog.control<QLineEdit>(1041);
    page->setFocus();
    QTest::keyClicks(page, QStringLiteral("1a-2"));
    QCOMPARE(page->text(), QStringLiteral("12"));

    ShownDialog save(kSave);
    auto* address = save.dialog.control<QLineEdit>(1045);
    address->setFocus();
    QTest::keyClicks(address, QStringLiteral("f0"));
    QCOMPARE(address->text(), QStringLiteral("F0"));
}

void DialogTemplatesTest::spinStepsItsBuddy() {
    ShownDialog shown(kMemory);
    auto* spin = shown.dialog.control<qt::UpDownControl>(1044);
    auto* page = shown.dialog.control<QLineEdit>(1041);
    QCOMPARE(spin->buddy(), page);
    QCOMPARE(spin->minimum(), 0);
    QCOMPARE(spin->maximum(), 3);

    page->setText(QStringLiteral("0"));
    QTest::mouseClick(spin->upButton(), Qt::LeftButton);
    QCOMPARE(page->text(), QStringLiteral("1"));
    page->setText(QStringLiteral("2"));  // typed text is where the arrows continue
    QTest::mouseClick(spin->upButton(), Qt::LeftButton);
    QCOMPARE(page->text(), QStringLiteral("3"));
    QTest::mouseClick(spin->upButton(), Qt::LeftButton);  // no wrap at the top
    QCOMPARE(page->text(), QStringLiteral("3"));
    page->setFocus();
    QTest::keyClick(page, Qt::Key_Down);
    QCOMPARE(page->text(), QStringLiteral("2"));
    page->setText(QStringLiteral("0"));
    QTest::mouseClick(spin->downButton(), Qt::LeftButton);  // no wrap at the bottom
    QCOMPARE(page->text(), QStringLiteral("0"));
}

void DialogTemplatesTest::enterPressesFocusedThenDefaultButton() {
    ShownDialog shown(kConsole);
    auto* run = shown.dialog.control<QPushButton>(1026);
    auto* debug = shown.dialog.control<QPushButton>(1005);
    QSignalSpy runClicks(run, &QPushButton::clicked);
    QSignalSpy debugClicks(debug, &QPushButton::clicked);

    QWidget* items = shown.dialog.control(1008);
    items->setFocus();
    QTest::keyClick(items, Qt::Key_Return);
    QCOMPARE(runClicks.count(), 1);

    debug->setFocus();
    QTest::keyClick(debug, Qt::Key_Return);
    QCOMPARE(debugClicks.count(), 1);
    QCOMPARE(runClicks.count(), 1);
    QVERIFY(shown.dialog.isVisible());
}

void DialogTemplatesTest::enterWithoutDefaultButtonIsOk() {
    ShownDialog shown(kSave);
    QSignalSpy saves(shown.dialog.control<QPushButton>(1013), &QPushButton::clicked);
    auto* page = shown.dialog.control<QLineEdit>(1050);
    page->setFocus();
    QTest::keyClick(page, Qt::Key_Return);
    QCOMPARE(saves.count(), 0);
    QCOMPARE(shown.dialog.result(), int(QDialog::Accepted));
    QVERIFY(!shown.dialog.isVisible());
}

void DialogTemplatesTest::okAndCancelButtonsCloseTheDialog() {
    {
        ShownDialog shown(kOptions);
        QTest::mouseClick(shown.dialog.control(qt::kIdOk), Qt::LeftButton);
        QCOMPARE(shown.dialog.result(), int(QDialog::Accepted));
    }
    {
        ShownDialog shown(kOptions);
        QTest::mouseClick(shown.dialog.control(qt::kIdCancel), Qt::LeftButton);
        QCOMPARE(shown.dialog.result(), int(QDialog::Rejected));
    }
    {
        ShownDialog shown(kSave);
        QTest::keyClick(&shown.dialog, Qt::Key_Escape);
        QCOMPARE(shown.dialog.result(), int(QDialog::Rejected));
        QVERIFY(!shown.dialog.isVisible());
    }
}

void DialogTemplatesTest::malformedTablesAreRefused_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("message");
    const QByteArray head = R"({"font":{"face":"MS Sans Serif","size":8},"size":[100,50],"controls":[)";
    auto row = [&](const char* tag, const QByteArray& controls, const char* message) {
        QTest::newRow(tag) << head + controls + "]}" << QString::fromLatin1(message);
    };
    QTest::newRow("not json") << QByteArray("{") << QStringLiteral("not valid JSON");
    QTest::newRow("no size") << QByteArray(R"({"font":{"face":"X","size":8},"controls":[]})")
                             << QStringLiteral("size");
    row("unknown kind", R"({"id":5,"kind":"knob","rect":[0,0,1,1]})", "unknown kind");
    row("unknown style", R"({"id":5,"kind":"button","rect":[0,0,1,1],"style":["blinking"]})",
        "unknown style \"blinking\"");
    row("duplicate id",
        R"({"id":7,"kind":"button","rect":[0,0,1,1]},{"id":7,"kind":"static","rect":[0,0,1,1]})",
        "control 7 appears twice");
    row("negative size", R"({"id":8,"kind":"button","rect":[0,0,-1,1]})", "control 8: rect");
    row("spin without buddy", R"({"id":9,"kind":"spin","rect":[0,0,1,1]})", "buddy");
    row("spin before its buddy",
        R"({"id":9,"kind":"spin","rect":[0,0,1,1],"buddy":10},{"id":10,"kind":"edit","rect":[0,0,1,1]})",
        "buddy");
    row("spin with a button as buddy",
        R"({"id":10,"kind":"button","rect":[0,0,1,1]},{"id":9,"kind":"spin","rect":[0,0,1,1],"buddy":10})",
        "buddy");
    row("reversed range", R"({"id":3,"kind":"slider","rect":[0,0,1,1],"range":[5,1]})", "range");
    QByteArray many;
    for (int i = 0; i <= int(qt::kMaxTemplateControls); ++i) {
        many += (i ? "," : "") + QByteArray(R"({"kind":"static","rect":[0,0,1,1]})");
    }
    row("too many controls", many, "more than 100 controls");
}

void DialogTemplatesTest::malformedTablesAreRefused() {
    QFETCH(QByteArray, json);
    QFETCH(QString, message);
    const qt::TemplateParseResult result = qt::parseDialogTemplate(json);
    QVERIFY(!result.dialog);
    QVERIFY2(result.error.contains(message), qPrintable(result.error));
}

void DialogTemplatesTest::unknownTableNameIsReported() {
    qt::TemplateDialog dialog(QStringLiteral("no_such_dialog"));
    QVERIFY(dialog.buildError().contains(QStringLiteral("no_such_dialog")));
    QVERIFY(dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly).isEmpty());
}

void DialogTemplatesTest::captionsWrapAtBlanks() {
    const QFontMetrics metrics(QFont(QStringLiteral("DejaVu Sans"), 8));
    const int word = metrics.horizontalAdvance(QStringLiteral("Time"));
    QCOMPARE(qt::wrapCaption(QStringLiteral("CRT on Time"), metrics, 1000),
             QStringLiteral("CRT on Time"));
    QCOMPARE(qt::wrapCaption(QStringLiteral("CRT on Time"), metrics,
                             metrics.horizontalAdvance(QStringLiteral("CRT on"))),
             QStringLiteral("CRT on\nTime"));
    // A word wider than the button stays whole on its own line.
    QCOMPARE(qt::wrapCaption(QStringLiteral("Time Time"), metrics, word - 1),
             QStringLiteral("Time\nTime"));
    QCOMPARE(qt::wrapCaption(QString(), metrics, 10), QString());
}

QTEST_MAIN(DialogTemplatesTest)
#include "test_dialog_templates.moc"
