#include "tools/replacing_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace velmora::tools {
namespace {

namespace fs = std::filesystem;

class ReplacingFileTest : public testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("replacing_file_" + std::to_string(::getpid()));
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::size_t entries() { return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder_), {})); }

    fs::path folder_;
};

TEST_F(ReplacingFileTest, CommitReplacesExistingContents) {
    const auto path = folder_ / "page.mem";
    std::ofstream(path) << "old contents";
    auto file = ReplacingFile::create(path.string());
    ASSERT_TRUE(file);
    EXPECT_EQ(read(path), "old contents");  // untouched until the commit
    ASSERT_TRUE(file->commit("_000_00012"));
    EXPECT_EQ(read(path), "_000_00012");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(ReplacingFileTest, AbandonedFileLeavesPathAsItWas) {
    const auto kept = folder_ / "kept.mem";
    std::ofstream(kept) << "precious";
    { auto file = ReplacingFile::create(kept.string()); ASSERT_TRUE(file); }
    EXPECT_EQ(read(kept), "precious");

    const auto absent = folder_ / "absent.mem";
    { auto file = ReplacingFile::create(absent.string()); ASSERT_TRUE(file); }
    EXPECT_FALSE(fs::exists(absent));
    EXPECT_EQ(entries(), 1u);  // no temporary left behind
}

TEST_F(ReplacingFileTest, CannotCreateInMissingFolder) {
    EXPECT_FALSE(ReplacingFile::create((folder_ / "no-such-folder" / "x.mem").string()));
    EXPECT_FALSE(ReplacingFile::create(""));
}

}  // namespace
}  // namespace velmora::tools
