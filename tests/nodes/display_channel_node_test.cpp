// velmora-jigctl on the i2c-dev nodes (major 89) of the emulated PC: the
// program's own open() and I2C_RDWR reach the bench's monitor behind an
// Intel and an AMD display channel, and what other drivers and a failing
// kernel answer (an SMBus, NVIDIA's own driver, an empty bus, a node the
// user may not open, a busy or stuck adapter) ends with its remedy.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/i2c-dev.h>

#include <array>
#include <optional>
#include <utility>

#include <nlohmann/json.hpp>

#include "bench/virtual_bench.h"
#include "expected_outcome.h"
#include "node_machine.h"

namespace velmora::tests::nodes {
namespace {

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

const std::string kModels = VELMORA_SAMPLE_MODELS_DIR;

struct ChannelRow {
    const char* name = "";
    const char* device = "";               // i2c-N
    std::vector<std::string> arguments{};  // after --port /dev/i2c-N
    int status = 0;
    std::string out{};  // expected within standard output
    std::string err{};  // expected within standard error
    int transferError = 0;
    mode_t mode = 0;  // 0: as udev leaves it
    const char* benchFault = "";
    const char* jsonKey = "";  // --json: this member holds jsonValue
    int jsonValue = 0;
    const char* port = nullptr;                       // nullptr: /dev/ and the device
    std::optional<std::pair<int, int>> vcpAfter{};    // code, value the monitor holds afterwards
    std::optional<std::array<int, 3>> memoryAfter{};  // page, address, value
};

void PrintTo(const ChannelRow& row, std::ostream* out) { *out << row.name; }

bool isDisplayAddress(std::uint16_t address) {
    return address == 0x37 || address == 0x50 || address == 0x30;  // DDC/CI, EDID, E-DDC segment
}

// What every run must leave on the node: one read-write descriptor that
// never waits and does not leak into children, the adapter asked what it
// can do before anything else, combined transfers (or I2C_SLAVE with read
// and write where the driver refused them), and nothing addressed but a
// display's own devices.
void expectChannelDiscipline(const NodeRecord& record, bool opened) {
    if (!opened) {
        EXPECT_TRUE(record.openFlags.empty() && record.calls.empty()) << record.requestNames();
        return;
    }
    ASSERT_EQ(record.openFlags.size(), 1U);
    EXPECT_EQ(record.openFlags[0], O_RDWR | O_NONBLOCK | O_CLOEXEC) << std::oct << record.openFlags[0];
    ASSERT_FALSE(record.calls.empty());
    EXPECT_EQ(record.calls.front().request, static_cast<unsigned long>(I2C_FUNCS));
    bool combinedRefused = false;
    for (const NodeCall& call : record.calls) {
        if (&call != &record.calls.front()) {
            const bool plain = call.request == I2C_SLAVE || call.request == NodeCall::kRead || call.request == NodeCall::kWrite;
            EXPECT_TRUE(call.request == I2C_RDWR || (plain && combinedRefused)) << requestName(call.request);
        }
        combinedRefused = combinedRefused || (call.request == I2C_RDWR && call.error == EINVAL);
        for (const I2cMessageRecord& message : call.messages) {
            EXPECT_TRUE(isDisplayAddress(message.address)) << std::hex << message.address;
        }
    }
}

class DisplayChannelNode : public ::testing::TestWithParam<ChannelRow> {};

TEST_P(DisplayChannelNode, RunsThroughTheKernelCalls) {
    const ChannelRow& row = GetParam();
    NodeMachine machine;
    machine.faults(row.device).transferError = row.transferError;
    if (row.mode != 0) machine.setMode(row.device, row.mode);
    if (*row.benchFault != '\0') {
        ASSERT_EQ(machine.bench(row.device)->applyFault(row.benchFault), "");
    }
    std::vector<std::string> arguments{"--port", row.port != nullptr ? row.port : "/dev/" + std::string(row.device)};
    arguments.insert(arguments.end(), row.arguments.begin(), row.arguments.end());

    const ProcessResult result = machine.run(VELMORA_JIGCTL, arguments);
    expectOutcome(result, {row.name, row.status, row.out, row.err, row.jsonKey, row.jsonValue});
    // The values reach the bench's monitor, not only an OK.
    if (row.vcpAfter) {
        EXPECT_EQ(machine.bench(row.device)->monitor.vcp[row.vcpAfter->first].current, row.vcpAfter->second);
    }
    if (row.memoryAfter) {
        const auto [page, address, value] = *row.memoryAfter;
        EXPECT_EQ(machine.bench(row.device)->monitor.memory[page][address], value);
    }
    const NodeRecord record = machine.record(row.device);
    expectChannelDiscipline(record, row.mode == 0);
    // A run that succeeded went over the bus; one the driver refused put nothing on it.
    if (row.status == 0) {
        EXPECT_GT(record.messagesOnTheBus(), 0U);
    }
    if (row.transferError == EOPNOTSUPP || row.transferError == EINVAL) {
        EXPECT_EQ(record.messagesOnTheBus(), 0U);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Jigctl, DisplayChannelNode,
    ::testing::Values(
        // The bench monitor behind i915's gmbus (i2c-2) and amdgpu's DM bus (i2c-5).
        ChannelRow{"ReadVcp", "i2c-2", {"--protocol", "ddc2bi", "read-vcp", "10"}, 0,
                   "VCP 10: current  50 (32h), maximum 100 (64h)  Brightness\n", ""},
        ChannelRow{"ReadVcpJson", "i2c-5", {"--json", "--protocol", "ddc2bi", "read-vcp", "12"}, 0, "", "", 0, 0, "",
                   "current", 80},
        ChannelRow{.name = "SetVcp", .device = "i2c-5", .arguments = {"--protocol", "ddc2bi", "set-vcp", "10", "20"},
                   .status = 0, .out = "OK\n", .port = "i2c-5", .vcpAfter = {{0x10, 20}}},
        ChannelRow{"ReadMem", "i2c-2", {"--any-monitor", "read-mem", "1", "10"}, 0, "193 (C1h)\n", ""},
        ChannelRow{.name = "WriteMemJson", .device = "i2c-5",
                   .arguments = {"--json", "--any-monitor", "--no-backup", "write-mem", "1", "10", "0x55"}, .status = 0,
                   .jsonKey = "value", .jsonValue = 0x55, .memoryAfter = {{1, 0x10, 0x55}}},
        ChannelRow{"Edid", "i2c-2", {"--protocol", "ddc2bi", "edid"}, 0, "00 FF FF FF FF FF FF 00 ", ""},
        ChannelRow{"EdidDecoded", "i2c-5", {"--protocol", "ddc2bi", "edid", "--decode"}, 0, "VELMORA CRT", ""},
        ChannelRow{"CrtTime", "i2c-5", {"--any-monitor", "crt-time"}, 0, "  3001 hour(s) 10 minute(s).  \n", ""},
        ChannelRow{"ModeSaveOfTheModelsMonitor", "i2c-5", {"--model", kModels + "vm1995pro.mdl", "--no-backup", "run", "18"}, 0,
                   "OK\n", ""},
        ChannelRow{"FactoryRequestWithoutModel", "i2c-5", {"write-mem", "1", "10", "0x55"}, 1, "",
                   "Factory request not sent: the monitor on /dev/i2c-5 is VLM 1734h"},
        ChannelRow{.name = "ConnectorName", .device = "i2c-5", .arguments = {"read-vcp", "10"}, .status = 0,
                   .out = "VCP 10: current  50", .port = "DP-1"},
        ChannelRow{"RunFunction", "i2c-2", {"--model", kModels + "vm1995pro.mdl", "run", "1C"}, 0, "OK\n", ""},
        // NVIDIA's own driver refuses combined transfers: I2C_SLAVE with write() and read() instead.
        ChannelRow{"NvidiaProprietary", "i2c-7", {"read-vcp", "10"}, 0, "VCP 10: current  50", ""},
        ChannelRow{"NoMonitor", "i2c-5", {"--protocol", "ddc2bi", "read-vcp", "10"}, 1, "",
                   "No monitor answers on this display channel", 0, 0, "no-monitor"},
        // The kernel's answers.
        ChannelRow{"NotInI2cGroup", "i2c-2", {"read-vcp", "10"}, 1, "",
                   "/dev/i2c-2: Permission denied. The udev rule 70-velmora-jig-i2c.rules opens", 0, 0400},
        ChannelRow{"AdapterBusy", "i2c-5", {"--protocol", "ddc2bi", "read-vcp", "10"}, 1, "",
                   "/dev/i2c-5: Device or resource busy. A kernel driver holds the monitor's DDC/CI address", EBUSY},
        ChannelRow{"LineHeld", "i2c-5", {"--protocol", "ddc2bi", "read-vcp", "10"}, 1, "",
                   "/dev/i2c-5: Connection timed out. The bus is stuck", ETIMEDOUT},
        ChannelRow{"TransferRefused", "i2c-2", {"--protocol", "ddc2bi", "set-vcp", "10", "20"}, 1, "",
                   "/dev/i2c-2: Invalid argument. The display channel cannot be used.", EINVAL},
        ChannelRow{"NotSupported", "i2c-2", {"--protocol", "ddc2bi", "edid"}, 1, "",
                   "/dev/i2c-2: Operation not supported.", EOPNOTSUPP}),
    [](const auto& info) { return std::string(info.param.name); });

// A model whose monitor replies as bus master is refused before anything
// goes out on the channel.
TEST(DisplayChannelNodeCalls, SlaveReceiveModelSendsNothing) {
    NodeMachine machine;
    const std::vector<std::string> arguments{"--port", "/dev/i2c-2", "--model", kModels + "vm2195.mdl", "crt-time"};
    const ProcessResult result = machine.run(VELMORA_JIGCTL, arguments);
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(contains(result.err, "SlaveReceive mode")) << result.err;
    EXPECT_EQ(machine.record("i2c-2").requestNames(), "I2C_FUNCS");
}

// --- Buses that are no display's, and a missing node ---------------------------

struct OtherBusRow {
    const char* name;
    const char* device;
    int status;
    std::string err;
};

void PrintTo(const OtherBusRow& row, std::ostream* out) { *out << row.name; }

class OtherBusNode : public ::testing::TestWithParam<OtherBusRow> {};

TEST_P(OtherBusNode, RefusesWithTheDriversAnswer) {
    const OtherBusRow& row = GetParam();
    NodeMachine machine;
    const std::string port = "/dev/" + std::string(row.device);
    const ProcessResult result =
        machine.run(VELMORA_JIGCTL, {"--port", port, "--protocol", "ddc2bi", "read-vcp", "10"});
    EXPECT_EQ(result.status, row.status) << result.err;
    EXPECT_TRUE(contains(result.err, row.err)) << result.err;
    EXPECT_TRUE(result.out.empty()) << result.out;
}

INSTANTIATE_TEST_SUITE_P(
    Jigctl, OtherBusNode,
    ::testing::Values(
        OtherBusRow{"I801SmBus", "i2c-0", 1, "/dev/i2c-0: Operation not supported. This adapter is not a display channel"},
        OtherBusRow{"Piix4SmBus", "i2c-1", 1, "/dev/i2c-1: Operation not supported. This adapter is not a display channel"},
        OtherBusRow{"I915VgaNothingPlugged", "i2c-3", 1, "/dev/i2c-3: No such device or address. No monitor answers"},
        OtherBusRow{"NouveauDisconnected", "i2c-6", 1, "No monitor answers"},
        OtherBusRow{"UsbAdapterEmpty", "i2c-8", 1, "No monitor answers"},
        OtherBusRow{"Missing", "i2c-12", 1, "/dev/i2c-12: No such file or directory. No such display channel; load the "
                                            "i2c-dev module (sudo modprobe i2c-dev)"}),
    [](const auto& info) { return std::string(info.param.name); });

// An SMBus controller says it cannot do plain I2C: whatever the program
// asks, it asks that first and sends nothing to the memory modules on it.
TEST(OtherBusNodeRecords, NothingReachesAnSmBus) {
    NodeMachine machine;
    for (const char* device : {"i2c-0", "i2c-1"}) {
        const std::string port = "/dev/" + std::string(device);
        for (const auto& command : {std::vector<std::string>{"--protocol", "ddc2bi", "set-vcp", "10", "20"},
                                    std::vector<std::string>{"--protocol", "ddc2bi", "edid"}}) {
            std::vector<std::string> arguments{"--port", port};
            arguments.insert(arguments.end(), command.begin(), command.end());
            EXPECT_EQ(machine.run(VELMORA_JIGCTL, arguments).status, 1) << device;
        }
        const NodeRecord record = machine.record(device);
        EXPECT_EQ(record.requestNames(), "I2C_FUNCS") << device;
        EXPECT_EQ(record.messagesOnTheBus(), 0U) << device;
    }
}

// --- What each driver answers a program that asks first --------------------------
// (I2C_FUNCS, then I2C_SLAVE with write() and read(), as i2c-tools do.)

struct DriverRow {
    const char* device;
    std::string answer;  // i2c_probe's output
};

void PrintTo(const DriverRow& row, std::ostream* out) { *out << row.device; }

class DriverAnswers : public ::testing::TestWithParam<DriverRow> {};

TEST_P(DriverAnswers, AsTheKernelDriverWould) {
    NodeMachine machine;
    const ProcessResult result = machine.run(VELMORA_I2C_PROBE, {"/dev/" + std::string(GetParam().device)});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, GetParam().answer);
}

INSTANTIATE_TEST_SUITE_P(
    Probe, DriverAnswers,
    ::testing::Values(DriverRow{"i2c-0", "functions SMBUS\nread error EOPNOTSUPP\n"},
                      DriverRow{"i2c-3", "functions I2C\nread error ENXIO\n"},
                      DriverRow{"i2c-4", "functions I2C\nread 03 0A 11 18 1F 26 2D 34\n"},
                      DriverRow{"i2c-5", "functions I2C\nread 00 FF FF FF FF FF FF 00\n"},
                      DriverRow{"i2c-7", "functions I2C\nread 00 FF FF FF FF FF FF 00\n"}),
    [](const auto& info) { return "Node" + std::string(info.param.device).substr(4); });

}  // namespace
}  // namespace velmora::tests::nodes
