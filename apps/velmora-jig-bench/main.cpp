// velmora-jig-bench: the service console wired to the virtual bench, a
// simulated interface board and monitor that run in real time, so that the
// program can be tried and shown without the hardware.
//
//   velmora-jig-bench [--bench-edid FILE]
//
// --bench-edid gives the bench monitor another EDID (a real monitor's,
// raw or as hex text), read by DDC2B and streamed by DDC1 alike.
#include <QApplication>

#include <iostream>

#include "bench/virtual_bench.h"
#include "console/ui/console_app.h"
#include "model/model_folders.h"
#include "model/program_context.h"
#include "platform/files.h"
#include "platform/qt/qt_file_chooser.h"
#include "platform/qt/qt_message_sink.h"
#include "platform/user_folders.h"
#include "tools/edid_input.h"

int main(int argc, char* argv[]) {
    using namespace velmora;
    QApplication application(argc, argv);
    // Qt has taken its own options out of the list.
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    std::optional<tools::EdidBytes> edid;
    if (arguments.size() == 2 && arguments[0] == QLatin1String("--bench-edid")) {
        edid = tools::readEdidFile(arguments[1].toStdString());
        if (!edid->ok) {
            std::cerr << "velmora-jig-bench: " << edid->refusal << "\n";
            return 2;
        }
    } else if (!arguments.isEmpty()) {
        std::cerr << "usage: velmora-jig-bench [--bench-edid FILE]\n";
        return 2;
    }
    platform::qt::QtMessageSink messages(
        platform::qt::programNameFromPath(QCoreApplication::applicationFilePath()));
    bench::VirtualBench bench(bench::BenchTiming::RealTime);
    if (edid) bench.eeprom(0).load(edid->bytes);
    model::ProgramContext context(bench.platform(messages));
    platform::qt::QtFileChooser fileChooser;
    console::ui::ConsoleApp app(context, messages, fileChooser,
                                model::programModelFolders(platform::programDirectory(), platform::userDataHome()));
    return app.run();
}
