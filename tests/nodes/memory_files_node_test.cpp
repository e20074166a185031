// save-mem and load-mem through both kinds of node: the file holds what the
// bench's EEPROM holds, and a loaded file ends up in it.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "bench/virtual_bench.h"
#include "node_machine.h"
#include "tools/memory_image.h"

namespace velmora::tests::nodes {
namespace {

namespace fs = std::filesystem;

struct WayRow {
    const char* device;
    std::vector<std::string> options;  // the reply mode the way needs
};

void PrintTo(const WayRow& row, std::ostream* out) { *out << row.device; }

class MemoryFilesNode : public ::testing::TestWithParam<WayRow> {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "velmora_node_files_XXXXXX").string();
        folder_ = ::mkdtemp(pattern.data());
    }
    void TearDown() override { fs::remove_all(folder_); }
    ProcessResult run(NodeMachine& machine, const std::vector<std::string>& command) {
        std::vector<std::string> arguments{"--port", "/dev/" + std::string(GetParam().device)};
        arguments.insert(arguments.end(), GetParam().options.begin(), GetParam().options.end());
        arguments.insert(arguments.end(), command.begin(), command.end());
        return machine.run(VELMORA_JIGCTL, arguments);
    }
    fs::path folder_;
};

TEST_P(MemoryFilesNode, SaveAndLoadGoThroughTheNode) {
    NodeMachine machine;
    bench::VirtualBench& bench = *machine.bench(GetParam().device);
    const std::string saved = (folder_ / "range.mem").string();
    ProcessResult result = run(machine, {"save-mem", "0", "FE", "1", "01", saved});
    EXPECT_EQ(result.status, 0) << result.err;
    std::vector<std::uint8_t> bytes;
    for (int location = 0xFE; location <= 0x101; ++location) {
        bytes.push_back(bench::MonitorState::defaultMemoryByte(location / 256, location % 256));
    }
    std::ifstream in(saved, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), tools::formatMemoryImage(0xFE, 0x101, bytes));

    const std::string loaded = (folder_ / "two.mem").string();
    std::ofstream(loaded, std::ios::binary) << "_110_1115aa5";
    // Without the backup of the whole EEPROM a first write otherwise makes.
    result = run(machine, {"--no-backup", "load-mem", loaded});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(bench.monitor.memory[1][0x10], 0x5A);
    EXPECT_EQ(bench.monitor.memory[1][0x11], 0xA5);
}

INSTANTIATE_TEST_SUITE_P(Jigctl, MemoryFilesNode,
                         ::testing::Values(WayRow{"parport0", {}}, WayRow{"i2c-5", {"--any-monitor"}}),
                         [](const auto& info) { return info.param.device[0] == 'p' ? "Jig" : "DisplayChannel"; });

}  // namespace
}  // namespace velmora::tests::nodes
