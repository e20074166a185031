// Adapters of real machines laid out as their drivers lay out sysfs: which
// are display channels to probe, and which connector each one serves.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include <unistd.h>

#include "platform/display_adapters.h"
#include "platform/port_choice.h"

namespace velmora::platform {
namespace {

namespace fs = std::filesystem;

struct Adapter {
    int number;
    const char* parent;       // the device folder under devices/ that carries the bus
    const char* parentClass;  // its PCI class; "usb" for a USB device; "" for neither
    const char* name;         // as the driver names the adapter
    const char* connector;    // the DRM connector whose ddc is this bus, or ""
    bool auxChild;            // the adapter's folder lies inside the connector's (DP AUX)
    AdapterKind kind;
};

// One machine: an AMD card (DM buses beside its SMU bus), an Intel GPU's
// gmbus, nouveau, the NVIDIA proprietary driver, two SMBus controllers, a USB
// adapter, a DesignWare SoC bus and an Intel DP AUX channel.
constexpr Adapter kMachine[] = {
    {0, "pci0000:00/0000:00:1f.4", "0x0c0500", "SMBus I801 adapter at efa0", "", false, AdapterKind::SmBus},
    {1, "pci0000:00/0000:00:14.0", "0x0c0500", "SMBus PIIX4 adapter port 0 at 0b00", "", false, AdapterKind::SmBus},
    {2, "pci0000:00/0000:00:01.0/0000:01:00.0", "0x030000", "AMDGPU SMU 0", "", false, AdapterKind::GpuInternal},
    {3, "pci0000:00/0000:00:01.0/0000:01:00.0", "0x030000", "AMDGPU DM i2c hw bus 0", "DVI-I-1", false,
     AdapterKind::DisplayChannel},
    {4, "pci0000:00/0000:00:01.0/0000:01:00.0", "0x030000", "AMDGPU DM i2c hw bus 1", "", false,
     AdapterKind::DisplayChannel},
    {5, "pci0000:00/0000:00:02.0", "0x030000", "i915 gmbus dpc", "VGA-1", false, AdapterKind::DisplayChannel},
    {6, "pci0000:00/0000:00:02.0", "0x030000", "DPDDC-B", "DP-1", true, AdapterKind::DisplayChannel},
    {7, "pci0000:00/0000:00:03.0/0000:02:00.0", "0x030200", "nvkm-0000:02:00.0-bus-0005", "", false,
     AdapterKind::DisplayChannel},
    {8, "pci0000:00/0000:00:03.1/0000:03:00.0", "0x030000", "NVIDIA i2c adapter 1 at 3:00.0", "", false,
     AdapterKind::DisplayChannel},
    {9, "pci0000:00/0000:00:08.1/0000:05:00.3/usb1/1-2", "usb", "i2c-tiny-usb at bus 001 device 005", "", false, AdapterKind::Usb},
    {10, "platform/AMDI0010:00", "", "Synopsys DesignWare I2C adapter", "", false, AdapterKind::GpuInternal},
    {11, "platform/serial8250", "", "some other bus", "", false, AdapterKind::Other},
};

class MachineSysfs : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("velmora-sysfs-" + std::to_string(::getpid()));
        fs::remove_all(root);
        for (const Adapter& adapter : kMachine) add(adapter);
    }
    void TearDown() override { fs::remove_all(root); }

    static void write(const fs::path& file, const std::string& text) {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << text << "\n";
    }

    void add(const Adapter& adapter) {
        const fs::path parent = root / "devices" / adapter.parent;
        const std::string folder = "i2c-" + std::to_string(adapter.number);
        if (std::string(adapter.parentClass) == "usb") {
            write(parent / "idVendor", "0403");
        } else if (*adapter.parentClass != 0) {
            write(parent / "class", adapter.parentClass);
            write(parent / "vendor", "0x1002");
        }
        const fs::path connector = root / "class/drm" / ("card0-" + std::string(adapter.connector));
        const fs::path bus = adapter.auxChild ? root / "devices" / adapter.parent / "drm/card0" /
                                                    ("card0-" + std::string(adapter.connector)) / folder
                                              : parent / folder;
        write(bus / "name", adapter.name);
        fs::create_directories(root / "bus/i2c/devices");
        fs::create_directory_symlink(bus, root / "bus/i2c/devices" / folder);
        if (*adapter.connector == 0) return;
        fs::create_directories(root / "class/drm");
        if (adapter.auxChild) {
            fs::create_directory_symlink(bus.parent_path(), connector);
        } else {
            fs::create_directories(connector);
            fs::create_directory_symlink(bus, connector / "ddc");
        }
    }

    fs::path root;
};

TEST_F(MachineSysfs, EachAdapterIsKnownForWhatItIs) {
    const auto adapters = listI2cAdapters(root.string());
    ASSERT_EQ(adapters.size(), std::size(kMachine));
    for (std::size_t i = 0; i < adapters.size(); ++i) {
        const Adapter& expected = kMachine[i];
        EXPECT_EQ(adapters[i].number, expected.number);
        EXPECT_EQ(adapters[i].name, expected.name);
        EXPECT_EQ(adapterKindName(adapters[i].kind), adapterKindName(expected.kind)) << expected.name;
        EXPECT_EQ(adapters[i].connector, expected.connector) << expected.name;
    }
}

TEST_F(MachineSysfs, ConnectorsNameTheirBus) {
    struct Row {
        const char* connector;
        std::optional<int> adapter;
    };
    for (const Row& row : {Row{"DVI-I-1", 3}, Row{"VGA-1", 5}, Row{"card0-VGA-1", 5}, Row{"DP-1", 6},
                           Row{"HDMI-A-1", std::nullopt}, Row{"", std::nullopt}}) {
        EXPECT_EQ(adapterOfConnector(row.connector, root.string()), row.adapter) << row.connector;
    }
    EXPECT_EQ(describeI2cAdapter(5, root.string())->connector, "VGA-1");
    // --port takes a connector's name for its display channel.
    const PortChoice chosen = choosePort("DVI-I-1", root.string());
    EXPECT_EQ(chosen.kind, PortKind::DisplayChannel);
    EXPECT_EQ(chosen.device, "/dev/i2c-3");
    EXPECT_FALSE(describeI2cAdapter(42, root.string()).has_value());
}

}  // namespace
}  // namespace velmora::platform
