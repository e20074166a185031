// The backup of the whole EEPROM before the first write to a monitor, on
// the virtual bench: what the gate asks, what lands on disk, and what it
// refuses.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "interpreter_on_bench.h"
#include "tools/backup_gate.h"
#include "tools/eeprom_backup.h"
#include "tools/memory_image.h"

namespace velmora::tools {
namespace {

namespace fs = std::filesystem;

class TemporaryFolder {
public:
    TemporaryFolder() {
        std::string pattern = (fs::temp_directory_path() / "velmora_backup_XXXXXX").string();
        path = ::mkdtemp(pattern.data());
    }
    ~TemporaryFolder() { fs::remove_all(path); }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    fs::path path;
};

std::string textOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Answers as told and notes what it was shown.
struct ScriptedAsker : BackupAsker {
    BackupChoice offer(const BackupOffer& offer) override {
        ++offers;
        lastOffer = offer;
        return answer;
    }
    void progress(int done, int /*total*/) override {
        if (onProgress) onProgress(done);
    }
    void failed(std::string_view why) override { failures.emplace_back(why); }

    BackupChoice answer = BackupChoice::BackUp;
    int offers = 0;
    BackupOffer lastOffer;
    std::vector<std::string> failures;
    std::function<void(int)> onProgress;
};

// The page files of every backup under `root`, and whether anything else
// (an unfinished folder) lies there.
struct OnDisk {
    std::vector<BackupEntry> backups;
    std::size_t folders = 0;
};
OnDisk onDisk(const fs::path& root) {
    OnDisk disk{listBackups(root.string()), 0};
    std::error_code ignored;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(root, ignored)) ++disk.folders;
    return disk;
}

struct GateRow {
    const char* name;
    BackupChoice answer;
    bool backupOnDisk;  // a backup of the monitor exists before the first write
    int monitorLostAfter;  // bytes of the backup read before the monitor stops answering; -1 never
    bool firstAllowed;
    std::size_t backupsAfterFirst;
    int offersAfterSecond;  // the second write, with the monitor answering again
    std::size_t backupsAfterSecond;
    const char* failure;  // part of the reported failure, "" for none
};

class BackupGateRows : public ::testing::TestWithParam<GateRow> {};

TEST_P(BackupGateRows, AsksOnceMakesOneCompleteBackupAndNeverWritesAfterAFailure) {
    const GateRow& row = GetParam();
    model::testing::InterpreterOnBench rig;
    TemporaryFolder root;
    if (row.backupOnDisk) {
        ASSERT_TRUE(makeBackup(rig.interpreter, root.path.string(), identifyMonitor(rig.link, ""), 1000).complete);
    }
    const auto memoryBefore = rig.bench.monitor.memory;
    BackupGate gate(root.path.string(), [] { return std::time_t{1'790'000'000}; });
    ScriptedAsker asker;
    asker.answer = row.answer;
    int lostAfter = row.monitorLostAfter;  // once: the second write finds the monitor back
    asker.onProgress = [&](int done) {
        if (done != lostAfter) return;
        rig.bench.faults.noMonitor = true;
        lostAfter = -1;
    };

    EXPECT_EQ(gate.beforeWrite(rig.interpreter, rig.link, rig.clock, "", asker), row.firstAllowed) << row.name;
    const OnDisk first = onDisk(root.path);
    EXPECT_EQ(first.backups.size(), row.backupsAfterFirst) << row.name;
    EXPECT_EQ(first.folders, first.backups.size()) << row.name << ": an unfinished backup was left behind";
    if (*row.failure == '\0') {
        EXPECT_TRUE(asker.failures.empty()) << row.name;
    } else {
        ASSERT_EQ(asker.failures.size(), 1u) << row.name;
        EXPECT_NE(asker.failures[0].find(row.failure), std::string::npos) << row.name << ": " << asker.failures[0];
    }

    rig.bench.faults.noMonitor = false;
    asker.answer = BackupChoice::BackUp;
    EXPECT_TRUE(gate.beforeWrite(rig.interpreter, rig.link, rig.clock, "", asker)) << row.name;
    EXPECT_EQ(asker.offers, row.offersAfterSecond) << row.name;
    const OnDisk second = onDisk(root.path);
    ASSERT_EQ(second.backups.size(), row.backupsAfterSecond) << row.name;
    // Every backup holds the EEPROM as it was, page by page, as Save Memory
    // would have written it.
    for (const BackupEntry& backup : second.backups) {
        EXPECT_EQ(backup.pages, kBackupPages) << row.name;
        for (int page = 0; page < kBackupPages; ++page) {
            const auto& bytes = memoryBefore[static_cast<std::size_t>(page)];
            EXPECT_EQ(textOf(fs::path(backup.folder) / backupPageFileName(page)),
                      formatMemoryImage(page * 256, page * 256 + 0xFF, bytes))
                << row.name << ", page " << page;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Gate, BackupGateRows,
    ::testing::Values(
        GateRow{"FirstWriteMakesTheOnlyBackup", BackupChoice::BackUp, false, -1, true, 1, 1, 1, ""},
        GateRow{"BackupOnDiskIsEnough", BackupChoice::BackUp, true, -1, true, 1, 0, 1, ""},
        GateRow{"DeclinedIsRememberedForTheSession", BackupChoice::WriteWithout, false, -1, true, 0, 1, 0, ""},
        GateRow{"CancelWritesNothingAndAsksAgain", BackupChoice::Cancel, false, -1, false, 0, 2, 1, ""},
        // Byte 301 is page 1 address 2C.
        GateRow{"FailurePartWayKeepsNothingAndRefusesTheWrite", BackupChoice::BackUp, false, 300, false, 0, 2, 1,
                "page 1 address 2C could not be read"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BackupMonitor, NamedByTheEdidOrElseByTheModel) {
    struct Row {
        bool monitorAnswers;
        const char* model;
        const char* key;
    };
    for (const Row& row : {Row{true, "VM-1995 Pro", "VLM-1734-00012345-VB0012345"},
                           Row{false, "VM-1995 Pro", "model-VM-1995-Pro"}, Row{false, "", "model-unnamed"},
                           Row{false, "../x y/", "model-x-y"}}) {
        model::testing::InterpreterOnBench rig;
        rig.bench.faults.noMonitor = !row.monitorAnswers;
        rig.link.controls().bus().setBusDelayCount(250);  // the technician's choice in the Options window
        EXPECT_EQ(identifyMonitor(rig.link, row.model).key, row.key) << row.model;
        EXPECT_EQ(rig.link.controls().bus().busDelayCount(), 250) << row.model << ": the bus speed was not kept";
    }
}

TEST(BackupList, ShowsCompleteBackupsOnlyAndCountsTheirPages) {
    model::testing::InterpreterOnBench rig;
    TemporaryFolder root;
    const BackupMonitor monitor{"VLM-1734-00012345", "bench"};
    const BackupOutcome made = makeBackup(rig.interpreter, root.path.string(), monitor, 1'790'000'000);
    ASSERT_TRUE(made.complete) << made.failure;
    // Two pages of a backup copied by hand, an unfinished backup, a folder
    // of notes.
    const fs::path partial = root.path / "OTHER-1_20260101-120000";
    fs::create_directories(partial);
    fs::copy_file(fs::path(made.folder) / "page0.mem", partial / "page0.mem");
    fs::copy_file(fs::path(made.folder) / "page1.mem", partial / "page1.mem");
    fs::create_directories(root.path / ".OTHER-2_20260101-120000.unfinished");
    fs::create_directories(root.path / "notes");

    const auto backups = listBackups(root.path.string());
    ASSERT_EQ(backups.size(), 2u);
    EXPECT_EQ(backups[0].monitor, "OTHER-1");
    EXPECT_EQ(backups[0].date, "2026-01-01 12:00:00");
    EXPECT_EQ(backups[0].pages, 2);
    EXPECT_EQ(backups[0].size, 2u * 520u);
    EXPECT_EQ(backups[1].monitor, monitor.key);
    EXPECT_EQ(backups[1].pages, 4);
    EXPECT_EQ(backups[1].size, 4u * 520u);
    EXPECT_TRUE(hasBackup(root.path.string(), monitor));
    EXPECT_FALSE(hasBackup(root.path.string(), {"OTHER-1", ""}));
    EXPECT_EQ(listBackupFiles(root.path.string()).size(), 6u);
}

}  // namespace
}  // namespace velmora::tools
