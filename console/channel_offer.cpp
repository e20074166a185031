#include "console/channel_offer.h"

#include <cstdio>
#include <filesystem>

#include "platform/files.h"
#include "platform/i2c_dev_port.h"
#include "platform/message_sink.h"
#include "platform/replacing_file.h"
#include "session/link_making.h"
#include "tools/edid_decoder.h"

namespace velmora::console {

namespace {

constexpr std::size_t kMaxRememberedBytes = 256;

std::string monitorName(const std::uint8_t* block) {
    const tools::EdidDecoding decoding = tools::decodeEdid(std::span<const std::uint8_t>(block, link::kEdidBytes));
    if (!decoding.edid) return {};
    if (decoding.edid->displayName) return *decoding.edid->displayName;
    char text[32];
    std::snprintf(text, sizeof text, "%s %04Xh", decoding.edid->manufacturer.c_str(),
                  static_cast<unsigned>(decoding.edid->productCode));
    return text;
}

std::string portFile(const std::string& configHome) { return configHome + "/velmora-jig/port"; }

}  // namespace

std::vector<ChannelOffer> findAnsweringChannels(std::span<const platform::I2cAdapterInfo> adapters,
                                                platform::I2cKernel& kernel, platform::Clock& clock,
                                                const std::string& devices) {
    std::vector<ChannelOffer> offers;
    for (const platform::I2cAdapterInfo& adapter : adapters) {
        if (adapter.kind != platform::AdapterKind::DisplayChannel) continue;
        const std::string device = devices + "/i2c-" + std::to_string(adapter.number);
        platform::I2cDevPort port(kernel);
        if (port.open(device) != 0) continue;
        platform::RecordingMessageSink quiet;
        link::ProgramFlags flags;
        const std::unique_ptr<link::MonitorLink> channel =
            session::makeLink(session::ChannelWay{port, clock, quiet}, flags);
        const std::uint8_t* block = channel->readEepromBlock(0);
        if (block == nullptr) continue;
        const std::string monitor = monitorName(block);
        if (!monitor.empty()) offers.push_back({device, adapter.connector, monitor});
    }
    return offers;
}

std::string offerQuestion(const ChannelOffer& offer, const std::string& jigPort) {
    const std::string where = offer.device + (offer.connector.empty() ? "" : " (" + offer.connector + ")");
    return "The interface board's parallel port " + jigPort + " cannot be used, but a monitor, " + offer.monitor +
           ", answers on the display channel " + where +
           ". Work through that channel (models in MasterRead mode only)? The choice is kept for the next start; "
           "--port always wins.";
}

std::optional<std::string> rememberedPort(const std::string& configHome) {
    if (configHome.empty()) return std::nullopt;
    const platform::FileRead read = platform::readFilePrefix(portFile(configHome), kMaxRememberedBytes);
    if (!read.ok) return std::nullopt;
    std::string port = read.bytes.substr(0, read.bytes.find('\n'));
    if (port.empty()) return std::nullopt;
    return port;
}

bool rememberPort(const std::string& configHome, const std::string& port) {
    if (configHome.empty() || port.empty() || port.size() >= kMaxRememberedBytes) return false;
    std::error_code error;
    std::filesystem::create_directories(configHome + "/velmora-jig", error);
    std::optional<platform::ReplacingFile> file = platform::ReplacingFile::create(portFile(configHome));
    return file && file->commit(port + "\n");
}

}  // namespace velmora::console
