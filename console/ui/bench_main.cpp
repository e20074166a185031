// velmora-jig-bench: the service console wired to the virtual bench, a
// simulated interface board and monitor that run in real time, so that the
// program can be tried and shown without the hardware.
#include <QApplication>

#include "bench/virtual_bench.h"
#include "console/ui/console_app.h"
#include "model/model_folders.h"
#include "model/program_context.h"
#include "platform/files.h"
#include "platform/qt/qt_file_chooser.h"
#include "platform/qt/qt_message_sink.h"
#include "platform/user_folders.h"

int main(int argc, char* argv[]) {
    using namespace velmora;
    QApplication application(argc, argv);
    platform::qt::QtMessageSink messages(
        platform::qt::programNameFromPath(QCoreApplication::applicationFilePath()));
    bench::VirtualBench bench(bench::BenchTiming::RealTime);
    model::ProgramContext context(bench.platform(messages));
    platform::qt::QtFileChooser fileChooser;
    console::ui::ConsoleApp app(context, messages, fileChooser,
                                model::programModelFolders(platform::programDirectory(), platform::userDataHome()));
    return app.run();
}
