// velmora-jig, the console window, on the offscreen platform through the
// emulated nodes: it opens the way --port names, loads the first model it
// finds beside it and fills its item list from the monitor. Each run starts
// a copy of the program in a folder of its own with one model beside it,
// so that the model it loads first is one its way can serve.
#include <fcntl.h>
#include <stdlib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include "node_machine.h"

namespace velmora::tests::nodes {
namespace {

namespace fs = std::filesystem;

struct WindowRow {
    const char* name;
    const char* device;
    const char* model;  // the one model beside the program
    int openFlags;
    // Started without --port while the parallel port cannot be opened: the
    // display channel chosen at an earlier start, as kept in the settings.
    const char* remembered = nullptr;
};

void PrintTo(const WindowRow& row, std::ostream* out) { *out << row.name; }

// The VCP codes of the Get VCP requests ("01 10") the monitor received.
std::set<std::string> vcpCodesRead(const std::vector<std::string>& requests) {
    std::set<std::string> codes;
    for (const std::string& payload : requests) {
        if (payload.starts_with("01 ") && payload.size() == 5) codes.insert(payload.substr(3));
    }
    return codes;
}

class ConsoleWindowNode : public ::testing::TestWithParam<WindowRow> {};

TEST_P(ConsoleWindowNode, FillsItsListsThroughTheNode) {
    const WindowRow& row = GetParam();
    std::string pattern = (fs::temp_directory_path() / "velmora_window_XXXXXX").string();
    const fs::path folder = ::mkdtemp(pattern.data());
    fs::copy_file(VELMORA_JIG, folder / "velmora-jig");
    fs::copy_file(std::string(VELMORA_SAMPLE_MODELS_DIR) + row.model, folder / row.model);
    NodeMachine machine;
    std::vector<std::string> arguments{"--port", "/dev/" + std::string(row.device)};
    if (row.remembered != nullptr) {
        arguments.clear();
        machine.setMode("parport0", 0400);
        fs::create_directories(folder / ".config/velmora-jig");
        std::ofstream(folder / ".config/velmora-jig/port") << row.remembered << "\n";
    }
    // The window stays open: it has filled its lists once the monitor has
    // had Get VCP requests and then nothing new for a while.
    std::size_t seen = 0;
    auto quietSince = std::chrono::steady_clock::now();
    const auto filled = [&] {
        const std::vector<std::string> requests = machine.monitorRequests(row.device);
        const auto now = std::chrono::steady_clock::now();
        if (requests.size() != seen) {
            seen = requests.size();
            quietSince = now;
        }
        return !vcpCodesRead(requests).empty() && now - quietSince > std::chrono::milliseconds(1500);
    };
    const ProcessResult result =
        machine.runUntil((folder / "velmora-jig").string(), arguments, filled, std::chrono::seconds(25),
                         {"QT_QPA_PLATFORM=offscreen", "HOME=" + folder.string(), "XDG_CONFIG_HOME="});
    fs::remove_all(folder);
    EXPECT_FALSE(result.timedOut) << result.err;
    EXPECT_EQ(result.status, -1) << "the window ended by itself: " << result.err;
    EXPECT_GE(vcpCodesRead(machine.monitorRequests(row.device)).size(), 3U) << result.err;
    const NodeRecord record = machine.record(row.device);
    ASSERT_EQ(record.openFlags.size(), 1U);
    EXPECT_EQ(record.openFlags[0], row.openFlags) << std::oct << record.openFlags[0];
}

INSTANTIATE_TEST_SUITE_P(Window, ConsoleWindowNode,
                         ::testing::Values(WindowRow{"Jig", "parport0", "vm1795.mdl", O_RDWR | O_CLOEXEC},
                                           WindowRow{"DisplayChannel", "i2c-5", "vm1995pro.mdl",
                                                     O_RDWR | O_NONBLOCK | O_CLOEXEC},
                                           WindowRow{"ChannelChosenBefore", "i2c-5", "vm1995pro.mdl",
                                                     O_RDWR | O_NONBLOCK | O_CLOEXEC, "DP-1"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velmora::tests::nodes
