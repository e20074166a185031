#include "apps/velmora-jigctl/jigctl_detect.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

#include "bench/bench_i2c_adapter.h"
#include "bench/virtual_bench.h"
#include "model/monitor_requests.h"
#include "platform/display_adapters.h"
#include "platform/i2c_dev_port.h"
#include "platform/i2c_kernel.h"
#include "platform/machine_link_platform.h"
#include "platform/steady_clock.h"
#include "session/link_making.h"
#include "tools/edid_decoder.h"

namespace velmora::apps::jigctl {

using namespace velmora::tools;

namespace {

namespace fs = std::filesystem;

// What one way to a monitor showed: the line the text prints and the same
// findings for the JSON document.
struct Finding {
    std::string label;
    nlohmann::json record;
    std::string line;
    bool monitor = false;
};

// Nodes named PREFIX + number in `folder`, in the order of their numbers.
std::vector<std::pair<int, std::string>> numberedNodes(const std::string& folder, std::string_view prefix) {
    std::vector<std::pair<int, std::string>> nodes;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with(prefix) || name.size() == prefix.size() || name.size() > prefix.size() + 6) continue;
        const std::string digits = name.substr(prefix.size());
        if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) continue;
        nodes.emplace_back(std::stoi(digits), entry.path().string());
    }
    std::sort(nodes.begin(), nodes.end());
    return nodes;
}

// "/dev/i2c-3 (AMDGPU DM i2c hw bus 0, connector DVI-I-1)".
std::string adapterLabel(const std::string& path, const platform::I2cAdapterInfo& adapter) {
    std::string label = path + " (" + (adapter.name.empty() ? "adapter name unknown" : adapter.name);
    if (!adapter.connector.empty()) label += ", connector " + adapter.connector;
    return label + ")";
}

// "EDID at 0x50: NAME, manufacturer XYZ" or why there is none; the record
// {monitor, manufacturer, product, serial, checksumValid}, or null when no
// EDID answered.
struct EdidFinding {
    bool found = false;
    std::string text;
    nlohmann::json record = nullptr;
};

EdidFinding describeEdid(const std::uint8_t* block, std::string_view where) {
    const std::string prefix = "EDID at " + std::string(where);
    if (block == nullptr) return {false, "no EDID at " + std::string(where)};
    const EdidDecoding decoding = decodeEdid(std::span<const std::uint8_t>(block, link::kEdidBytes));
    if (!decoding.edid) return {false, prefix + ": answers, but holds no EDID"};
    const DecodedEdid& edid = *decoding.edid;
    nlohmann::json name = nullptr;
    if (edid.displayName) name = *edid.displayName;
    char product[48];
    std::snprintf(product, sizeof product, ", product %04Xh, serial %u", static_cast<unsigned>(edid.productCode),
                  static_cast<unsigned>(edid.serialNumber));
    return {true,
            prefix + ": " + edid.displayName.value_or("no monitor name") + ", manufacturer " + edid.manufacturer +
                product + (edid.checksumValid ? "" : " (wrong checksum)"),
            {{"monitor", name},
             {"manufacturer", edid.manufacturer},
             {"product", edid.productCode},
             {"serial", edid.serialNumber},
             {"checksumValid", edid.checksumValid}}};
}

nlohmann::json channelRecord(const std::string& device, const std::optional<std::string>& adapter,
                             const std::optional<std::string>& connector, std::string_view kind) {
    nlohmann::json name = nullptr;
    if (adapter) name = *adapter;
    nlohmann::json connectorName = nullptr;
    if (connector) connectorName = *connector;
    return {{"device", device},   {"adapter", name},  {"connector", connectorName}, {"kind", kind},
            {"probed", true},     {"problem", nullptr}, {"edid", nullptr},            {"ddcci", nullptr}};
}

// One display channel of a graphics card: the EDID, then (only where an EDID
// answered, so that nothing is written to 0x37 of a bus without a monitor) a
// Get VCP request for the brightness. Opening asks the adapter for plain I2C
// first, so that nothing is sent to an adapter that cannot do it.
Finding probeDisplayChannel(platform::I2cKernel& kernel, platform::Clock& clock, const std::string& path,
                            const std::string& label, nlohmann::json record) {
    platform::I2cDevPort port(kernel);
    if (const int error = port.open(path); error != 0) {
        const std::string problem = "cannot open: " + platform::describeI2cFailure(path, error, port.lockHolder());
        record["problem"] = problem;
        return {label, record, label + ": " + problem, false};
    }
    platform::RecordingMessageSink quiet;
    link::ProgramFlags flags;
    const std::unique_ptr<link::MonitorLink> link = session::makeLink(session::ChannelWay{port, clock, quiet}, flags);
    link->setReplyMode(link::ReplyMode::MasterRead);
    const EdidFinding edid = describeEdid(link->readEepromBlock(0), "0x50");
    record["edid"] = edid.record;
    std::string line = label + ": " + edid.text;
    bool ddcci = false;
    if (edid.found) {
        std::array<std::uint8_t, 6> getBrightness{0, 0, 0x82, model::request::kGetVcp, model::request::kBrightness, 0};
        ddcci = link->transact(getBrightness, model::request::kReadVcpWaitMs) != nullptr;
        record["ddcci"] = ddcci;
        line += std::string("; DDC/CI at 0x37: ") + (ddcci ? "answers" : "no answer");
    }
    return {label, record, line, edid.found || ddcci};
}

nlohmann::json portRecord(const std::string& device) {
    return {{"device", device}, {"problem", nullptr}, {"board", nullptr}, {"edid", nullptr}};
}

