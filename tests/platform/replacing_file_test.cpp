#include "platform/replacing_file.h"

#include <gtest/gtest.h>

#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <cstring>
#include <optional>

namespace velmora::platform {
namespace {

namespace fs = std::filesystem;

// What `check` returns when run as a user without privileges: the test runs
// as it is when that is already so, and in a child process that drops to
// nobody when it runs as root (root may write anywhere, so files and
// folders made read-only would not stop it). Nothing when the user cannot
// be changed.
constexpr uid_t kNobody = 65534;
std::optional<bool> asPlainUser(const std::function<bool()>& check) {
    if (::geteuid() != 0) return check();
    const pid_t child = ::fork();
    if (child < 0) return std::nullopt;
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(77);
        ::_exit(check() ? 0 : 1);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) == 77) {
        return std::nullopt;
    }
    return WEXITSTATUS(status) == 0;
}

// Runs `check` in a child process whose files may not grow past `bytes`
// (a disk that fills up); true when it returned true.
bool withFileSizeLimit(rlim_t bytes, const std::function<bool()>& check) {
    const pid_t child = ::fork();
    if (child < 0) return false;
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);  // the write then fails with EFBIG
        const rlimit limit{bytes, bytes};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(2);
        ::_exit(check() ? 0 : 1);
    }
    int status = 0;
    return ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

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
    std::size_t entries() { return entries(folder_); }
    static std::size_t entries(const fs::path& folder) {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {}));
    }

    fs::path folder_;
};

TEST_F(ReplacingFileTest, CommitReplacesExistingContents) {
    const auto path = folder_ / "page.mem";
    std::ofstream(path) << "old contents";
    auto file = ReplacingFile::create(path.string());
    ASSERT_TRUE(file);
    EXPECT_EQ(read(path), "old contents");  // untouched until the commit
    EXPECT_EQ(entries(), 1u);  // nothing with a name while the range is read
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

// Targets that are refused before anything is written; whatever was there
// stays byte for byte, and nothing is added to the folder.
TEST_F(ReplacingFileTest, RefusesWhatTheUserCouldNotWriteDirectly) {
    struct Row {
        const char* name;
        std::function<fs::path(const fs::path&)> prepare;  // makes the target in the folder
        bool asPlainUser;
    };
    const Row rows[] = {
        {"Folder", [](const fs::path& f) { fs::create_directory(f / "page.mem"); return f / "page.mem"; }, false},
        {"NamedPipe", [](const fs::path& f) { ::mkfifo((f / "page.mem").c_str(), 0666); return f / "page.mem"; },
         false},
        {"LinkLoop",
         [](const fs::path& f) {
             fs::create_symlink("b.mem", f / "a.mem");
             fs::create_symlink("a.mem", f / "b.mem");
             return f / "a.mem";
         },
         false},
        // The folder takes new files; the file itself was made read-only.
        {"ReadOnlyFile",
         [](const fs::path& f) {
             std::ofstream(f / "page.mem") << "kept";
             fs::permissions(f, fs::perms::all);
             fs::permissions(f / "page.mem", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
             return f / "page.mem";
         },
         true},
        {"LinkToReadOnlyFile",
         [](const fs::path& f) {
             std::ofstream(f / "page.mem") << "kept";
             fs::create_symlink("page.mem", f / "link.mem");
             fs::permissions(f, fs::perms::all);
             fs::permissions(f / "page.mem", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
             return f / "link.mem";
         },
         true},
        {"ReadOnlyFolder",
         [](const fs::path& f) {
             fs::permissions(f, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                    fs::perms::others_read | fs::perms::others_exec);
             return f / "new.mem";
         },
         true},
    };
    for (const Row& row : rows) {
        const fs::path folder = folder_ / row.name;
        fs::create_directory(folder);
        const fs::path target = row.prepare(folder);
        const auto before = entries(folder);
        std::error_code error;
        const bool isFile = fs::is_regular_file(target, error);
        const std::string contentBefore = isFile ? read(target) : "";
        const auto refused = [&] { return !ReplacingFile::create(target.string()).has_value(); };
        if (row.asPlainUser) {
            const auto result = asPlainUser(refused);
            if (!result) GTEST_SKIP() << "cannot run as a plain user here";
            EXPECT_TRUE(*result) << row.name;
        } else {
            EXPECT_TRUE(refused()) << row.name;
        }
        EXPECT_EQ(entries(folder), before) << row.name;
        if (isFile) {
            EXPECT_EQ(read(target), contentBefore) << row.name;
        }
        fs::permissions(folder, fs::perms::all);
    }
}

TEST_F(ReplacingFileTest, FollowsLinksAndKeepsTheFilesModeAndOwner) {
    const auto real = folder_ / "data" / "page.mem";
    fs::create_directory(folder_ / "data");
    std::ofstream(real) << "old";
    ::chmod(real.c_str(), 0640);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(real.c_str(), kNobody, kNobody), 0);
    }
    fs::create_symlink("data/page.mem", folder_ / "link.mem");  // relative to the link's folder
    fs::create_symlink(folder_ / "link.mem", folder_ / "chain.mem");

    auto file = ReplacingFile::create((folder_ / "chain.mem").string());
    ASSERT_TRUE(file);
    ASSERT_TRUE(file->commit("_000_00012"));
    EXPECT_TRUE(fs::is_symlink(folder_ / "chain.mem"));
    EXPECT_TRUE(fs::is_symlink(folder_ / "link.mem"));
    EXPECT_EQ(read(real), "_000_00012");
    struct stat info {};
    ASSERT_EQ(::stat(real.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(info.st_uid, kNobody);
        EXPECT_EQ(info.st_gid, kNobody);
    }
    EXPECT_EQ(entries(), 3u);
    EXPECT_EQ(entries(folder_ / "data"), 1u);
}

TEST_F(ReplacingFileTest, NewFileTakesTheUsualModeAndLongNamesWork) {
    const auto path = folder_ / std::string(255, 'm');
    std::ofstream(path) << "old";
    ::chmod(path.c_str(), 0600);
    auto file = ReplacingFile::create(path.string());
    ASSERT_TRUE(file);
    ASSERT_TRUE(file->commit("_3FF_3FF00"));
    EXPECT_EQ(read(path), "_3FF_3FF00");
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);

    const auto fresh = folder_ / "fresh.mem";
    const mode_t mask = ::umask(0);
    ::umask(mask);
    auto created = ReplacingFile::create(fresh.string());
    ASSERT_TRUE(created);
    ASSERT_TRUE(created->commit("x"));
    struct stat info {};
    ASSERT_EQ(::stat(fresh.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0666u & ~mask);
    EXPECT_EQ(entries(), 2u);
}

TEST_F(ReplacingFileTest, FullDiskIsReportedWithItsReasonAndLeavesNothing) {
    const auto path = folder_ / "page.mem";
    std::ofstream(path) << "precious";
    EXPECT_TRUE(withFileSizeLimit(100, [&] {
        auto file = ReplacingFile::create(path.string());
        return file && !file->commit(std::string(520, '0')) && file->failureReason() == std::strerror(EFBIG);
    }));
    EXPECT_EQ(read(path), "precious");
    EXPECT_EQ(entries(), 1u);
}

}  // namespace
}  // namespace velmora::platform
