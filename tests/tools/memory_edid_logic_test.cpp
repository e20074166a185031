// The Memory & Edid window's logic on the virtual bench: what it sends,
// what the dump shows, and what the user is told.
#include "tools/memory_edid_logic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "interpreter_on_bench.h"
#include "link/block_text.h"
#include "tools_journal.h"

namespace velmora::tools {
namespace {

using link::EepromAccessMode;
using link::ReplyMode;
using model::testing::InterpreterOnBench;
using testing::Journal;

struct WindowOnBench : InterpreterOnBench {
    explicit WindowOnBench(ReplyMode mode = ReplyMode::MasterRead) : InterpreterOnBench(mode) {}
    Journal journal;
    int autoReading = 1;
    MemoryEdidLogic window{interpreter, link, flags, autoReading, journal, journal};
};

// The dump row the bench's memory should give for page p, row r.
std::string expectedRow(const bench::MonitorState& monitor, int page, int row) {
    std::string cells;
    for (int column = 0; column < 16; ++column) {
        char cell[4];
        std::snprintf(cell, sizeof cell, "%02X ", monitor.memory[page][row * 16 + column]);
        cells += cell;
    }
    return cells;
}

std::string allUnreadRow() {
    std::string cells;
    for (int column = 0; column < 16; ++column) cells += "XX ";
    return cells;
}

TEST(MemoryEdidWindow, LabelsAndHeader) {
    EXPECT_EQ(MemoryEdidLogic::columnHeaderText(), "00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F ");
    const std::string labels = MemoryEdidLogic::rowLabelsText();
    EXPECT_EQ(labels.substr(0, 8), "00\r\n10\r\n");
    EXPECT_EQ(labels.substr(labels.size() - 8), "E0\r\nF0\r\n");
    EXPECT_EQ(labels.size(), 16u * 4);
}

TEST(MemoryEdidWindow, OpeningWithAutoReadingOffShowsTheUnreadGridAndSendsNothing) {
    WindowOnBench f;
    f.autoReading = 0;
    f.window.initialise();
    f.window.pageTextChanged(MemoryEdidLogic::kInitialPageText);
    f.window.firstPaint("0");
    f.window.pageTextChanged("1");
    EXPECT_EQ(f.window.dump().text(), link::unreadBlockText());
    EXPECT_TRUE(f.bench.log.requests().empty());
}

TEST(MemoryEdidWindow, OpeningWithAutoReadingOnReadsPageZeroAtTheFirstPaintOnly) {
    WindowOnBench f;
    f.window.initialise();
    EXPECT_TRUE(f.window.dump().empty());
    // Setting the Page box to "0" during initialisation reads nothing.
    f.window.pageTextChanged(MemoryEdidLogic::kInitialPageText);
    EXPECT_TRUE(f.bench.log.requests().empty());

    f.window.firstPaint("0");
    EXPECT_TRUE(f.window.firstPaintDone());
    EXPECT_EQ(f.bench.log.requests().size(), 1u + 256u);  // the probe, then every cell
    for (int row = 0; row < 16; ++row) EXPECT_EQ(f.window.dump().rowText(row), expectedRow(f.bench.monitor, 0, row));
    f.window.firstPaint("0");  // a repaint reads nothing
    EXPECT_EQ(f.bench.log.requests().size(), 257u);

    // Every later change of the Page box reads the whole page again.
    f.bench.log.clear();
    f.window.pageTextChanged("2");
    EXPECT_EQ(f.bench.log.requests().size(), 257u);
    EXPECT_EQ(f.window.dump().rowText(15), expectedRow(f.bench.monitor, 2, 15));
}

TEST(MemoryEdidWindow, WriteButtonsFollowWriteEnabledModeAtOpening) {
    WindowOnBench f;
    f.flags.writeEnabled = 0;
    f.window.initialise();
    EXPECT_FALSE(f.window.writeButtonsVisible());
    f.flags.writeEnabled = 1;  // decided at opening only
    EXPECT_FALSE(f.window.writeButtonsVisible());
    f.window.initialise();
    EXPECT_TRUE(f.window.writeButtonsVisible());
}

struct PageReadRow {
    std::string name;
    EepromAccessMode mode;
    std::string monitorForm;
    std::string firstCellRequest;  // page 2, address 0
};

void PrintTo(const PageReadRow& row, std::ostream* out) { *out << row.name; }

class PageRead : public ::testing::TestWithParam<PageReadRow> {};

TEST_P(PageRead, FillsTheDumpRowByRowInTheAccessForm) {
    const PageReadRow& row = GetParam();
    WindowOnBench f;
    ASSERT_TRUE(f.bench.applyFault("memory-form=" + row.monitorForm).empty());
    f.flags.eepromAccessMode = row.mode;
    f.window.initialise();
    f.journal.events.clear();
    f.window.readMemory("2");

    const auto payloads = f.payloads();
    ASSERT_EQ(payloads.size(), 257u) << row.name;
    EXPECT_EQ(payloads[1], row.firstCellRequest) << row.name;
    EXPECT_EQ(f.flags.eepromAccessMode, row.mode) << row.name;
    for (int r = 0; r < 16; ++r) {
        EXPECT_EQ(f.window.dump().rowText(r), expectedRow(f.bench.monitor, 2, r)) << row.name << " row " << r;
    }
    // Rows separated by CR LF, none after the last: the cell geometry holds.
    EXPECT_EQ(f.window.dump().text().size(), 16u * 50 - 2);
    EXPECT_EQ(f.window.dump().text().substr(DumpText::cellOffset(0x3A), 2),
              expectedRow(f.bench.monitor, 2, 3).substr(30, 2));

    std::vector<std::string> expected{"wait", "cleared"};
    for (int r = 0; r < 16; ++r) expected.push_back("row " + std::to_string(r));
    expected.push_back("restore");
    EXPECT_EQ(f.journal.events, expected) << row.name;
}

INSTANTIATE_TEST_SUITE_P(
    BothForms, PageRead,
    ::testing::Values(PageReadRow{"ByPage", EepromAccessMode::ByPage, "bypage", "C1 09 02 00"},
                      PageReadRow{"ByDevice", EepromAccessMode::ByDevice, "bydevice", "60 01 A4 00"}),
    [](const auto& info) { return info.param.name; });

TEST(MemoryEdidWindow, RowsAppearOneByOne) {
    struct RowWatcher : Journal {
        const DumpText* dump = nullptr;
        std::vector<int> rowCounts;
        void dumpRowWritten(int row) override {
            Journal::dumpRowWritten(row);
            rowCounts.push_back(dump->rowCount());
        }
    };
    InterpreterOnBench f;
    RowWatcher watcher;
    const int autoReading = 1;
    MemoryEdidLogic window(f.interpreter, f.link, f.flags, autoReading, watcher, watcher);
    watcher.dump = &window.dump();
    window.initialise();
    window.readMemory("0");
    std::vector<int> expected(16);
    for (int r = 0; r < 16; ++r) expected[r] = r + 1;
    EXPECT_EQ(watcher.rowCounts, expected);
}

struct ProbeRow {
    std::string name;
    ReplyMode replyMode;
    std::string fault;
    EepromAccessMode start;
    EepromAccessMode after;
    bool pageRead;
};

void PrintTo(const ProbeRow& row, std::ostream* out) { *out << row.name; }

class Probe : public ::testing::TestWithParam<ProbeRow> {};

TEST_P(Probe, SwitchesTheAccessModeOnlyOnNoResponse) {
    const ProbeRow& row = GetParam();
    WindowOnBench f(row.replyMode);
    ASSERT_TRUE(f.bench.applyFault(row.fault).empty()) << row.fault;
    f.flags.eepromAccessMode = row.start;
    f.window.initialise();
    f.window.readMemory("1");
    EXPECT_EQ(f.flags.eepromAccessMode, row.after) << row.name;
    EXPECT_EQ(f.window.dump().rowText(0), row.pageRead ? expectedRow(f.bench.monitor, 1, 0) : allUnreadRow())
        << row.name;
}

INSTANTIATE_TEST_SUITE_P(
    Forms, Probe,
    ::testing::Values(
        // A monitor that ignores the present form stays silent: NoResponse.
        ProbeRow{"SlaveByPageToByDevice", ReplyMode::SlaveReceive, "memory-form=bydevice", EepromAccessMode::ByPage,
                 EepromAccessMode::ByDevice, true},
        ProbeRow{"SlaveByDeviceToByPage", ReplyMode::SlaveReceive, "memory-form=bypage", EepromAccessMode::ByDevice,
                 EepromAccessMode::ByPage, true},
        ProbeRow{"SlaveUnderstood", ReplyMode::SlaveReceive, "memory-form=both", EepromAccessMode::ByPage,
                 EepromAccessMode::ByPage, true},
        // Read as master, the silent monitor does not acknowledge 0x6F: no switch.
        ProbeRow{"MasterReadNotAcknowledged", ReplyMode::MasterRead, "memory-form=bydevice", EepromAccessMode::ByPage,
                 EepromAccessMode::ByPage, false},
        ProbeRow{"NoMonitor", ReplyMode::SlaveReceive, "no-monitor", EepromAccessMode::ByPage,
                 EepromAccessMode::ByPage, false}),
    [](const auto& info) { return info.param.name; });

TEST(MemoryEdidWindow, ThreeFailedCellsEndTheRequests) {
    struct Case {
        std::string fault;
        std::string linkMessage;
    };
    for (const Case& c : {Case{"no-monitor", "Monitor is not Connected"},
                          Case{"no-board", "Check Connection of Interface board"}}) {
        WindowOnBench f;
        ASSERT_TRUE(f.bench.applyFault(c.fault).empty());
        f.window.initialise();
        f.window.readMemory("0");
        EXPECT_EQ(f.window.dump().text(), link::unreadBlockText()) << c.fault;
        // The probe and three cells: the link reports each failed exchange once.
        const std::vector<platform::RecordedMessage> expected(4, {c.linkMessage, ""});
        EXPECT_EQ(f.messages.messages, expected) << c.fault;
        EXPECT_TRUE(f.journal.messages.empty()) << c.fault;
    }
}

TEST(MemoryEdidWindow, SilentMonitorGetsTheProbeAndThreeCellRequests) {
    WindowOnBench f(ReplyMode::SlaveReceive);
    ASSERT_TRUE(f.bench.applyFault("no-slave-reply").empty());
    f.window.initialise();
    f.window.readMemory("0");
    // Each request goes out three times (the link's attempts); distinct ones:
    auto payloads = f.payloads();
    payloads.erase(std::unique(payloads.begin(), payloads.end()), payloads.end());
    EXPECT_EQ(payloads, (std::vector<std::string>{"C1 09 00 00", "60 01 A0 00", "60 01 A0 01", "60 01 A0 02"}));
    EXPECT_EQ(f.window.dump().text(), link::unreadBlockText());
    EXPECT_TRUE(f.messages.messages.empty());  // NoResponse shows no box
}

struct WriteCheckRow {
    std::string page, address, data;
    std::string message;
};

void PrintTo(const WriteCheckRow& row, std::ostream* out) {
    *out << '"' << row.page << "\" \"" << row.address << "\" \"" << row.data << '"';
}

class WriteChecks : public ::testing::TestWithParam<WriteCheckRow> {};

TEST_P(WriteChecks, RefuseBeforeSending) {
    const WriteCheckRow& row = GetParam();
    WindowOnBench f;
    f.window.initialise();
    f.journal.events.clear();
    f.window.writeMemory(row.page, row.address, row.data);
    const std::string input = row.page + " / " + row.address + " / " + row.data;
    EXPECT_TRUE(f.bench.log.requests().empty()) << input;
    // The cursor is back before the box appears.
    EXPECT_EQ(f.journal.events,
              (std::vector<std::string>{"wait", "restore", "message: " + row.message + " | Error"}))
        << input;
}

INSTANTIATE_TEST_SUITE_P(
    Readings, WriteChecks,
    ::testing::Values(WriteCheckRow{"7", "10", "55", "Invalid Page No."},
                      WriteCheckRow{"4", "10", "55", "Invalid Page No."},
                      WriteCheckRow{"-1", "10", "55", "Invalid Page No."},  // '-' counts -3: -47
                      WriteCheckRow{"1", "G0", "55", "Invalid Address"},    // 'G' counts 23: 368
                      WriteCheckRow{"1", "!0", "55", "Invalid Address"},    // '!' counts -15: -240
                      WriteCheckRow{"1", "10", "ZZ", "Invalid Data Value"},
                      WriteCheckRow{"1", "10", " 1", "Invalid Data Value"},
                      // Typos that the reading rule alone would turn into bytes.
                      WriteCheckRow{"", "10", "55", "Invalid Page No."},     // would be page 0
                      WriteCheckRow{"1", "3G", "55", "Invalid Address"},     // would be 47h
                      WriteCheckRow{"1", "", "55", "Invalid Address"},       // would be 00h
                      WriteCheckRow{"1", "10", "5G", "Invalid Data Value"},  // would be 67h
                      WriteCheckRow{"1", "10", "5 ", "Invalid Data Value"},  // would be 40h
                      WriteCheckRow{"1", "10", "", "Invalid Data Value"}));  // would be 00h

TEST(MemoryEdidWindow, WriteRefreshesOnlyItsCell) {
    WindowOnBench f;
    f.window.initialise();
    f.window.readMemory("1");
    const std::string before = f.window.dump().text();
    f.bench.log.clear();
    f.journal.events.clear();

    // The Data box as Show byte left it: two digits and a blank.
    f.window.writeMemory("1", "3a", "5A ");
    EXPECT_EQ(f.bench.monitor.memory[1][0x3A], 0x5A);
    EXPECT_EQ(f.payloads(), (std::vector<std::string>{"C0 09 01 3A 5A", "C1 09 01 3A"}));
    std::string expected = before;
    expected.replace(0x3A % 16 * 3 + 0x3A / 16 * 50, 2, "5A");
    EXPECT_EQ(f.window.dump().text(), expected);
    EXPECT_EQ(f.journal.events, (std::vector<std::string>{"wait", "restore", "cell 3,30"}));
}

TEST(MemoryEdidWindow, RefusedWriteShowsWhatTheMonitorHolds) {
    WindowOnBench f;
    f.flags.writeEnabled = 0;
    f.window.initialise();
    const std::uint8_t held = f.bench.monitor.memory[0][0xFF];
    f.window.writeMemory("0", "FF", "00");
    EXPECT_EQ(f.bench.monitor.memory[0][0xFF], held);
    ASSERT_EQ(f.messages.messages.size(), 1u);
    EXPECT_EQ(f.messages.messages[0].text, "Password is required");
    // The never-filled dump gets the unread grid with the fresh cell in place.
    char cell[3];
    std::snprintf(cell, sizeof cell, "%02X", held);
    EXPECT_EQ(f.window.dump().rowText(15), allUnreadRow().substr(0, 45) + cell + " ");
    EXPECT_EQ(f.window.dump().rowText(0), allUnreadRow());
}

TEST(MemoryEdidWindow, FailedRefreshShowsXX) {
    WindowOnBench f;
    f.window.initialise();
    f.window.readMemory("0");
    ASSERT_TRUE(f.bench.applyFault("no-monitor").empty());
    f.window.writeMemory("0", "00", "12");
    EXPECT_EQ(f.window.dump().rowText(0).substr(0, 3), "XX ");
    EXPECT_EQ(f.window.dump().rowText(0).substr(3), expectedRow(f.bench.monitor, 0, 0).substr(3));
}

TEST(MemoryEdidWindow, ShowByteReadsOnEveryKeystroke) {
    WindowOnBench f;
    f.window.initialise();
    char expected[4];

    std::snprintf(expected, sizeof expected, "%02X ", f.bench.monitor.memory[1][0x03]);
    EXPECT_EQ(f.window.showByte("1", "3"), expected);
    std::snprintf(expected, sizeof expected, "%02X ", f.bench.monitor.memory[1][0x3A]);
    EXPECT_EQ(f.window.showByte("1", "3A"), expected);
    EXPECT_EQ(f.payloads(), (std::vector<std::string>{"C1 09 01 03", "C1 09 01 3A"}));

    // Not compared with 0..FF: the request carries the low eight bits.
    f.bench.log.clear();
    (void)f.window.showByte("1", "G0");  // 368 = 170h
    EXPECT_EQ(f.payloads(), (std::vector<std::string>{"C1 09 01 70"}));

    ASSERT_TRUE(f.bench.applyFault("no-monitor").empty());
    EXPECT_EQ(f.window.showByte("1", "3A"), "");
}

TEST(MemoryEdidWindow, ReadEdidFillsTheDumpFromTheBlock) {
    WindowOnBench f;
    f.window.initialise();
    f.window.readEdid("0");
    const auto& contents = f.bench.eeprom(0).contents;
    EXPECT_EQ(f.window.dump().text(),
              link::blockRowsText(std::span<const std::uint8_t, 256>(contents.data(), 256)));
    EXPECT_EQ(f.window.dump().rowText(0).substr(0, 24), "00 FF FF FF FF FF FF 00 ");

    // Block 1 is absent on the bench: the unread grid, and no message box.
    f.window.readEdid("1");
    EXPECT_EQ(f.window.dump().text(), link::unreadBlockText());
    EXPECT_TRUE(f.messages.messages.empty());
    EXPECT_TRUE(f.journal.messages.empty());
}

TEST(MemoryEdidWindow, PageSevenIsReadAsPageAndBlockSeven) {
    WindowOnBench f;
    f.window.initialise();
    f.window.readMemory("7");
    const auto payloads = f.payloads();
    ASSERT_GE(payloads.size(), 2u);
    EXPECT_EQ(payloads[1], "C1 09 07 00");
    f.window.readEdid("7");
    EXPECT_EQ(f.window.dump().text(), link::unreadBlockText());
}

TEST(MemoryEdidWindow, DialogRangeIsTheWholePageOfTheBox) {
    struct Case {
        std::string page;
        int expected;
    };
    for (const Case& c : {Case{"2", 2}, Case{"0", 0}, Case{"12", 12}, Case{"", 0}, Case{"3x", 3}}) {
        const MemoryRange range = MemoryEdidLogic::dialogRange(c.page);
        EXPECT_EQ(range.fromPage, c.expected) << c.page;
        EXPECT_EQ(range.toPage, c.expected) << c.page;
        EXPECT_EQ(range.fromAddress, 0x00) << c.page;
        EXPECT_EQ(range.toAddress, 0xFF) << c.page;
    }
}

}  // namespace
}  // namespace velmora::tools
