#include "session/monitor_door.h"

#include <sstream>

#include "bench/bench_i2c_adapter.h"
#include "bench/virtual_bench.h"
#include "platform/i2c_kernel.h"
#include "platform/machine_link_platform.h"
#include "platform/steady_clock.h"
#include "session/link_making.h"

namespace velmora::session {

namespace {

constexpr std::string_view kNotAPort =
    " is neither a display channel (/dev/i2c-N, i2c-N) nor a parallel port (/dev/parportN, parportN)";

// Everything the link works on, owned by the session.
struct OpenedParts final : WayParts {
    std::unique_ptr<platform::MachineLinkPlatform> machine;
    std::unique_ptr<platform::I2cKernel> kernel;
    std::unique_ptr<platform::I2cDevPort> channel;
    platform::SteadyClock steadyClock;
    std::unique_ptr<platform::CountingPortIo> countingPort;
    std::unique_ptr<platform::CountingClock> countingClock;
};

platform::PortChoice chosenPort(const WayChoice& choice, const std::string& sysfsRoot) {
    if (!choice.port) return {platform::PortKind::Jig, std::string(kDefaultJigPort)};
    if (choice.bench != nullptr && *choice.port == kBenchChannelNode) {
        return {platform::PortKind::DisplayChannel, std::string(kBenchChannelNode)};
    }
    return platform::choosePort(*choice.port, sysfsRoot);
}

}  // namespace

OpenedWay openWayToMonitor(const WayChoice& choice, platform::MessageSink& messages, const WayOptions& options) {
    OpenedWay way;
    const platform::PortChoice port = chosenPort(choice, options.sysfsRoot);
    way.kind = port.kind;
    way.device = port.device;
    if (port.kind == platform::PortKind::Unknown) {
        way.refusal = DoorRefusal::UnknownPort;
        way.refusalText = *choice.port + std::string(kNotAPort);
        return way;
    }

    auto parts = std::make_unique<OpenedParts>();
    // The bench's clock runs in real time or on its virtual clock, as the bench was made.
    std::optional<platform::LinkPlatform> benchPlatform;
    if (choice.bench != nullptr) benchPlatform.emplace(choice.bench->platform(messages));
    std::optional<platform::LinkPlatform> jig;
    platform::Clock* clock = nullptr;
    if (port.kind == platform::PortKind::DisplayChannel) {
        if (choice.bench != nullptr) parts->kernel = std::make_unique<bench::BenchI2cAdapter>(*choice.bench);
        else parts->kernel = std::make_unique<platform::LinuxI2cKernel>();
        parts->channel = std::make_unique<platform::I2cDevPort>(*parts->kernel);
        if (const int error = parts->channel->open(port.device, options.lockWaitMs); error != 0) {
            way.refusal = DoorRefusal::CannotOpen;
            way.refusalText = "cannot open the display channel " +
                              platform::describeI2cFailure(port.device, error, parts->channel->lockHolder());
            return way;
        }
        clock = benchPlatform ? &benchPlatform->clock : &parts->steadyClock;
    } else if (benchPlatform) {
        jig.emplace(*benchPlatform);
        clock = &jig->clock;
    } else {
        std::ostringstream trouble;
        parts->machine = std::make_unique<platform::MachineLinkPlatform>(trouble, port.device.c_str());
        way.portTrouble = trouble.str();
        jig.emplace(parts->machine->platform(messages));
        clock = &jig->clock;
    }

    platform::Clock* programClock = clock;
    if (options.counters != nullptr) {
        parts->countingClock = std::make_unique<platform::CountingClock>(*clock, *options.counters);
        programClock = parts->countingClock.get();
        if (jig) {
            parts->countingPort = std::make_unique<platform::CountingPortIo>(jig->port, *options.counters);
            const platform::LinkPlatform counted{*parts->countingPort, *parts->countingClock, jig->spin, jig->shield,
                                                 jig->messages};
            jig.emplace(counted);
        }
    }
    // The display channel's own waits run on the clock itself: its counters
    // count them.
    const LinkWay linkWay = jig ? LinkWay{JigWay{*jig}}
                                : LinkWay{ChannelWay{*parts->channel, *clock, messages, options.timing}};
    way.displayChannel = parts->channel.get();
    way.program = std::make_unique<ProgramContext>(
        std::move(parts), *programClock, [&linkWay, &options](const link::ProgramFlags& flags) {
            std::unique_ptr<link::MonitorLink> made = makeLink(linkWay, flags);
            return options.wrapLink ? options.wrapLink(std::move(made)) : std::move(made);
        });
    if (choice.port) way.program->portName = choice.bench != nullptr ? *choice.port : port.device;
    return way;
}

}  // namespace velmora::session
