// velmora-jig-bench: the service console wired to the virtual bench, a
// simulated interface board and monitor that run in real time, so that the
// program can be tried and shown without the hardware.
//
//   velmora-jig-bench [--bench-edid FILE] [--port i2c-N|parportN]
//
// --bench-edid gives the bench monitor another EDID (a real monitor's,
// raw or as hex text), read by DDC2B and streamed by DDC1 alike. --port
// with an i2c-dev name puts the bench monitor behind the display-channel
// code (a stand-in adapter in place of the kernel), with a parallel port's
// name behind the jig's (the default).
#include <QApplication>

#include <iostream>
#include <memory>

#include "bench/bench_i2c_adapter.h"
#include "bench/virtual_bench.h"
#include "console/ui/console_app.h"
#include "model/display_channel_rig.h"
#include "model/model_folders.h"
#include "model/program_context.h"
#include "platform/files.h"
#include "platform/port_choice.h"
#include "platform/qt/qt_file_chooser.h"
#include "platform/qt/qt_message_sink.h"
#include "platform/user_folders.h"
#include "tools/edid_input.h"

namespace {
constexpr const char* kUsage = "usage: velmora-jig-bench [--bench-edid FILE] [--port i2c-N|parportN]\n";
}

int main(int argc, char* argv[]) {
    using namespace velmora;
    QApplication application(argc, argv);
    // Qt has taken its own options out of the list.
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    std::optional<tools::EdidBytes> edid;
    std::optional<std::string> portName;
    for (qsizetype i = 0; i < arguments.size(); i += 2) {
        if (i + 1 >= arguments.size()) {
            std::cerr << kUsage;
            return 2;
        }
        if (arguments[i] == QLatin1String("--bench-edid")) {
            edid = tools::readEdidFile(arguments[i + 1].toStdString());
            if (!edid->ok) {
                std::cerr << "velmora-jig-bench: " << edid->refusal << "\n";
                return 2;
            }
        } else if (arguments[i] == QLatin1String("--port")) {
            portName = arguments[i + 1].toStdString();
        } else {
            std::cerr << kUsage;
            return 2;
        }
    }
    const platform::PortKind way = portName ? platform::choosePort(*portName).kind : platform::PortKind::Jig;
    if (way == platform::PortKind::Unknown) {
        std::cerr << "velmora-jig-bench: --port takes an i2c-dev name (i2c-N) or a parallel port's (parportN)\n";
        return 2;
    }
    platform::qt::QtMessageSink messages(
        platform::qt::programNameFromPath(QCoreApplication::applicationFilePath()));
    bench::VirtualBench bench(bench::BenchTiming::RealTime);
    if (edid) bench.eeprom(0).load(edid->bytes);
    std::unique_ptr<model::DisplayChannelRig> channel;
    std::unique_ptr<model::ProgramContext> context;
    const platform::LinkPlatform benchPlatform = bench.platform(messages);
    if (way == platform::PortKind::DisplayChannel) {
        channel = std::make_unique<model::DisplayChannelRig>(std::make_unique<bench::BenchI2cAdapter>(bench));
        (void)channel->open(*portName);
        context = std::make_unique<model::ProgramContext>(benchPlatform,
                                                          channel->linkMaker(benchPlatform.clock, messages));
    } else {
        context = std::make_unique<model::ProgramContext>(benchPlatform);
    }
    if (portName) context->portName = *portName;
    platform::qt::QtFileChooser fileChooser;
    console::ui::ConsoleApp app(*context, messages, fileChooser,
                                model::programModelFolders(platform::programDirectory(), platform::userDataHome()));
    return app.run();
}
