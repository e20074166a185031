// velmora-jigctl as a technician runs it: a process on the virtual bench,
// its output streams and its exit status.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "bench/virtual_bench.h"
#include "console/page_lists.h"
#include "session/monitor_door.h"
#include "process_runner.h"
#include "apps/velmora-jigctl/jigctl_output.h"
#include "tools/memory_image.h"

namespace velmora::apps::jigctl {
namespace {

namespace fs = std::filesystem;
using testing::ProcessResult;
using testing::joined;
using testing::runJigctl;
using testing::contains;
using testing::sampleModel;

struct CommandRow {
    std::vector<std::string> arguments;
    int status;
    std::string out;  // expected within standard output
    std::string err;  // expected within standard error
};

void PrintTo(const CommandRow& row, std::ostream* out) { *out << joined(row.arguments); }

class Commands : public ::testing::TestWithParam<CommandRow> {};

TEST_P(Commands, PrintAndExitAsTheyShould) {
    const CommandRow& row = GetParam();
    const ProcessResult result = runJigctl(row.arguments);
    const std::string shown = joined(row.arguments) + "\nout: " + result.out + "\nerr: " + result.err;
    EXPECT_EQ(result.status, row.status) << shown;
    EXPECT_TRUE(contains(result.out, row.out)) << shown;
    EXPECT_TRUE(contains(result.err, row.err)) << shown;
    // A failure leaves standard output empty and ends with the program's
    // own line on standard error.
    if (row.status != 0) {
        EXPECT_EQ(result.out, "") << shown;
        EXPECT_TRUE(contains("\n" + result.err, "\nvelmora-jigctl: ")) << shown;
    }
}

INSTANTIATE_TEST_SUITE_P(
    OnTheBench, Commands,
    ::testing::Values(
        CommandRow{{"--bench", "--bench-fault", "no-board", "read-vcp", "10"}, 1, "",
                   "Check Connection of Interface board\n"},
        CommandRow{{"--bench", "read-vcp", "10"}, 0, "VCP 10: current  50 (32h), maximum 100 (64h)  Brightness\n", ""},
        CommandRow{{"--bench", "--bench-fault", "no-monitor", "read-vcp", "0x10"}, 1, "", "Monitor is not Connected"},
        CommandRow{{"--bench", "set-vcp", "10h", "20"}, 0, "OK\n", ""},
        CommandRow{{"--bench", "--read-only", "set-vcp", "E6", "01"}, 2, "", "refused by --read-only"},
        CommandRow{{"--bench", "service", "58"}, 0, "OK\n", ""},
        CommandRow{{"--bench", "service", "E1"}, 1, "", "velmora-jigctl: service: E1: Error\n"},  // E0..EF refused
        CommandRow{{"--bench", "read-mem", "1", "10"}, 0, "193 (C1h)\n", ""},    // 11h + 40h + 7 x 10h
        CommandRow{{"--bench", "read-mem", "1", "0x10"}, 0, "193 (C1h)\n", ""},
        // The access-form probe finds the by-device form the monitor takes.
        CommandRow{{"--bench", "--protocol", "slave", "--bench-fault", "memory-form=bydevice", "read-mem", "0", "0"}, 0,
                   " 17 (11h)\n", ""},
        CommandRow{{"--bench", "write-mem", "1", "10", "55"}, 0, "OK\n", ""},
        CommandRow{{"--bench", "--read-only", "write-mem", "1", "10", "55"}, 2, "", "refused by --read-only"},
        CommandRow{{"--bench", "edid"}, 0, "00 FF FF FF FF FF FF 00 ", ""},
        CommandRow{{"--bench", "edid", "1"}, 1, "", "velmora-jigctl: edid: block 1 could not be read\n"},
        CommandRow{{"--bench", "crt-time"}, 0, "  3001 hour(s) 10 minute(s).  \n", ""},
        CommandRow{{"--bench", "--read-only", "crt-time"}, 0, "  3001 hour(s) 10 minute(s).  \n", ""},
        CommandRow{{"--bench", "--bench-fault", "no-monitor", "crt-time"}, 1, "",
                   "crt-time: Monitor is not Connected\nvelmora-jigctl: crt-time: This Monitor can't support the CRT "
                   "time information\n"},
        CommandRow{{"--bench", "--model", sampleModel("vm1795.mdl"), "run", "1C"}, 0, "OK\n", ""},
        CommandRow{{"--bench", "--bench-fault", "no-monitor", "--model", sampleModel("vm1795.mdl"), "run", "1c"}, 1,
                   "", "Monitor is not Connected\nvelmora-jigctl: run: 1C: Error\n"},
        CommandRow{{"--model", sampleModel("vm1795.mdl"), "timings"}, 0,
                   "VM-1795\n No H(kHz) V(Hz) Pol  Resolution    Velmora Standard\n"
                   "  0  31.47  70.09 NP  720 x  400    2: IBM VGA2 70Hz\n",
                   ""},
        CommandRow{{"--help"}, 0, "save-mem FROMPAGE FROMADDR TOPAGE TOADDR FILE", ""}));

TEST(Trace, ShowsTheWorkedExamplesBytes) {
    // Reading H-POSITION as bus master (the DDC2Bi protocol of the sample model).
    const std::string exchange =
        "PC: S_ 6E 51 82 01 20 9C _E MON: S_ 6F 6E 88 02 00 20 00 00 FF 00 80 EB _E OK.\n";
    for (const auto& arguments : {std::vector<std::string>{"--bench", "--protocol", "ddc2bi", "--trace", "read-vcp", "20"},
                                  std::vector<std::string>{"--bench", "--trace", "--model", sampleModel("vm1795.mdl"),
                                                           "read-vcp", "20"}}) {
        const ProcessResult result = runJigctl(arguments);
        EXPECT_EQ(result.status, 0) << joined(arguments);
        EXPECT_TRUE(contains(result.err, exchange)) << joined(arguments) << "\n" << result.err;
        EXPECT_EQ(result.out, "VCP 20: current 128 (80h), maximum 255 (FFh)  Horizontal Position (Phase)\n");
    }
    // Without the option nothing of the transcript appears.
    EXPECT_EQ(runJigctl({"--bench", "read-vcp", "20"}).err, "");
}

TEST(Trace, ShowsTheEdidBlockRead) {
    const ProcessResult result = runJigctl({"--bench", "--trace", "edid"});
    EXPECT_EQ(result.status, 0);
    EXPECT_TRUE(contains(result.err, "S_ A0 00 S_ A1 00 FF FF FF FF FF FF 00 ")) << result.err;
    EXPECT_TRUE(contains(result.err, " _E\n")) << result.err;
}

struct UsageRow {
    std::vector<std::string> arguments;
    std::string reason;
};

void PrintTo(const UsageRow& row, std::ostream* out) { *out << joined(row.arguments); }

class BadUsage : public ::testing::TestWithParam<UsageRow> {};

TEST_P(BadUsage, ExitsWithTwoAndOneLine) {
    const UsageRow& row = GetParam();
    const ProcessResult result = runJigctl(row.arguments);
    const std::string shown = joined(row.arguments) + "\nerr: " + result.err;
    EXPECT_EQ(result.status, 2) << shown;
    EXPECT_EQ(result.out, "") << shown;
    EXPECT_TRUE(contains(result.err, row.reason)) << shown;
    // One line of reason; with --trace on, no transcript means no exchange.
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << shown;
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, BadUsage,
    ::testing::Values(
        UsageRow{{}, "no command given"}, UsageRow{{"--bench", "frobnicate"}, "frobnicate: unknown command"},
        UsageRow{{"--bench", "--trace", "read-vcp"}, "usage: read-vcp CODE"},
        UsageRow{{"--bench", "--trace", "read-vcp", "100"}, "outside 00..FF"},
        UsageRow{{"--bench", "--trace", "read-vcp", "zz"}, "not a hexadecimal number"},
        UsageRow{{"--bench", "--trace", "read-mem", "4", "00"}, "outside 0..3"},
        UsageRow{{"--bench", "--trace", "read-mem", "1x", "00"}, "\"1x\" is not a number: decimal (50), or hexadecimal"},
        UsageRow{{"--bench", "--trace", "set-vcp", "10", "1A"}, "written 0x32 or 32h"},
        UsageRow{{"--bench", "--trace", "set-vcp", "10", "256"}, "\"256\" is outside 0..255"},
        UsageRow{{"--bench", "--trace", "edid", "256"}, "outside 0..255"},
        UsageRow{{"--bench-fault", "no-board", "read-vcp", "10"}, "--bench-fault needs --bench"},
        UsageRow{{"--bench", "--bench-fault", "bogus", "read-vcp", "10"}, "bogus"},
        UsageRow{{"--bench", "--protocol", "i2c", "read-vcp", "10"}, "ddc2bi or slave"},
        UsageRow{{"--bench", "items"}, "needs --model"},
        UsageRow{{"--bench", "--model", "/nonexistent/x.mdl", "items"}, "cannot load /nonexistent/x.mdl"},
        UsageRow{{"--bench", "--trace", "--model", sampleModel("vm1795.mdl"), "run", "00"}, "is no function of VM-1795"},
        UsageRow{{"--bench", "--trace", "--decode", "read-vcp", "10"}, "--decode is an option of edid only"},
        UsageRow{{"--bench", "--bench=1", "read-vcp", "10"}, "--bench takes no value"},
        UsageRow{{"--bench", "--trace", "save-mem", "0", "20", "0", "1F", "/tmp/never.mem"},
                 "The range ends before it starts"},
        UsageRow{{"--bench", "--trace", "save-mem", "4", "00", "4", "FF", "/tmp/never.mem"},
                 "Page must be 0,1,2, or 3"},
        UsageRow{{"--bench", "--trace", "save-mem", "0", "00", "0", "100", "/tmp/never.mem"},
                 "Addresse must be between 0 and FF"},
        UsageRow{{"--bench", "--trace", "load-mem", "/nonexistent/x.mem"}, "Can't Open File : /nonexistent/x.mem"},
        // A target that cannot be written is refused before the range is read.
        UsageRow{{"--bench", "--trace", "save-mem", "0", "00", "0", "FF", "/tmp"}, "Can't Open File : /tmp"}));

// The items command lists what the console's own list building gives for
// every page of the model, values read on an identical bench.
class Items : public ::testing::TestWithParam<std::string> {};

TEST_P(Items, ListEveryPageAsTheConsoleBuildsIt) {
    const std::string path = sampleModel(GetParam());
    const ProcessResult result = runJigctl({"--bench", "--model", path, "items"});
    ASSERT_EQ(result.status, 0) << result.err;

    bench::VirtualBench bench;
    platform::RecordingMessageSink messages;
    const std::unique_ptr<session::ProgramContext> program =
        session::openWayToMonitor({std::nullopt, &bench}, messages).program;
    ASSERT_EQ(program->loadModel(path), 1);
    std::string expected;
    const int pages = program->model.pageCount();
    ASSERT_GE(pages, 2);
    for (int page = 0; page < pages; ++page) {
        expected += pageListsText(page,
                                  console::buildPageLists(page, program->model, program->interpreter, program->link),
                                  functionItemCodes(page, program->model));
    }
    EXPECT_EQ(result.out, expected) << GetParam();
    EXPECT_TRUE(contains(result.out, "Geometry\n  Items\n")) << GetParam();
    EXPECT_TRUE(contains(result.out, "Color\n  Items\n")) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(SampleModels, Items,
                         ::testing::Values("vm1495.mdl", "vm1595.mdl", "vm1795.mdl", "vm1995pro.mdl", "vm2195.mdl"),
                         [](const auto& info) { return info.param.substr(0, info.param.find('.')); });

class MemoryFiles : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "jigctl_files_XXXXXX").string();
        folder_ = ::mkdtemp(pattern.data());
    }
    void TearDown() override { fs::remove_all(folder_); }
    std::string file(const std::string& name) const { return (folder_ / name).string(); }
    static std::string read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static void write(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }

