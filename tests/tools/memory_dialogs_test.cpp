// The Save Memory and Dump Memory dialogs' logic on the virtual bench: the
// files they write and accept, what reaches the monitor, what the user is
// told, and that a failed save never harms an existing file.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>
#include <fstream>
#include <sstream>

#include "interpreter_on_bench.h"
#include "tools/dump_memory_logic.h"
#include "tools/save_memory_logic.h"
#include "tools_journal.h"

namespace velmora::tools {
namespace {

namespace fs = std::filesystem;
using model::testing::InterpreterOnBench;
using platform::RecordedMessage;
using testing::Journal;

class TemporaryFolder {
public:
    TemporaryFolder() {
        std::string pattern = (fs::temp_directory_path() / "memory_dialogs_XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TemporaryFolder() { fs::remove_all(path_); }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    std::size_t entries() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(path_), {}));
    }

private:
    fs::path path_;
};

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

struct DialogsOnBench : InterpreterOnBench {
    Journal journal;
    platform::ScriptedFileChooser chooser;
    TemporaryFolder folder;

    SaveMemoryLogic saveDialog(const MemoryRange& opening = {}) {
        return SaveMemoryLogic(interpreter, journal, chooser, journal, opening);
    }
    DumpMemoryLogic dumpDialog(const MemoryRange& opening = {}) {
        return DumpMemoryLogic(interpreter, journal, chooser, opening);
    }
};

// ---- Save Memory ----------------------------------------------------------

TEST(SaveMemory, WritesTheRangeAsItsFile) {
    struct Case {
        RangeBoxTexts boxes;
        std::size_t length;
        std::string start;
    };
    DialogsOnBench f;
    f.bench.monitor.memory[1][0x10] = 0x12;
    f.bench.monitor.memory[1][0x11] = 0xAB;
    f.bench.monitor.memory[1][0x12] = 0x00;
    for (const Case& c : {Case{{"1", "10", "1", "12"}, 14, "_110_11212AB00"},
                          Case{{"2", "00", "2", "FF"}, 520, "_200_2FF"},
                          Case{{"0", "F0", "1", "0F"}, 8 + 64, "_0F0_10F"},
                          Case{{"3", "7f", "3", "7F"}, 10, "_37F_37F"}}) {
        auto save = f.saveDialog();
        save.setFileName(f.folder.file("range.mem"));
        f.journal.messages.clear();
        EXPECT_EQ(save.saveToFile(c.boxes), MemoryAction::Done) << c.start;
        const std::string text = readFile(f.folder.file("range.mem"));
        EXPECT_EQ(text.size(), c.length) << c.start;
        EXPECT_EQ(text.substr(0, c.start.size()), c.start);
        EXPECT_EQ(f.journal.messages, (std::vector<RecordedMessage>{{"Reading Operation Success.", "OK"}}));
    }
    EXPECT_EQ(f.folder.entries(), 1u);  // no temporary file left behind
}

TEST(SaveMemory, OpensWithTheWindowsRangeAndKeepsBoxesWithoutNumbers) {
    DialogsOnBench f;
    auto save = f.saveDialog(MemoryRange{2, 2, 0x00, 0xFF});
    EXPECT_EQ(save.initialBoxTexts(), (RangeBoxTexts{"2", "00", "2", "FF"}));
    save.setFileName(f.folder.file("kept.mem"));
    // Empty and non-numeric boxes keep the opening values; the rest count
    // up to their eighth character.
    EXPECT_EQ(save.saveToFile({"", "x", "2", "0000000Fzz"}), MemoryAction::Done);
    EXPECT_EQ(save.range().fromPage, 2);
    EXPECT_EQ(save.range().fromAddress, 0x00);
    EXPECT_EQ(save.range().toAddress, 0x0F);
    EXPECT_EQ(readFile(f.folder.file("kept.mem")).substr(0, 8), "_200_20F");
}

struct RangeRefusal {
    std::string name;
    RangeBoxTexts boxes;
    RecordedMessage message;
};

void PrintTo(const RangeRefusal& row, std::ostream* out) { *out << row.name; }

class SaveRefusal : public ::testing::TestWithParam<RangeRefusal> {};

TEST_P(SaveRefusal, SendsNothingAndLeavesTheFileAlone) {
    const RangeRefusal& row = GetParam();
    DialogsOnBench f;
    const std::string path = f.folder.file("old.mem");
    writeFile(path, "_000_00055");
    auto save = f.saveDialog();
    save.setFileName(path);
    EXPECT_EQ(save.saveToFile(row.boxes), MemoryAction::Refused) << row.name;
    EXPECT_EQ(f.journal.messages, (std::vector<RecordedMessage>{row.message})) << row.name;
    EXPECT_TRUE(f.bench.log.requests().empty()) << row.name;
    EXPECT_EQ(readFile(path), "_000_00055") << row.name;
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, SaveRefusal,
    ::testing::Values(
        RangeRefusal{"FromPageFour", {"4", "00", "0", "FF"}, {"Page must be 0,1,2, or 3", ""}},
        RangeRefusal{"NegativeToPage", {"0", "00", "-1", "FF"}, {"Page must be 0,1,2, or 3", ""}},
        RangeRefusal{"AddressBeyondFF", {"0", "100", "0", "FF"}, {"Addresse must be between 0 and FF", ""}},
        RangeRefusal{"HugeAddress", {"0", "00", "0", "FFFFFFFF"}, {"Addresse must be between 0 and FF", ""}},
        RangeRefusal{"ToPageBeforeFromPage", {"2", "00", "1", "FF"}, {std::string(kRangeBackwards), ""}},
        RangeRefusal{"ToAddressBeforeFromAddress", {"1", "20", "1", "1F"}, {std::string(kRangeBackwards), ""}}),
    [](const auto& info) { return info.param.name; });

TEST(SaveMemory, FileThatCannotBeCreatedIsReportedBeforeReading) {
    DialogsOnBench f;
    fs::create_directory(f.folder.file("folder.mem"));
    ::mkfifo(f.folder.file("pipe.mem").c_str(), 0666);
    for (const char* name : {"no-such-folder/page.mem", "folder.mem", "pipe.mem"}) {
        auto save = f.saveDialog();
        const std::string path = f.folder.file(name);
        save.setFileName(path);
        f.journal.messages.clear();
        EXPECT_EQ(save.saveToFile({"0", "00", "0", "FF"}), MemoryAction::Refused) << name;
        EXPECT_EQ(f.journal.messages, (std::vector<RecordedMessage>{{"Can't Open File : " + path, "Error"}})) << name;
        EXPECT_TRUE(f.bench.log.requests().empty()) << name;
    }
    EXPECT_EQ(f.folder.entries(), 2u);
}

TEST(SaveMemory, FailedReadLeavesAnExistingFileExactlyAsItWas) {
    DialogsOnBench f;
    const std::string path = f.folder.file("precious.mem");
    writeFile(path, "_100_101ABCD");
    auto save = f.saveDialog();
    save.setFileName(path);
    // The monitor goes away after the first 100 bytes.
    int bytes = 0;
    save.setByteDone([&] {
        if (++bytes == 100) f.bench.faults.noMonitor = true;
    });
    EXPECT_EQ(save.saveToFile({"0", "00", "1", "FF"}), MemoryAction::Failed);
    EXPECT_EQ(bytes, 101);  // nothing is sent after the failed read
    EXPECT_EQ(f.journal.messages, (std::vector<RecordedMessage>{{"I2C communication Error!", "Error"}}));
    EXPECT_EQ(readFile(path), "_100_101ABCD");
    EXPECT_EQ(f.folder.entries(), 1u);
}

// A disk that fills up while the finished file is written (here: a limit on
// file size, run in a child process) is reported with its reason, and the
// old file stays.
TEST(SaveMemory, FullDiskIsReportedWithItsReason) {
    DialogsOnBench f;
    const std::string path = f.folder.file("page.mem");
    writeFile(path, "_000_00055");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100, 100};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        auto save = f.saveDialog();
        save.setFileName(path);
        const bool reported =
            save.saveToFile({"0", "00", "0", "FF"}) == MemoryAction::Failed &&
            f.journal.messages ==
                std::vector<RecordedMessage>{{"Can't Write File : " + path + " (File too large)", "Error"}};
        ::_exit(reported ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    EXPECT_EQ(readFile(path), "_000_00055");
    EXPECT_EQ(f.folder.entries(), 1u);
}

TEST(MemoryDialogs, ChooserNamesTheFileAndCancelChangesNothing) {
    DialogsOnBench f;
    auto dump = f.dumpDialog(MemoryRange{1, 1, 0x00, 0xFF});
    EXPECT_FALSE(dump.chooseAndLoad());
    EXPECT_EQ(dump.fileName(), "");
    EXPECT_EQ(dump.boxTexts(), (RangeBoxTexts{"1", "00", "1", "FF"}));
    auto save = f.saveDialog();
    save.setFileName("typed.mem");
    EXPECT_FALSE(save.chooseFile());
    EXPECT_EQ(save.fileName(), "typed.mem");  // Cancel changes nothing
    f.chooser.answer = f.folder.file("chosen.mem");
    EXPECT_EQ(save.chooseFile(), f.chooser.answer);
    EXPECT_EQ(save.fileName(), *f.chooser.answer);
    EXPECT_EQ(f.chooser.calls, (std::vector<std::string>(3, "Select File : |*.mem|mem")));
    EXPECT_TRUE(f.journal.messages.empty());
}

// ---- Dump Memory ----------------------------------------------------------

TEST(DumpMemory, RoundTripRestoresTheMonitorsMemory) {
    DialogsOnBench f;
    const auto original = f.bench.monitor.memory;
    const std::string path = f.folder.file("round.mem");
    auto save = f.saveDialog();
    save.setFileName(path);
    ASSERT_EQ(save.saveToFile({"0", "F0", "2", "0F"}), MemoryAction::Done);

    for (auto& page : f.bench.monitor.memory) page.fill(0);
    f.chooser.answer = path;
    auto dump = f.dumpDialog(MemoryRange{3, 3, 0x00, 0xFF});
    EXPECT_EQ(dump.boxTexts(), (RangeBoxTexts{"3", "00", "3", "FF"}));
    ASSERT_TRUE(dump.chooseAndLoad());
    EXPECT_EQ(dump.boxTexts(), (RangeBoxTexts{"0", "F0", "2", "0F"}));
    EXPECT_EQ(dump.fileName(), path);
    f.journal.messages.clear();
    EXPECT_EQ(dump.writeToMonitor(), MemoryAction::Done);
    EXPECT_EQ(f.journal.messages, (std::vector<RecordedMessage>{{"Writing Operation Success.", "OK"}}));

    for (int location = 0; location < 0x400; ++location) {
        const int page = location / 256;
        const int address = location % 256;
        const bool inRange = location >= 0x0F0 && location <= 0x20F;
        EXPECT_EQ(f.bench.monitor.memory[page][address], inRange ? original[page][address] : 0)
            << "location " << location;
    }
    // Each write-back sends the same bytes again.
    f.bench.log.clear();
    EXPECT_EQ(dump.writeToMonitor(), MemoryAction::Done);
    EXPECT_EQ(f.bench.log.requests().size(), 0x20Fu - 0x0F0u + 1);
}

TEST(DumpMemory, AcceptsLowerCaseDigits) {
    DialogsOnBench f;
    const std::string path = f.folder.file("lower.mem");
    writeFile(path, "_1a0_1a1abcd");
    auto dump = f.dumpDialog();
    ASSERT_TRUE(dump.loadFile(path));
    EXPECT_EQ(dump.boxTexts(), (RangeBoxTexts{"1", "A0", "1", "A1"}));
    EXPECT_EQ(dump.writeToMonitor(), MemoryAction::Done);
    EXPECT_EQ(f.bench.monitor.memory[1][0xA0], 0xAB);
    EXPECT_EQ(f.bench.monitor.memory[1][0xA1], 0xCD);
}

struct LoadRefusal {
    std::string name;
    std::string content;  // empty: the path is a folder or missing, as named
    std::string message;
};

void PrintTo(const LoadRefusal& row, std::ostream* out) { *out << row.name; }

class DumpRefusal : public ::testing::TestWithParam<LoadRefusal> {};

TEST_P(DumpRefusal, KeepsThePreviousImageButTakesTheNewName) {
    const LoadRefusal& row = GetParam();
    DialogsOnBench f;
    const std::string good = f.folder.file("good.mem");
    writeFile(good, "_110_11212AB00");
    auto dump = f.dumpDialog();
    ASSERT_TRUE(dump.loadFile(good));

    std::string path = f.folder.file("bad.mem");
    if (row.name == "Folder") fs::create_directory(path);
    else if (row.name != "Missing") writeFile(path, row.content);
    const std::string message = row.message == "open" ? "Can't Open File : " + path : row.message;

    f.journal.messages.clear();
    EXPECT_FALSE(dump.loadFile(path)) << row.name;
    EXPECT_EQ(f.journal.messages, (std::vector<RecordedMessage>{{message, "Error"}})) << row.name;
    EXPECT_EQ(dump.fileName(), path) << row.name;
    EXPECT_EQ(dump.boxTexts(), (RangeBoxTexts{"1", "10", "1", "12"})) << row.name;
    EXPECT_EQ(dump.bytes(), (std::vector<std::uint8_t>{0x12, 0xAB, 0x00})) << row.name;
}

INSTANTIATE_TEST_SUITE_P(
    Files, DumpRefusal,
    ::testing::Values(
        LoadRefusal{"Missing", "", "open"}, LoadRefusal{"Folder", "", "open"},
        // Judged by its size alone, however good its start looks.
        LoadRefusal{"LongerThan2156", "_000_0FF" + std::string(2149, '0'), "This is not a memory File."},
        LoadRefusal{"Exactly2156", "_000_3FF" + std::string(2148, '0'), "Data is currupt"},
        LoadRefusal{"BadHeader", "_000-0FF00", "The header is currupt"},
        LoadRefusal{"HeaderNotHex", "_00G_00G00", "The header is currupt"},
        LoadRefusal{"OneDigitShort", "_000_0FF" + std::string(511, '0'), "Data is currupt"},
        LoadRefusal{"DataNotHex", "_000_001ABXY", "Data is currupt"},
        LoadRefusal{"EndBeforeStart", "_101_100", std::string(kRangeBackwards)},
        LoadRefusal{"BeyondLastLocation", "_3FF_4000000", std::string(kRangeBeyondMemory)}),
    [](const auto& info) { return info.param.name; });

// A named pipe with no writer would hold a blocking open for ever; it is
// refused at once like any other file that is not a regular file.
TEST(DumpMemory, NamedPipeIsRefusedAtOnce) {
    DialogsOnBench f;
    const std::string path = f.folder.file("pipe.mem");
    ASSERT_EQ(::mkfifo(path.c_str(), 0666), 0);
    // Should the load hang, a writer turns up after two seconds to free it.
    std::atomic<bool> done{false};
    std::thread rescue([&] {
        for (int i = 0; i < 200 && !done; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (!done) ::close(::open(path.c_str(), O_WRONLY | O_NONBLOCK));
    });
    auto dump = f.dumpDialog();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(dump.loadFile(path));
    const auto took = std::chrono::steady_clock::now() - start;
    done = true;
    rescue.join();
    EXPECT_LT(took, std::chrono::seconds(1));
    EXPECT_EQ(f.journal.messages, (std::vector<RecordedMessage>{{"Can't Open File : " + path, "Error"}}));
}

TEST(DumpMemory, WriteBeforeAnyLoadSendsNothing) {
    DialogsOnBench f;
    auto dump = f.dumpDialog(MemoryRange{0, 0, 0x00, 0xFF});
    EXPECT_EQ(dump.writeToMonitor(), MemoryAction::Refused);
    EXPECT_EQ(f.journal.messages, (std::vector<RecordedMessage>{{std::string(kNoMemoryFileLoaded), "Error"}}));
    EXPECT_TRUE(f.bench.log.requests().empty());
    // A refused file leaves nothing loaded either.
    f.chooser.answer = f.folder.file("missing.mem");
    EXPECT_FALSE(dump.chooseAndLoad());
    EXPECT_EQ(dump.writeToMonitor(), MemoryAction::Refused);
    EXPECT_TRUE(f.bench.log.requests().empty());
}

TEST(DumpMemory, FailedWriteStopsAndKeepsWhatWasWritten) {
    DialogsOnBench f;
    const std::string path = f.folder.file("four.mem");
    writeFile(path, "_020_02311223344");
    auto dump = f.dumpDialog();
    ASSERT_TRUE(dump.loadFile(path));
    int bytes = 0;
    dump.setByteDone([&] {
        if (++bytes == 2) f.bench.faults.noMonitor = true;
    });
    EXPECT_EQ(dump.writeToMonitor(), MemoryAction::Failed);
    EXPECT_EQ(bytes, 3);
    EXPECT_EQ(f.bench.monitor.memory[0][0x20], 0x11);
    EXPECT_EQ(f.bench.monitor.memory[0][0x21], 0x22);
    EXPECT_EQ(f.bench.monitor.memory[0][0x22], bench::MonitorState::defaultMemoryByte(0, 0x22));
    EXPECT_EQ(f.journal.messages, (std::vector<RecordedMessage>{{"I2C communication Error!", "Error"}}));
}

TEST(DumpMemory, WriteEnabledModeOffRefusesTheFirstWrite) {
    DialogsOnBench f;
    f.flags.writeEnabled = 0;
    const std::string path = f.folder.file("page.mem");
    writeFile(path, "_000_00155AA");
    auto dump = f.dumpDialog();
    ASSERT_TRUE(dump.loadFile(path));
    EXPECT_EQ(dump.writeToMonitor(), MemoryAction::Failed);
    EXPECT_EQ(f.messages.messages, (std::vector<RecordedMessage>{{"Password is required", ""}}));
    EXPECT_EQ(f.journal.messages, (std::vector<RecordedMessage>{{"I2C communication Error!", "Error"}}));
    EXPECT_TRUE(f.bench.log.requests().empty());
}

}  // namespace
}  // namespace velmora::tools
