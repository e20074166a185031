// velmora-jigctl's EDID commands as processes: decode-edid on files,
// edid --decode on the bench, --bench-edid, the JSON object, and what is
// refused with exit status 2.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "process_runner.h"

namespace velmora::apps::jigctl {
namespace {

namespace fs = std::filesystem;
using testing::ProcessResult;
using testing::runJigctl;

std::string block(const std::string& name) { return std::string(VELMORA_EDID_BLOCKS_DIR) + name + ".hex"; }

// Files that are no EDID, made once for the whole suite.
const std::string& refusedFolder() {
    static const std::string folder = [] {
        std::string pattern = (fs::temp_directory_path() / "jigctl_edid_XXXXXX").string();
        const std::string made = ::mkdtemp(pattern.data());
        std::ofstream(made + "/short.bin", std::ios::binary) << std::string(100, '\xFF');
        std::string noHeader;
        for (int i = 0; i < 128; ++i) noHeader += "11 ";
        std::ofstream(made + "/noheader.hex") << noHeader;
        return made;
    }();
    return folder;
}

std::string refused(const std::string& name) { return refusedFolder() + "/" + name; }

struct EdidRow {
    std::vector<std::string> arguments;
    int status;
    std::string out;  // expected within standard output
    std::string err;  // expected within standard error
};

void PrintTo(const EdidRow& row, std::ostream* out) {
    for (const auto& argument : row.arguments) *out << argument << " ";
}

class EdidCommands : public ::testing::TestWithParam<EdidRow> {};

TEST_P(EdidCommands, PrintAndExitAsTheyShould) {
    const EdidRow& row = GetParam();
    const ProcessResult result = runJigctl(row.arguments);
    const std::string shown = ::testing::PrintToString(row) + "\nout: " + result.out + "\nerr: " + result.err;
    EXPECT_EQ(result.status, row.status) << shown;
    EXPECT_NE(result.out.find(row.out), std::string::npos) << shown;
    EXPECT_NE(result.err.find(row.err), std::string::npos) << shown;
    // A refusal is one line on standard error and nothing on standard output.
    if (row.status == 2) {
        EXPECT_EQ(result.out, "") << shown;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << shown;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, EdidCommands,
    ::testing::Values(
        EdidRow{{"decode-edid", block("crt17_v11")}, 0, "Display name: \"MULTISYNC E17\"\n", ""},
        EdidRow{{"decode-edid", block("crt21_v13_bad_checksum")}, 0, "Checksum: WRONG (C7h, should be A6h)\n", ""},
        EdidRow{{"--bench", "edid", "--decode"}, 0, "Display name: \"VELMORA CRT\"\n", ""},
        EdidRow{{"--bench", "edid", "--decode", "1"}, 1, "", "velmora-jigctl: edid: block 1 could not be read\n"},
        EdidRow{{"--bench", "--bench-edid", block("crt19_v12_split_name"), "edid", "--decode", "0"}, 0,
                "Display name: \"VISION MASTER PRO 454\"\n", ""},
        EdidRow{{"--bench", "--bench-edid", block("crt19_v12_split_name"), "edid"}, 0,
                "00 FF FF FF FF FF FF 00 26 CD 04 19 00 00 00 00 \n", ""},
        EdidRow{{"decode-edid", refused("short.bin")}, 2, "", "short.bin: an EDID base block has 128 bytes, these are only 100"},
        EdidRow{{"decode-edid", refused("noheader.hex")}, 2, "", "noheader.hex: no EDID header"},
        EdidRow{{"decode-edid", "/nonexistent/edid.bin"}, 2, "", "/nonexistent/edid.bin: cannot open"},
        EdidRow{{"--bench", "--bench-edid", refused("short.bin"), "edid"}, 2, "", "these are only 100"},
        EdidRow{{"--bench-edid", block("crt17_v11"), "edid"}, 2, "", "--bench-edid needs --bench"},
        EdidRow{{"--bench", "edid", "--json"}, 0, "{\"block\":0,\"bytes\":[0,255,255,255,255,255,255,0,", ""},
        EdidRow{{"--bench", "read-vcp", "--decode", "10"}, 2, "", "--decode is an option of edid only"}));

TEST(EdidJsonOutput, OneObjectWithTheListedKeysWhereverJsonIsGiven) {
    const std::vector<std::string> keys{
        "analog", "checksumValid", "detailedTimings", "displayName", "displaySerial", "dpms", "establishedTimings",
        "extensionCount", "gamma", "headerValid", "manufacturer", "productCode", "rangeLimits", "screenHeightCm",
        "screenWidthCm", "serialNumber", "standardTimings", "text", "version", "week", "year"};
    for (const auto& arguments : {std::vector<std::string>{"decode-edid", "--json", block("crt15_v13_ones")},
                                  std::vector<std::string>{"--json", "decode-edid", block("crt15_v13_ones")},
                                  std::vector<std::string>{"--bench", "edid", "--decode", "--json"}}) {
        const ProcessResult result = runJigctl(arguments);
        ASSERT_EQ(result.status, 0) << result.err;
        const auto json = nlohmann::json::parse(result.out, nullptr, false);
        ASSERT_TRUE(json.is_object()) << result.out;
        std::vector<std::string> found;
        for (const auto& item : json.items()) found.push_back(item.key());
        EXPECT_EQ(found, keys) << result.out;
        EXPECT_EQ(json["version"], "1.3");
    }
    // A refused file is still one JSON document, the error in it.
    const ProcessResult refusal = runJigctl({"decode-edid", "--json", refused("short.bin")});
    EXPECT_EQ(refusal.status, 2);
    const auto error = nlohmann::json::parse(refusal.out, nullptr, false);
    ASSERT_TRUE(error.is_object()) << refusal.out;
    EXPECT_NE(error.value("error", "").find("these are only 100"), std::string::npos) << refusal.out;
}

}  // namespace
}  // namespace velmora::apps::jigctl