    fs::path folder_;
};

TEST_F(MemoryFiles, SaveWritesTheRangeAcrossPages) {
    const ProcessResult result = runJigctl({"--bench", "save-mem", "0", "F0", "1", "0F", file("range.mem")});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "Reading Operation Success.\n");
    std::vector<std::uint8_t> bytes;
    for (int location = 0xF0; location <= 0x10F; ++location) {
        bytes.push_back(bench::MonitorState::defaultMemoryByte(location / 256, location % 256));
    }
    EXPECT_EQ(read(file("range.mem")), tools::formatMemoryImage(0xF0, 0x10F, bytes));
}

TEST_F(MemoryFiles, LoadWritesTheFileBack) {
    write(file("two.mem"), "_110_1115aa5");
    const ProcessResult result = runJigctl({"--bench", "--trace", "load-mem", file("two.mem")});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "Writing Operation Success.\n");
    EXPECT_TRUE(contains(result.err, "PC: S_ 6E 50 85 C0 09 01 10 5A")) << result.err;
    EXPECT_TRUE(contains(result.err, "PC: S_ 6E 50 85 C0 09 01 11 A5")) << result.err;
}

// A monitor that takes only the by-device form: every memory command probes
// first (a by-page read of page 0 address 0 that gets no response) and then
// speaks the form the monitor takes.
TEST_F(MemoryFiles, MemoryCommandsProbeTheAccessFormFirst) {
    struct Row {
        std::vector<std::string> command;
        std::string out;
        std::string request;  // in the trace, after the probe
    };
    write(file("one.mem"), "_110_1105A");
    const Row rows[] = {
        {{"read-mem", "1", "10"}, "193 (C1h)\n", "PC: S_ 6E 50 84 60 01 A2 10"},
        {{"write-mem", "1", "10", "5Ah"}, "OK\n", "PC: S_ 6E 50 85 62 01 A2 10 5A"},
        {{"save-mem", "1", "10", "1", "10", file("saved.mem")}, "Reading Operation Success.\n",
         "PC: S_ 6E 50 84 60 01 A2 10"},
        {{"load-mem", file("one.mem")}, "Writing Operation Success.\n", "PC: S_ 6E 50 85 62 01 A2 10 5A"},
    };
    const std::string probe = "PC: S_ 6E 50 84 C1 09 00 00 72 _E MON: Error!!";
    for (const Row& row : rows) {
        std::vector<std::string> arguments{"--bench", "--protocol", "slave", "--bench-fault", "memory-form=bydevice",
                                           "--trace"};
        arguments.insert(arguments.end(), row.command.begin(), row.command.end());
        const ProcessResult result = runJigctl(arguments);
        const std::string shown = joined(arguments) + "\nerr: " + result.err;
        EXPECT_EQ(result.status, 0) << shown;
        EXPECT_EQ(result.out, row.out) << shown;
        const auto probeAt = result.err.find(probe);
        EXPECT_EQ(probeAt, result.err.find("PC: ")) << "the probe comes first: " << shown;
        EXPECT_NE(result.err.find(row.request, probeAt), std::string::npos) << shown;
    }
    EXPECT_EQ(read(file("saved.mem")), "_110_110C1");
}

TEST_F(MemoryFiles, LoadRefusesWhatTheDialogRefuses) {
    write(file("bad.mem"), "_000_0FF00");
    ProcessResult result = runJigctl({"--bench", "load-mem", file("bad.mem")});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, "velmora-jigctl: load-mem: Data is currupt\n");
    // A header past the monitor's memory (page 4) is refused before anything is written.
    write(file("high.mem"), "_3FF_4000102");
    result = runJigctl({"--bench", "--trace", "load-mem", file("high.mem")});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, std::string("velmora-jigctl: load-mem: ") + std::string(tools::kRangeBeyondMemory) + "\n");
}

}  // namespace
}  // namespace velmora::apps::jigctl
