// Drives the service console on the virtual bench, as velmora-jig-bench
// runs it, and saves what a technician sees as PNG files: the main window
// on each page of every model beside the program, the I2C DEBUGGER after a RUN, and the
// A/S Jig Options, Password for Writing and About dialogs.
//
//   console_screenshots OUTPUT_DIRECTORY
//
// Message boxes are not shown but listed on standard error.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <iostream>

#include "bench/virtual_bench.h"
#include "platform/qt/qt_file_chooser.h"
#include "console/ui/about_dialog.h"
#include "console/ui/console_dialog.h"
#include "console/ui/password_dialog.h"
#include "link/jig_link.h"
#include "link/ui/debug_window.h"
#include "link/ui/jig_options_dialog.h"
#include "session/monitor_door.h"
#include "platform/files.h"
#include "platform/message_sink.h"
#include "platform/qt/screenshot.h"

using namespace velmora;
using console::ui::ConsoleDialog;

namespace {

bool save(QWidget& widget, const QDir& directory, const QString& name) {
    QApplication::processEvents();
    const QString path = directory.filePath(name);
    if (!platform::qt::saveScreenshot(widget, path)) {
        std::cerr << "cannot write " << path.toStdString() << "\n";
        return false;
    }
    std::cout << path.toStdString() << "\n";
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 2) {
        std::cerr << "usage: console_screenshots OUTPUT_DIRECTORY\n";
        return 2;
    }
    QDir output(arguments[1]);
    if (!output.mkpath(QStringLiteral("."))) {
        std::cerr << "cannot create " << arguments[1].toStdString() << "\n";
        return 1;
    }

    platform::RecordingMessageSink messages;
    bench::VirtualBench bench(bench::BenchTiming::RealTime);
    const session::OpenedWay way = session::openWayToMonitor({std::nullopt, &bench}, messages);
    session::ProgramContext& context = *way.program;
    bool saved = true;
    {
        link::ui::CDebugWnd debugWindow;
        platform::qt::QtFileChooser fileChooser;
        ConsoleDialog dialog(context, debugWindow, platform::programDirectory(), messages, fileChooser);
        dialog.show();
        auto* tabs = dialog.control<QTabWidget>(ConsoleDialog::kTabsId);
        auto* models = dialog.control<QComboBox>(ConsoleDialog::kModelComboId);
        for (int model = 0; model < models->count(); ++model) {
            models->setCurrentIndex(model);
            emit models->activated(model);
            const QString file = models->currentText().section(QStringLiteral(" - "), -1).section('.', 0, 0);
            for (int page = 0; page < tabs->count(); ++page) {
                QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(page).center());
                saved &= save(dialog, output, QStringLiteral("main-%1-page-%2.png").arg(file).arg(page + 1));
            }
        }

        models->setCurrentIndex(0);
        emit models->activated(0);
        QTest::mouseClick(dialog.control(ConsoleDialog::kDebugId), Qt::LeftButton);
        auto* functions = dialog.control<QListWidget>(ConsoleDialog::kFunctionListId);
        if (functions->count() > 0) {
            QTest::mouseClick(functions->viewport(), Qt::LeftButton, {},
                              functions->visualItemRect(functions->item(0)).center());
            QTest::mouseClick(dialog.control(ConsoleDialog::kRunId), Qt::LeftButton);
        }
        saved &= save(dialog, output, QStringLiteral("main-after-run.png"));
        if (debugWindow.window() != nullptr) saved &= save(*debugWindow.window(), output, QStringLiteral("debug-window.png"));

        link::ui::JigOptionsDialog options(context.link.jigControls()->bus().busDelayCount(), &dialog);
        options.show();
        saved &= save(options, output, QStringLiteral("options-dialog.png"));
        console::ui::PasswordDialog password(context.flags, messages, &dialog);
        password.show();
        saved &= save(password, output, QStringLiteral("password-dialog.png"));
        console::ui::AboutDialog about(&dialog);
        about.show();
        saved &= save(about, output, QStringLiteral("about-dialog.png"));
    }
    for (const platform::RecordedMessage& message : messages.messages) {
        std::cerr << "message [" << message.caption << "]: " << message.text << "\n";
    }
    return saved ? 0 : 1;
}
