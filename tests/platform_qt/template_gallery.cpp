// Renders every dialog table, filled with typical contents, into PNG files:
//   template_gallery OUTPUT_DIR
// Used to look at the windows' proportions and texts; ctest runs it once so
// that every table keeps building. Exit status 1 when a table or a picture
// fails.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextStream>

#include <cstdio>

#include "console/ui/list_row_delegates.h"
#include "link/ui/debug_window.h"
#include "platform/qt/screenshot.h"
#include "platform/qt/template_dialog.h"

namespace qt = velmora::platform::qt;
namespace console = velmora::console::ui;

namespace {

void fillConsole(qt::TemplateDialog& dialog) {
    dialog.setWindowTitle(QStringLiteral("Velmora Monitor A/S Jig 2.3a"));
    auto* models = dialog.control<QComboBox>(1002);
    models->addItem(QStringLiteral("VM-1795 - vm1795.mdl"));
    auto* tabs = dialog.control<QTabWidget>(1001);
    for (const char* page : {"Geometry", "Color", "Extra 1", "Extra 2"}) {
        tabs->addTab(new QWidget, QString::fromLatin1(page));
    }
    dialog.control<QLabel>(1009)->setText(QStringLiteral("H-POSITION"));
    dialog.control<QLabel>(1010)->setText(QStringLiteral(" 45 (2Dh)"));
    dialog.control<QLabel>(1028)->setText(QStringLiteral("OK"));

    auto* items = dialog.control<QListWidget>(1008);
    console::useItemRowPainting(*items);
    const char* names[] = {"H-POSITION", "H-SIZE", "V-POSITION", "V-SIZE", "PINCUSHION",
                           "TRAPEZOID", "PARALELL", "V-LINEARITY", "PINBALANCE", "ROTATION"};
    int value = 45;
    for (const char* name : names) {
        auto* row = new QListWidgetItem(QString::fromLatin1(name), items);
        row->setData(console::kValueTextRole,
                     QStringLiteral("%1 (%2h)")
                         .arg(value, 3)
                         .arg(QString::number(value, 16).toUpper().rightJustified(2, QLatin1Char('0'))));
        value = (value * 7 + 13) % 256;
    }
    items->setCurrentRow(0);

    auto* functions = dialog.control<QListWidget>(1011);
    console::useFunctionRowPainting(*functions);
    const char* labels[] = {"@1: MODE SAVE      ", "@2: COLOR SAVE     ", "@3: ALL MODE SAVE",
                            "@4: STND COLOR DUMP", "@5: Degauss       ", "@6: CHANNEL 1     "};
    for (const char* label : labels) {
        new QListWidgetItem(QString::fromLatin1(label), functions);
    }
    functions->setCurrentRow(1);
}

void fillMemory(qt::TemplateDialog& dialog) {
    QString header;
    QString rows;
    QString dump;
    for (int i = 0; i < 16; ++i) {
        header += QStringLiteral("%1 ").arg(i, 2, 16, QLatin1Char('0')).toUpper();
        rows += QStringLiteral("%1\n").arg(i * 16, 2, 16, QLatin1Char('0')).toUpper();
        for (int c = 0; c < 16; ++c) {
            dump += QStringLiteral("%1 ").arg((i * 16 + c) * 37 % 256, 2, 16, QLatin1Char('0')).toUpper();
        }
        if (i < 15) {
            dump += QLatin1Char('\n');
        }
    }
    dialog.control<QLabel>(1045)->setText(header);
    dialog.control<QLabel>(1034)->setText(rows);
    dialog.control<QPlainTextEdit>(1035)->setPlainText(dump);
    dialog.control<QLineEdit>(1041)->setText(QStringLiteral("0"));
    dialog.control<QLineEdit>(1042)->setText(QStringLiteral("3A"));
    dialog.control<QLineEdit>(1043)->setText(QStringLiteral("9F "));
}

void fillPresets(qt::TemplateDialog& dialog) {
    dialog.control<QLabel>(1011)->setText(QStringLiteral("VM-1795"));
    const char* left[] = {
        "  0  31.47  59.94 NN  640 x  480", "  1  31.47  70.09 PN  640 x  350",
        "  2  37.86  85.08 NP  640 x  400", "  3  48.36  60.00 NN 1024 x  768",
        "  4  68.68  85.00 PP 1024 x  768", "  5             Not Defined...",
        "  6  35.16  56.25 --  800 x  600",  "  7  91.15  85.02 PP 1280 x 1024"};
    const char* right[] = {"  3: IBM VGA3 60Hz", "  1: IBM VGA1 70Hz", "  6: VESA VGA3 85Hz",
                           " 15: VESA 1024 60Hz", " 44: VESA 1024 85Hz", "",
                           " 12: VESA 800 56Hz", "     --------------"};
    QString leftText;
    QString rightText;
    for (int i = 0; i < 8; ++i) {
        leftText += QString::fromLatin1(left[i]) + QLatin1Char('\n');
        rightText += QString::fromLatin1(right[i]) + QLatin1Char('\n');
    }
    dialog.control<QLabel>(1003)->setText(leftText);
    dialog.control<QLabel>(1012)->setText(rightText);
}

void fillRange(qt::TemplateDialog& dialog) {
    dialog.control<QLineEdit>(1050)->setText(QStringLiteral("2"));
    dialog.control<QLineEdit>(1045)->setText(QStringLiteral("00"));
    dialog.control<QLineEdit>(1047)->setText(QStringLiteral("2"));
    dialog.control<QLineEdit>(1048)->setText(QStringLiteral("FF"));
    dialog.control<QLineEdit>(1052)->setText(QStringLiteral("/home/service/vm1795-page2.mem"));
}

bool render(const QString& name, const QDir& out) {
    qt::TemplateDialog dialog(name);
    if (!dialog.buildError().isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(dialog.buildError()));
        return false;
    }
    if (name == QLatin1String(qt::templates::kConsoleDialog)) {
        fillConsole(dialog);
    } else if (name == QLatin1String(qt::templates::kMemoryEdidDialog)) {
        fillMemory(dialog);
    } else if (name == QLatin1String(qt::templates::kPresetTimingDialog)) {
        fillPresets(dialog);
    } else if (name == QLatin1String(qt::templates::kSaveMemoryDialog) ||
               name == QLatin1String(qt::templates::kDumpMemoryDialog)) {
        fillRange(dialog);
    }
    dialog.show();
    QApplication::processEvents();
    return qt::saveScreenshot(dialog, out.filePath(name + QStringLiteral(".png")));
}

bool renderDebugWindow(const QDir& out) {
    velmora::link::ui::CDebugWnd debug;
    debug.openAndClear();
    debug.appendTranscript(
        " \r\n @1: MODE SAVE \r\n PC: S_ 6E 51 82 01 10 AC _E MON: S_ 6F 6E 88 02 00 10 00 00 64 00 32 F2 _E OK.\r\n"
        " PC: S_ 6E 51 84 03 10 00 32 9A _E OK.\r\n");
    QApplication::processEvents();
    return qt::saveScreenshot(*debug.window(), out.filePath(QStringLiteral("debug_window.png")));
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: template_gallery OUTPUT_DIR\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    bool ok = true;
    for (const char* name :
         {qt::templates::kConsoleDialog, qt::templates::kPasswordDialog,
          qt::templates::kJigOptionsDialog, qt::templates::kAboutDialog,
          qt::templates::kMemoryEdidDialog, qt::templates::kSaveMemoryDialog,
          qt::templates::kDumpMemoryDialog, qt::templates::kPresetTimingDialog}) {
        ok = render(QString::fromLatin1(name), out) && ok;
    }
    ok = renderDebugWindow(out) && ok;
    return ok ? 0 : 1;
}
