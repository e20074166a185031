#include "platform/display_adapters.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>

namespace velmora::platform {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxAdapters = 1024;
constexpr int kMaxAncestors = 32;

std::string firstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

bool contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

// N of "i2c-N", or -1.
int adapterNumber(std::string_view name) {
    if (!name.starts_with("i2c-") || name.size() == 4 || name.size() > 10) return -1;
    int number = 0;
    for (const char c : name.substr(4)) {
        if (std::isdigit(static_cast<unsigned char>(c)) == 0) return -1;
        number = number * 10 + (c - '0');
    }
    return number;
}

// Connector names by adapter number, from every /sys/class/drm/cardN-NAME:
// its `ddc` link (the connector's DDC bus), or an i2c-N folder of its own
// (the DP AUX channel's i2c adapter).
std::map<int, std::string> connectorsByAdapter(const std::string& sysfsRoot) {
    std::map<int, std::string> connectors;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(fs::path(sysfsRoot) / "class/drm", error)) {
        const std::string folder = entry.path().filename().string();
        const std::size_t dash = folder.find('-');
        if (!folder.starts_with("card") || dash == std::string::npos) continue;
        const std::string connector = folder.substr(dash + 1);
        std::error_code linkError;
        const fs::path ddc = fs::canonical(entry.path() / "ddc", linkError);
        if (!linkError) {
            if (const int number = adapterNumber(ddc.filename().string()); number >= 0) connectors[number] = connector;
        }
        std::error_code listError;
        for (const auto& child : fs::directory_iterator(entry.path(), listError)) {
            if (const int number = adapterNumber(child.path().filename().string()); number >= 0) {
                connectors.try_emplace(number, connector);
            }
        }
    }
    return connectors;
}

AdapterKind kindOf(const fs::path& adapterFolder, const std::string& name, bool hasConnector) {
    if (contains(name, "SMBus") || contains(name, "smbus")) return AdapterKind::SmBus;
    if (contains(name, "SMU") || contains(name, "Synopsys DesignWare") || contains(name, "PSP")) {
        return AdapterKind::GpuInternal;
    }
    if (hasConnector) return AdapterKind::DisplayChannel;
    // The nearest ancestor that is a PCI function (it has a class) or a USB
    // device (it has an idVendor) tells what carries the bus.
    std::error_code error;
    fs::path folder = fs::canonical(adapterFolder, error);
    if (error) return AdapterKind::Other;
    for (int up = 0; up < kMaxAncestors && folder.has_parent_path() && folder != folder.root_path(); ++up) {
        folder = folder.parent_path();
        if (fs::exists(folder / "idVendor", error)) return AdapterKind::Usb;
        if (fs::exists(folder / "class", error) && fs::exists(folder / "vendor", error)) {
            const std::string pciClass = firstLine(folder / "class");
            if (pciClass.starts_with("0x03")) return AdapterKind::DisplayChannel;
            if (pciClass.starts_with("0x0c05")) return AdapterKind::SmBus;
            return AdapterKind::Other;
        }
    }
    return AdapterKind::Other;
}

I2cAdapterInfo describe(const fs::path& adapterFolder, int number, const std::map<int, std::string>& connectors) {
    I2cAdapterInfo info;
    info.number = number;
    info.name = firstLine(adapterFolder / "name");
    const auto connector = connectors.find(number);
    if (connector != connectors.end()) info.connector = connector->second;
    info.kind = kindOf(adapterFolder, info.name, connector != connectors.end());
    return info;
}

}  // namespace

std::string_view adapterKindName(AdapterKind kind) {
    switch (kind) {
    case AdapterKind::DisplayChannel: return "display channel";
    case AdapterKind::Usb: return "USB I2C adapter";
    case AdapterKind::SmBus: return "SMBus";
    case AdapterKind::GpuInternal: return "a GPU's or SoC's internal bus";
    case AdapterKind::Other: return "not a display channel";
    }
    return "not a display channel";
}

std::vector<I2cAdapterInfo> listI2cAdapters(const std::string& sysfsRoot) {
    const auto connectors = connectorsByAdapter(sysfsRoot);
    std::vector<I2cAdapterInfo> adapters;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(fs::path(sysfsRoot) / "bus/i2c/devices", error)) {
        const int number = adapterNumber(entry.path().filename().string());
        if (number < 0) continue;  // a client device such as 3-0050
        if (adapters.size() == kMaxAdapters) break;
        adapters.push_back(describe(entry.path(), number, connectors));
    }
    std::sort(adapters.begin(), adapters.end(), [](const auto& a, const auto& b) { return a.number < b.number; });
    return adapters;
}

std::optional<I2cAdapterInfo> describeI2cAdapter(int number, const std::string& sysfsRoot) {
    const fs::path folder = fs::path(sysfsRoot) / "bus/i2c/devices" / ("i2c-" + std::to_string(number));
    std::error_code error;
    if (number < 0 || !fs::exists(folder, error)) return std::nullopt;
    return describe(folder, number, connectorsByAdapter(sysfsRoot));
}

std::optional<int> adapterOfConnector(std::string_view connector, const std::string& sysfsRoot) {
    if (connector.empty()) return std::nullopt;
    for (const auto& [number, name] : connectorsByAdapter(sysfsRoot)) {
        if (name == connector) return number;
    }
    // With the card: "card0-VGA-1".
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(fs::path(sysfsRoot) / "class/drm", error)) {
        if (entry.path().filename().string() != connector) continue;
        const std::size_t dash = connector.find('-');
        if (dash == std::string_view::npos) break;
        return adapterOfConnector(connector.substr(dash + 1), sysfsRoot);
    }
    return std::nullopt;
}

}  // namespace velmora::platform
