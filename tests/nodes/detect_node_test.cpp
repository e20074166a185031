// velmora-jigctl detect on the emulated PC: the nodes under /dev, each
// adapter named as /sys/class/i2c-dev gives it (a link into the card's own
// device tree), and what each probe left on each node.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/i2c-dev.h>

#include <algorithm>

#include "node_machine.h"

namespace velmora::tests::nodes {
namespace {

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

bool addressed(const NodeRecord& record, std::uint16_t address) {
    return std::any_of(record.calls.begin(), record.calls.end(), [&](const NodeCall& call) {
        return std::any_of(call.messages.begin(), call.messages.end(),
                           [&](const I2cMessageRecord& message) { return message.address == address; });
    });
}

struct DetectRow {
    const char* device;
    std::string line;   // expected within standard output
    std::string calls;  // the kinds of call the node saw, in order; empty: never opened
    bool ddcci;         // whether DDC/CI at 0x37 was asked
};

// One run of detect over the whole machine: only the graphics cards'
// display channels are opened; an SMBus, the GPU's SMU bus and a USB adapter
// are named and left alone.
const DetectRow kWholeMachine[] = {
    {"i2c-0", "/dev/i2c-0 (SMBus I801 adapter at efa0): not probed: SMBus\n", "", false},
    {"i2c-1", "/dev/i2c-1 (SMBus PIIX4 adapter port 0 at 0b00): not probed: SMBus\n", "", false},
    {"i2c-2",
     "/dev/i2c-2 (i915 gmbus dpb, connector HDMI-A-1): EDID at 0x50: VELMORA CRT, manufacturer VLM, product 1734h, "
     "serial 74565; DDC/CI at 0x37: answers\n",
     "I2C_FUNCS I2C_RDWR", true},
    {"i2c-3", "/dev/i2c-3 (i915 gmbus vga, connector VGA-1): no EDID at 0x50\n", "I2C_FUNCS I2C_RDWR", false},
    {"i2c-4", "/dev/i2c-4 (AMDGPU SMU 0): not probed: a GPU's or SoC's internal bus\n", "", false},
    {"i2c-5",
     "/dev/i2c-5 (AMDGPU DM i2c hw bus 0, connector DP-1): EDID at 0x50: VELMORA CRT, manufacturer VLM, product "
     "1734h, serial 74565; DDC/CI at 0x37: answers\n",
     "I2C_FUNCS I2C_RDWR", true},
    {"i2c-6", "/dev/i2c-6 (nvkm-0000:04:00.0-bus-0005, connector DVI-I-1): no EDID at 0x50\n", "I2C_FUNCS I2C_RDWR",
     false},
    // NVIDIA's driver refuses combined transfers: I2C_SLAVE and read()/write() instead.
    {"i2c-7",
     "/dev/i2c-7 (NVIDIA i2c adapter 1 at 5:00.0): EDID at 0x50: VELMORA CRT, manufacturer VLM, product 1734h, "
     "serial 74565; DDC/CI at 0x37: answers\n",
     "I2C_FUNCS I2C_RDWR I2C_SLAVE", true},
    {"i2c-8", "/dev/i2c-8 (i2c-tiny-usb at bus 001 device 005): not probed: USB I2C adapter; name it with --port to use it\n", "",
     false},
};

TEST(DetectNode, ProbesOnlyTheDisplayChannels) {
    NodeMachine machine;
    const ProcessResult result = machine.run(VELMORA_JIGCTL, {"detect"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(contains(result.out, "/dev/parport0: the interface board answers its line test; EDID at 0xA0: "
                                     "VELMORA CRT, manufacturer VLM"))
        << result.out;
    for (const DetectRow& row : kWholeMachine) {
        SCOPED_TRACE(row.device);
        EXPECT_TRUE(contains(result.out, row.line)) << result.out;
        const NodeRecord record = machine.record(row.device);
        EXPECT_EQ(record.openFlags.size(), row.calls.empty() ? 0U : 1U);
        EXPECT_TRUE(record.requestNames().starts_with(row.calls)) << record.requestNames();
        EXPECT_EQ(addressed(record, 0x37), row.ddcci);
        if (row.calls.empty()) {
            EXPECT_EQ(record.messagesOnTheBus(), 0U);
        }
    }
}

// What a technician meets on a PC where the channels are not theirs to use
// and the port is held: every node still gets its line, and detect says no
// monitor answered.
TEST(DetectNode, NamesWhatStoodInTheWay) {
    NodeMachine machine;
    machine.faults("parport0").claimError = EBUSY;
    for (const char* device : {"i2c-2", "i2c-5", "i2c-7"}) machine.setMode(device, 0400);
    const ProcessResult result = machine.run(VELMORA_JIGCTL, {"detect"});
    EXPECT_EQ(result.status, 1) << result.out;
    EXPECT_TRUE(contains(result.err, "no monitor answered")) << result.err;
    for (const char* line : {"/dev/i2c-2 (i915 gmbus dpb, connector HDMI-A-1): cannot open: /dev/i2c-2: Permission "
                             "denied.",
                             "/dev/i2c-5 (AMDGPU DM i2c hw bus 0, connector DP-1): cannot open: /dev/i2c-5: Permission "
                             "denied.",
                             "/dev/parport0: velmora: cannot claim the parallel port /dev/parport0: Device or "
                             "resource busy. Another program holds the port"}) {
        EXPECT_TRUE(contains(result.out, line)) << line << "\n" << result.out;
    }
    EXPECT_TRUE(machine.record("i2c-2").calls.empty());
    EXPECT_EQ(machine.record("parport0").requestNames(), "PPCLAIM");
}

}  // namespace
}  // namespace velmora::tests::nodes
