// velmora-jigctl on /dev/parport0 (ppdev, major 99): the program's own
// open(), PPCLAIM, PPWDATA, PPRSTATUS and PPRELEASE reach the bench's
// interface board through the emulated node, and what the kernel may answer
// instead (a node the user may not open, a port another program holds)
// ends with its remedy.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>

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

struct PortRow {
    const char* name = "";
    std::vector<std::string> arguments{};  // after --port /dev/parport0
    int status = 0;
    std::string out{};  // expected within standard output
    std::string err{};  // expected within standard error
    NodeFaults faults{};
    mode_t mode = 0;           // 0: as udev leaves it (crw-rw---- root:lp)
    const char* benchFault = "";
    const char* jsonKey = "";  // --json: this member holds jsonValue
    int jsonValue = 0;
    const char* port = "/dev/parport0";
    std::optional<std::pair<int, int>> vcpAfter{};    // code, value the monitor holds afterwards
    std::optional<std::array<int, 3>> memoryAfter{};  // page, address, value
};

void PrintTo(const PortRow& row, std::ostream* out) { *out << row.name; }

// What every run must leave on the node: one read-write descriptor that
// does not leak into children, the claim before any register call, and
// the release at the end of a claim that was granted.
void expectPortDiscipline(const NodeRecord& record, bool opened) {
    if (!opened) {
        EXPECT_TRUE(record.calls.empty()) << record.requestNames();
        return;
    }
    ASSERT_EQ(record.openFlags.size(), 1U);
    EXPECT_EQ(record.openFlags[0], O_RDWR | O_CLOEXEC) << std::oct << record.openFlags[0];
    ASSERT_FALSE(record.calls.empty());
    EXPECT_EQ(record.calls.front().request, PPCLAIM) << record.requestNames();
    EXPECT_EQ(record.count(PPCLAIM), 1U);
    for (const NodeCall& call : record.calls) {
        EXPECT_TRUE(call.request == PPCLAIM || call.request == PPWDATA || call.request == PPRSTATUS ||
                    call.request == PPRELEASE)
            << requestName(call.request);
        if (call.request != PPCLAIM) {
            EXPECT_EQ(call.error, 0) << requestName(call.request);
        }
    }
    const NodeCall& claim = record.calls.front();
    if (claim.answered && claim.error == 0) {
        EXPECT_EQ(record.calls.back().request, PPRELEASE) << record.requestNames();
        EXPECT_EQ(record.count(PPRELEASE), 1U);
    } else {
        EXPECT_EQ(record.calls.size(), 1U) << "nothing after a claim that failed: " << record.requestNames();
    }
}

class ParallelPortNode : public ::testing::TestWithParam<PortRow> {};

TEST_P(ParallelPortNode, RunsThroughTheKernelCalls) {
    const PortRow& row = GetParam();
    NodeMachine machine;
    machine.faults("parport0") = row.faults;
    if (row.mode != 0) machine.setMode("parport0", row.mode);
    if (*row.benchFault != '\0') {
        ASSERT_EQ(machine.bench("parport0")->applyFault(row.benchFault), "");
    }
    std::vector<std::string> arguments{"--port", row.port};
    arguments.insert(arguments.end(), row.arguments.begin(), row.arguments.end());

    const ProcessResult result = machine.run(VELMORA_JIGCTL, arguments);
    expectOutcome(result, {row.name, row.status, row.out, row.err, row.jsonKey, row.jsonValue});
    // The values reach the bench's monitor, not only an OK.
    const bench::VirtualBench& bench = *machine.bench("parport0");
    if (row.vcpAfter) {
        EXPECT_EQ(bench.monitor.vcp[row.vcpAfter->first].current, row.vcpAfter->second);
    }
    if (row.memoryAfter) {
        const auto [page, address, value] = *row.memoryAfter;
        EXPECT_EQ(bench.monitor.memory[page][address], value);
    }
    expectPortDiscipline(machine.record("parport0"), row.mode == 0);
    // A claim that never returns ends with the limit and the grace after
    // it, not when the other program lets go.
    if (row.faults.claimNeverReturns) {
        EXPECT_GE(result.elapsed, std::chrono::milliseconds(2000));
        EXPECT_LT(result.elapsed, std::chrono::milliseconds(4500));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Jigctl, ParallelPortNode,
    ::testing::Values(
        PortRow{"ReadVcp", {"read-vcp", "10"}, 0, "VCP 10: current  50 (32h), maximum 100 (64h)  Brightness\n", ""},
        PortRow{"ReadVcpJson", {"--json", "read-vcp", "10"}, 0, "", "", {}, 0, "", "current", 50},
        PortRow{.name = "SetVcp", .arguments = {"set-vcp", "10", "20"}, .status = 0, .out = "OK\n", .port = "parport0",
                .vcpAfter = {{0x10, 20}}},
        PortRow{"ReadMem", {"read-mem", "1", "10"}, 0, "193 (C1h)\n", ""},
        PortRow{.name = "WriteMemJson", .arguments = {"--json", "--no-backup", "write-mem", "1", "10", "0x55"}, .status = 0,
                .jsonKey = "value", .jsonValue = 0x55, .memoryAfter = {{1, 0x10, 0x55}}},
        PortRow{"Edid", {"edid"}, 0, "00 FF FF FF FF FF FF 00 ", ""},
        PortRow{"CrtTime", {"crt-time"}, 0, "  3001 hour(s) 10 minute(s).  \n", ""},
        PortRow{"RunFunction", {"--model", VELMORA_SAMPLE_MODELS_DIR "vm1795.mdl", "run", "1C"}, 0, "OK\n", ""},
        PortRow{"SlaveReceive", {"--protocol", "slave", "read-vcp", "12"}, 0, "VCP 12: current  80", ""},
        // (Without the board the line tests poll the status some 46,000
        // times: seconds through an emulated node, so that case stays on the
        // bench.)
        PortRow{"NoMonitor", {"read-vcp", "10"}, 1, "", "Monitor is not Connected", {}, 0, "no-monitor"},
        // The kernel's answers.
        PortRow{"NotInLpGroup", {"read-vcp", "10"}, 1, "",
                "/dev/parport0: Permission denied. Add your user to the lp group", {}, 0060},
        PortRow{"ReadableOnly", {"read-vcp", "10"}, 1, "", "/dev/parport0: Permission denied.", {}, 0440},
        PortRow{"ClaimBusy", {"read-vcp", "10"}, 1, "",
                "/dev/parport0: Device or resource busy. Another program holds the port", {.claimError = EBUSY}},
        PortRow{"ClaimLate", {"read-vcp", "10"}, 0, "VCP 10: current  50", "", {.claimDelayMs = 300}},
        PortRow{"ClaimNeverReturns", {"read-vcp", "10"}, 1, "",
                "/dev/parport0: the port was not free within 2000 ms. Another program holds the port",
                {.claimNeverReturns = true}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParallelPortNodeMissing, SaysWhichModulesToLoad) {
    NodeMachine machine;
    const ProcessResult result = machine.run(VELMORA_JIGCTL, {"--port", "/dev/parport7", "read-vcp", "10"});
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(contains(result.err, "/dev/parport7: No such file or directory. No parallel port found; load the "
                                     "parport_pc and ppdev modules."))
        << result.err;
    EXPECT_TRUE(machine.record("parport0").calls.empty());
}

}  // namespace
}  // namespace velmora::tests::nodes
