// velmora-jig-bench: the service console wired to the virtual bench, a
// simulated interface board and monitor that run in real time, so that the
// program can be tried and shown without the hardware. See --help.
//
// --bench-edid gives the bench monitor another EDID (a real monitor's,
// raw or as hex text), read by DDC2B and streamed by DDC1 alike. --port
// with an i2c-dev name puts the bench monitor behind the display-channel
// code (a stand-in adapter in place of the kernel), with a parallel port's
// name behind the jig's (the default).
#include <QApplication>

#include <iostream>
#include <memory>

#include "apps/standard_options.h"
#include "bench/virtual_bench.h"
#include "console/ui/console_app.h"
#include "model/model_folders.h"
#include "platform/files.h"
#include "platform/qt/qt_file_chooser.h"
#include "platform/qt/qt_message_sink.h"
#include "platform/user_folders.h"
#include "session/monitor_door.h"
#include "tools/edid_input.h"

namespace {

constexpr const char* kHelp =
    "usage: velmora-jig-bench [--bench-edid FILE] [--port i2c-N|parportN] [Qt options]\n"
    "\n"
    "The Velmora Monitor A/S Jig's service console on the virtual bench: a\n"
    "simulated interface board and monitor, so that the program can be tried and\n"
    "shown without the hardware.\n"
    "\n"
    "Options:\n"
    "  --bench-edid FILE  the bench monitor's EDID from a file (raw bytes, 128 or\n"
    "                     more, or hex text), for DDC2B and DDC1 alike\n"
    "  --port NAME        i2c-N puts the bench monitor behind the display-channel\n"
    "                     code (MasterRead models only), parportN behind the jig's\n"
    "                     (the default)\n"
    "  --help             this text\n"
    "  --version          the program's version\n"
    "\n"
    "Qt's own options (-platform, -style, ...) are taken as well. See\n"
    "velmora-jig-bench(1).\n";

int refuse(const std::string& what, const std::string& why) {
    std::cerr << "velmora-jig-bench: " << what << ": " << why << " (see velmora-jig-bench --help)\n";
    return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    using namespace velmora;
    // Answered before Qt starts, so that they need no display.
    switch (apps::standardRequest(argc, argv)) {
    case apps::StandardRequest::Help:
        std::cout << kHelp;
        return 0;
    case apps::StandardRequest::Version:
        std::cout << "velmora-jig-bench " << VELMORA_VERSION << "\n";
        return 0;
    case apps::StandardRequest::None:
        break;
    }
    QApplication application(argc, argv);
    // Qt has taken its own options out of the list.
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    std::optional<tools::EdidBytes> edid;
    std::optional<std::string> portName;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const std::string word = arguments[i].toStdString();
        const apps::OptionWord option = apps::splitOption(word);
        if (word == "--") continue;
        if (option.name != "--bench-edid" && option.name != "--port") return refuse(word, "unknown argument");
        std::string value;
        if (option.hasValue) {
            value = std::string(option.value);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i].toStdString();
        } else {
            return refuse(std::string(option.name), option.name == "--port" ? "needs a NAME" : "needs a FILE");
        }
        if (option.name == "--port") {
            portName = value;
            continue;
        }
        edid = tools::readEdidFile(value);
        if (!edid->ok) {
            std::cerr << "velmora-jig-bench: " << edid->refusal << "\n";
            return 2;
        }
    }
    platform::qt::QtMessageSink messages(
        platform::qt::programNameFromPath(QCoreApplication::applicationFilePath()));
    bench::VirtualBench bench(bench::BenchTiming::RealTime);
    if (edid) bench.eeprom(0).load(edid->bytes);
    const session::OpenedWay way = session::openWayToMonitor({portName, &bench}, messages);
    if (way.refusal != session::DoorRefusal::None) return refuse("--port", way.refusalText);
    platform::qt::QtFileChooser fileChooser;
    console::ui::ConsoleApp app(*way.program, messages, fileChooser,
                                model::programModelFolders(platform::programDirectory(), platform::userDataHome()));
    return app.run();
}
