// The EEPROM's safekeeping through velmora-jigctl on the bench: the backup
// before the first write, diff-mem, backups and the verified writes.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "process_runner.h"

namespace velmora::apps::jigctl::testing {
namespace {

namespace fs = std::filesystem;

class SafekeepingTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "velmora_safekeeping_XXXXXX").string();
        folder_ = ::mkdtemp(pattern.data());
    }
    void TearDown() override { fs::remove_all(folder_); }

    // velmora-jigctl with a data home of this test's own.
    ProcessResult jigctl(const std::vector<std::string>& arguments) {
        return runJigctlWith(arguments, {"XDG_DATA_HOME=" + folder_.string()});
    }
    std::vector<fs::path> backupFolders() const {
        std::vector<fs::path> found;
        std::error_code ignored;
        for (const auto& entry : fs::directory_iterator(folder_ / "velmora-jig/backups", ignored)) {
            found.push_back(entry.path());
        }
        return found;
    }
    fs::path file(const std::string& name) const { return folder_ / name; }

    fs::path folder_;
};

TEST_F(SafekeepingTest, FirstWriteBacksUpTheEepromAsItWasAndTheSecondMakesNone) {
    ProcessResult result = jigctl({"--bench", "write-mem", "1", "10", "55"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "OK\n");
    EXPECT_TRUE(contains(result.err, "backup of the EEPROM in " + (folder_ / "velmora-jig/backups").string()))
        << result.err;
    const std::vector<fs::path> made = backupFolders();
    ASSERT_EQ(made.size(), 1u);
    EXPECT_TRUE(made[0].filename().string().starts_with("VLM-1734-00012345")) << made[0];
    // Each page file is what save-mem of a fresh bench writes.
    for (int page = 0; page < 4; ++page) {
        const std::string fresh = file("fresh" + std::to_string(page) + ".mem").string();
        const std::string p = std::to_string(page);
        ASSERT_EQ(jigctl({"--bench", "save-mem", p, "00", p, "FF", fresh}).status, 0);
        EXPECT_EQ(readFile((made[0] / ("page" + p + ".mem")).string()), readFile(fresh)) << "page " << page;
    }

    result = jigctl({"--bench", "write-mem", "1", "10", "56"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_FALSE(contains(result.err, "backup")) << result.err;
    EXPECT_EQ(backupFolders(), made);

    result = jigctl({"--json", "backups"});
    ASSERT_EQ(result.status, 0) << result.err;
    const auto listed = nlohmann::json::parse(result.out);
    ASSERT_EQ(listed.size(), 1u) << result.out;
    EXPECT_EQ(listed[0]["pages"], 4);
    EXPECT_EQ(listed[0]["size"], 4 * 520);
    EXPECT_EQ(listed[0]["folder"], made[0].string());
}

TEST_F(SafekeepingTest, NoBackupOrAFailedOneWritesWithoutLeavingAFolder) {
    struct Row {
        const char* name;
        std::vector<std::string> arguments;
        int status;
        const char* err;
    };
    const Row rows[] = {
        {"NoBackupAsked", {"--bench", "--no-backup", "write-mem", "1", "10", "55"}, 0, ""},
        {"MonitorSilent", {"--bench", "--bench-fault", "no-monitor", "write-mem", "1", "10", "55"}, 1,
         "no backup of the EEPROM could be made (page 0 address 00 could not be read), so nothing was written"},
        {"LoadMemToo", {"--bench", "--bench-fault", "no-monitor", "load-mem", "LOAD"}, 1, "so nothing was written"},
        {"ModeSave", {"--bench", "--bench-fault", "no-monitor", "--model", sampleModel("vm1995pro.mdl"), "run", "18"}, 1,
         "so nothing was written"},
    };
    std::ofstream(file("load.mem")) << "_110_11055";
    for (Row row : rows) {
        if (row.arguments.back() == "LOAD") row.arguments.back() = file("load.mem").string();
        const ProcessResult result = jigctl(row.arguments);
        EXPECT_EQ(result.status, row.status) << row.name << ": " << result.err;
        EXPECT_TRUE(contains(result.err, row.err)) << row.name << ": " << result.err;
        EXPECT_TRUE(backupFolders().empty()) << row.name;
    }
}

TEST_F(SafekeepingTest, DiffMemShowsEachDifferingByteAndAnswersAsCmp) {
    std::string page1 = "_100_1FF";
    for (int address = 0; address < 256; ++address) page1 += "00";
    std::string changed = page1;
    changed.replace(8 + 2 * 0x3F, 2, "AB");
    std::ofstream(file("a.mem")) << page1;
    std::ofstream(file("b.mem")) << changed;
    std::ofstream(file("c.mem")) << "_000_0FF" + page1.substr(8);  // as many bytes, another range
    struct Row {
        std::vector<std::string> arguments;
        int status;
        const char* out;
        const char* err;
    };
    const std::string a = file("a.mem").string();
    const std::string b = file("b.mem").string();
    const Row rows[] = {
        {{"diff-mem", a, b}, 1, "page 1 address 3F: 00 -> AB\n", ""},
        {{"diff-mem", b, a}, 1, "page 1 address 3F: AB -> 00\n", ""},
        {{"diff-mem", a, a}, 0, "", ""},
        {{"--json", "diff-mem", a, b},
         1,
         "{\"compared\":256,\"differences\":[{\"address\":63,\"new\":171,\"old\":0,\"page\":1}],\"equal\":false}\n",
         ""},
        {{"diff-mem", a, file("c.mem").string()}, 2, "", "the ranges differ (_100_1FF and _000_0FF)"},
        {{"diff-mem", a, file("none.mem").string()}, 2, "", "Can't Open File"},
        {{"diff-mem", a}, 2, "", "usage: diff-mem FILE FILE, or diff-mem FILE --monitor"},
        {{"diff-mem", a, b, "--monitor"}, 2, "", "usage"},
        {{"--bench", "diff-mem", a, "--monitor"}, 1, "page 1 address 00: 00 -> 51\n", ""},
    };
    for (const Row& row : rows) {
        const ProcessResult result = jigctl(row.arguments);
        EXPECT_EQ(result.status, row.status) << joined(row.arguments) << ": " << result.err;
        // Against the monitor every byte differs; the first line is enough.
        EXPECT_TRUE(result.out.starts_with(row.out)) << joined(row.arguments) << ": " << result.out;
        if (row.arguments.back() != "--monitor") {
            EXPECT_EQ(result.out.size(), std::string(row.out).size()) << joined(row.arguments);
        }
        EXPECT_TRUE(contains(result.err, row.err)) << joined(row.arguments) << ": " << result.err;
    }
}

TEST_F(SafekeepingTest, VerifiedWritesCatchAByteThatDidNotTake) {
    std::string image = "_13D_140";
    image += "A1A2A3A4";
    std::ofstream(file("four.mem")) << image;
    const std::string four = file("four.mem").string();
    struct Row {
        std::vector<std::string> arguments;
        int status;
        const char* err;
    };
    const Row rows[] = {
        {{"--bench", "--bench-fault", "write-lost=1:3F", "--verify", "write-mem", "1", "3F", "0"}, 1,
         "write-mem: verify: page 1 address 3F holds 0A after 00 was written"},
        {{"--bench", "--bench-fault", "write-lost=1:3F", "--verify", "load-mem", four}, 1,
         "load-mem: verify: page 1 address 3F holds 0A after A3 was written; stopped there; 2 of 4 bytes"},
        // Without the check the lost byte goes unnoticed.
        {{"--bench", "--bench-fault", "write-lost=1:3F", "load-mem", four}, 0, ""},
        {{"--bench", "--verify", "load-mem", four}, 0, ""},
        {{"--bench", "--bench-fault", "write-lost=1:3F", "--verify", "write-mem", "1", "3E", "0"}, 0, ""},
    };
    for (const Row& row : rows) {
        const ProcessResult result = jigctl(row.arguments);
        EXPECT_EQ(result.status, row.status) << joined(row.arguments) << ": " << result.err;
        EXPECT_TRUE(contains(result.err, row.err)) << joined(row.arguments) << ": " << result.err;
    }
}

}  // namespace
}  // namespace velmora::apps::jigctl::testing