// One parallel port: the line test of the bus reset, then the EDID at 0xA0.
Finding probeJig(platform::LinkPlatform platform, const std::string& label, nlohmann::json record) {
    link::ProgramFlags flags;
    const std::unique_ptr<link::MonitorLink> link = session::makeLink(session::JigWay{platform}, flags);
    if (!link->busReset()) {
        record["board"] = false;
        return {label, record, label + ": the interface board does not answer its line test", false};
    }
    const EdidFinding edid = describeEdid(link->readEepromBlock(0), "0xA0");
    record["board"] = true;
    record["edid"] = edid.record;
    return {label, record, label + ": the interface board answers its line test; " + edid.text, edid.found};
}

struct Findings {
    std::vector<Finding> channels;
    std::vector<Finding> ports;
};

Findings detectOnBench() {
    Findings findings;
    {
        bench::VirtualBench bench;
        bench::BenchI2cAdapter adapter(bench);
        const std::string label = "bench display channel (i2c)";
        findings.channels.push_back(probeDisplayChannel(
            adapter, bench.clock(), "/dev/i2c-bench", label,
            channelRecord(label, "bench display channel", std::nullopt,
                          platform::adapterKindName(platform::AdapterKind::DisplayChannel))));
    }
    {
        bench::VirtualBench bench;
        platform::RecordingMessageSink quiet;
        const std::string label = "bench parallel port (interface board)";
        findings.ports.push_back(probeJig(bench.platform(quiet), label, portRecord(label)));
    }
    return findings;
}

Findings detectOnMachine(const DetectPlaces& places, const std::vector<std::pair<int, std::string>>& channels,
                         const std::vector<std::pair<int, std::string>>& parports) {
    Findings findings;
    platform::LinuxI2cKernel kernel;
    platform::SteadyClock clock;
    for (const auto& [number, path] : channels) {
        // Only a graphics card's display channel is probed: an SMBus, a GPU's
        // management bus or a SoC bus is never opened, a USB adapter only
        // when named with --port.
        const platform::I2cAdapterInfo adapter =
            platform::describeI2cAdapter(number, places.sysfs).value_or(platform::I2cAdapterInfo{number, {}, {}, {}});
        const std::string label = adapterLabel(path, adapter);
        nlohmann::json record =
            channelRecord(path, adapter.name.empty() ? std::nullopt : std::optional<std::string>(adapter.name),
                          adapter.connector.empty() ? std::nullopt : std::optional<std::string>(adapter.connector),
                          platform::adapterKindName(adapter.kind));
        if (adapter.kind != platform::AdapterKind::DisplayChannel) {
            const std::string problem = std::string("not probed: ") + std::string(platform::adapterKindName(adapter.kind)) +
                                        (adapter.kind == platform::AdapterKind::Usb ? "; name it with --port to use it" : "");
            record["probed"] = false;
            record["problem"] = problem;
            findings.channels.push_back({label, record, label + ": " + problem, false});
            continue;
        }
        findings.channels.push_back(probeDisplayChannel(kernel, clock, path, label, record));
    }
    for (const auto& [number, path] : parports) {
        std::ostringstream diagnostics;
        platform::RecordingMessageSink quiet;
        platform::MachineLinkPlatform machine(diagnostics, path.c_str());
        if (!machine.port().isOpen()) {
            std::string reason = diagnostics.str();
            if (!reason.empty() && reason.back() == '\n') reason.pop_back();
            nlohmann::json record = portRecord(path);
            record["problem"] = reason;
            findings.ports.push_back({path, record, path + ": " + reason, false});
            continue;
        }
        findings.ports.push_back(probeJig(machine.platform(quiet), path, portRecord(path)));
    }
    return findings;
}

}  // namespace

int detectMonitors(const DetectPlaces& places, bool bench, std::ostream& out, std::ostream& err,
                   nlohmann::json* json) {
    Findings findings;
    if (bench) {
        findings = detectOnBench();
    } else {
        const auto channels = numberedNodes(places.devices, "i2c-");
        const auto parports = numberedNodes(places.devices, "parport");
        if (channels.empty() && parports.empty()) {
            err << "velmora-jigctl: detect: no display channel (" << places.devices
                << "/i2c-*) and no parallel port (" << places.devices
                << "/parport*) found. Load the i2c-dev module for the graphics cards' display "
                << "channels (sudo modprobe i2c-dev; at every boot: echo i2c-dev | sudo tee "
                   "/etc/modules-load.d/i2c-dev.conf), or parport_pc and ppdev for the interface board.\n";
        }
        findings = detectOnMachine(places, channels, parports);
    }
    bool found = false;
    nlohmann::json channels = nlohmann::json::array();
    nlohmann::json ports = nlohmann::json::array();
    for (const Finding& finding : findings.channels) {
        found = found || finding.monitor;
        channels.push_back(finding.record);
        if (json == nullptr) out << finding.line << "\n";
    }
    for (const Finding& finding : findings.ports) {
        found = found || finding.monitor;
        ports.push_back(finding.record);
        if (json == nullptr) out << finding.line << "\n";
    }
    if (json != nullptr) *json = {{"found", found}, {"displayChannels", channels}, {"parallelPorts", ports}};
    const bool anyWay = !findings.channels.empty() || !findings.ports.empty();
    if (!found && anyWay) err << "velmora-jigctl: detect: no monitor answered\n";
    return found ? 0 : 1;
}

}  // namespace velmora::apps::jigctl
