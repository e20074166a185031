// velmora-jigctl's capabilities commands and the 16-bit values of the
// display channel, run as processes on the virtual bench.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <nlohmann/json.hpp>

#include "process_runner.h"

namespace velmora::apps::jigctl {
namespace {

using nlohmann::json;
using testing::contains;
using testing::joined;
using testing::ProcessResult;
using testing::runJigctl;

struct Row {
    std::vector<std::string> arguments;
    std::string input;  // standard input
    int status;
    std::string out;  // within standard output
    std::string err;  // within standard error
};

void PrintTo(const Row& row, std::ostream* out) { *out << joined(row.arguments); }

class CapabilityCommands : public ::testing::TestWithParam<Row> {};

TEST_P(CapabilityCommands, PrintAndExitAsTheyShould) {
    const Row& row = GetParam();
    const ProcessResult result = runJigctl(row.arguments, row.input);
    const std::string shown = joined(row.arguments) + "\nout: " + result.out + "\nerr: " + result.err;
    EXPECT_EQ(result.status, row.status) << shown;
    EXPECT_TRUE(contains(result.out, row.out)) << shown;
    EXPECT_TRUE(contains(result.err, row.err)) << shown;
}

const std::string kCareless = "(prot(monitor)type(crt)model VM17 VCP(1012)mccs_ver(2.0))\n";

INSTANTIATE_TEST_SUITE_P(
    OnTheBench, CapabilityCommands,
    ::testing::Values(
        Row{{"--bench", "--model", "vm1995pro", "capabilities"}, "", 0,
            "Model: VM-1995 Pro\n", ""},
        Row{{"--bench", "--bench-port", "i2c", "--model", "vm1995pro", "capabilities"}, "", 0,
            "  20 Horizontal Position (Phase) (continuous)\n", ""},
        Row{{"--bench", "--bench-fault", "malformed-capabilities", "capabilities"}, "", 0, "  01 Degauss (write-only)\n",
            "velmora-jigctl: capabilities: warning: offset 23: model without parentheses\n"},
        Row{{"--bench", "--bench-fault", "no-monitor", "capabilities"}, "", 1, "",
            "no reply to the capabilities request at offset 0000h"},
        Row{{"parse-capabilities", "-"}, kCareless, 0, "Model: VM17\n", "warning: offset 23: model without parentheses"},
        Row{{"parse-capabilities", "-"}, std::string("\x02\x00\x10\xFF\xFE\x01", 6), 2, "",
            "velmora-jigctl: parse-capabilities: standard input: binary data"},
        Row{{"parse-capabilities", "-"}, "(vcp(10)model(A\x1B[2JB))", 0, "Model: A?[2JB\n", ""},
        Row{{"--model-out", "x.mdl", "read-vcp", "10"}, "", 2, "", "--model-out is an option of capabilities"},
        // Values wider than a byte: all 16 bits through a display channel,
        // the low bytes (and no more than a byte written) through the jig.
        Row{{"--bench", "--bench-port", "i2c", "read-vcp", "0E"}, "", 0,
            "VCP 0E: current 1056 (0420h), maximum 2047 (07FFh)  Clock\n", ""},
        Row{{"--bench", "read-vcp", "0E"}, "", 0, "VCP 0E: current  32 (20h), maximum 255 (FFh)  Clock\n", ""},
        Row{{"--bench", "--bench-port", "i2c", "--json", "set-vcp", "0E", "2000"}, "", 0,
            R"({"result":"OK","value":2000,"vcp":14})", ""},
        Row{{"--bench", "set-vcp", "0E", "300"}, "", 2, "", "\"300\" is outside 0..255 (00h..FFh): the jig's Set VCP"},
        Row{{"--bench", "--bench-port", "i2c", "set-vcp", "0E", "65536"}, "", 2, "", "\"65536\" is outside 0..65535"}));

// The document's keys, and the model's items under their standard names:
// what a script or another tool reads.
TEST(CapabilitiesJson, ListsTheModelsItemsWithStandardNames) {
    const std::vector<std::string> arguments{"--bench", "--bench-port", "i2c", "--model", "vm1995pro",
                                             "capabilities", "--json"};
    const ProcessResult result = runJigctl(arguments);
    ASSERT_EQ(result.status, 0) << result.err;
    const json document = json::parse(result.out);
    std::vector<std::string> keys;
    for (const auto& [key, value] : document.items()) keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"commands", "errors", "features", "mccsVersion", "model", "raw", "type"}));
    EXPECT_EQ(document["model"], "VM-1995 Pro");
    EXPECT_EQ(document["errors"], json::array());
    EXPECT_EQ(document["commands"], json::parse(R"(["01", "02", "03", "0C", "E3", "F3"])"));
    const json& features = document["features"];
    ASSERT_EQ(features.size(), 28u);
    EXPECT_EQ(features[0], json::parse(R"j({"code": "20", "name": "Horizontal Position (Phase)", "values": []})j"));
    EXPECT_EQ(features[13], json::parse(R"j({"code": "10", "name": "Brightness", "values": []})j"));
    EXPECT_EQ(features[24], json::parse(R"j({"code": "F0", "name": "Manufacturer specific", "values": []})j"));
}

// --model-out writes a model that the bench then serves item by item.
TEST(CapabilitiesModelOut, TheModelWrittenOpensOnTheBench) {
    const std::string path = (std::filesystem::temp_directory_path() / "velmora-capabilities-model.mdl").string();
    std::filesystem::remove(path);
    const ProcessResult made = runJigctl({"--bench", "capabilities", "--model-out", path});
    ASSERT_EQ(made.status, 0) << made.err;
    const ProcessResult items = runJigctl({"--bench", "--model", path, "items"});
    EXPECT_EQ(items.status, 0) << items.err;
    EXPECT_TRUE(contains(items.out, "    20    Horizontal Position (Phase)     128 (80h)\n")) << items.out;
    EXPECT_TRUE(contains(items.out, "    18    @1: Degauss\n")) << items.out;
    EXPECT_FALSE(contains(items.out, "MODE SAVE")) << items.out;
    const ProcessResult degauss = runJigctl({"--bench", "--model", path, "run", "18"});
    EXPECT_EQ(degauss.status, 0) << degauss.err;
    std::filesystem::remove(path);
}

}  // namespace
}  // namespace velmora::apps::jigctl
