#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::platform {

// What an i2c adapter of this machine is, read from sysfs. Only a graphics
// card's display channel is probed on its own: a write to an SMBus may reach
// a memory module's SPD EEPROM, and on some cards a transfer on the GPU's
// power-management bus (the AMD SMU) hangs the GPU.
enum class AdapterKind {
    DisplayChannel,  // a graphics card's DDC bus (parent PCI class 03xxxx, or a DRM connector's ddc)
    Usb,             // a USB I2C adapter: used when named with --port, never probed
    SmBus,           // a chipset SMBus controller (i801, piix4, ...)
    GpuInternal,     // a GPU's own management bus (AMD SMU), a SoC bus (DesignWare)
    Other,           // anything else: not probed
};

std::string_view adapterKindName(AdapterKind kind);

struct I2cAdapterInfo {
    int number = -1;          // N of /dev/i2c-N
    std::string name;         // the driver's name for it ("AMDGPU DM i2c hw bus 1")
    AdapterKind kind = AdapterKind::Other;
    std::string connector;    // the DRM connector it serves ("DVI-I-1"), empty when none
};

// Every i2c adapter under `sysfsRoot`/bus/i2c/devices, in the order of its
// number; bounded to the first 1024.
std::vector<I2cAdapterInfo> listI2cAdapters(const std::string& sysfsRoot = "/sys");

// The adapter i2c-`number`, or nullopt when sysfs has no such adapter.
std::optional<I2cAdapterInfo> describeI2cAdapter(int number, const std::string& sysfsRoot = "/sys");

// The adapter number of a DRM connector named as xrandr and the kernel name
// it ("VGA-1", "DVI-I-1", or with the card "card0-VGA-1"); nullopt when no
// such connector has a DDC bus.
std::optional<int> adapterOfConnector(std::string_view connector, const std::string& sysfsRoot = "/sys");

}  // namespace velmora::platform
