#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "bench/edid_eeprom.h"
#include "bench/monitor_state.h"

namespace velmora::bench {
namespace {

std::string hex(const std::vector<std::uint8_t>& bytes) { return hexBytes(bytes); }

struct ReplyRow {
    std::vector<std::uint8_t> request;
    MemoryForm form;
    const char* reply;  // nullptr: no reply
};

void PrintTo(const ReplyRow& row, std::ostream* out) {
    for (std::uint8_t byte : row.request) {
        static constexpr char kDigits[] = "0123456789ABCDEF";
        *out << kDigits[byte >> 4] << kDigits[byte & 15] << ' ';
    }
}

std::string replyRowName(const ::testing::TestParamInfo<ReplyRow>& info) {
    static constexpr const char* kForms[] = {"ByPage", "ByDevice", "Both"};
    std::string name = "Row" + std::to_string(info.index) + "_" + kForms[static_cast<int>(info.param.form)];
    for (std::uint8_t byte : info.param.request) name += "_" + hex({byte});
    return name;
}

class MonitorReplyTest : public ::testing::TestWithParam<ReplyRow> {};

TEST_P(MonitorReplyTest, AnswersWithTheDocumentedPayload) {
    const ReplyRow& row = GetParam();
    MonitorState state;
    BenchFaults faults;
    faults.memoryForm = row.form;
    BenchLog log;
    const auto reply = state.handle(row.request, faults, log, 0);
    if (row.reply == nullptr) {
        EXPECT_FALSE(reply.has_value()) << hex(row.request) << " -> " << hex(reply.value_or(std::vector<std::uint8_t>{}));
    } else {
        ASSERT_TRUE(reply.has_value()) << hex(row.request);
        EXPECT_EQ(hex(*reply), row.reply) << hex(row.request);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Requests, MonitorReplyTest,
    ::testing::Values(
        ReplyRow{{0x01, 0x10}, MemoryForm::Both, "02 00 10 00 00 64 00 32"},
        ReplyRow{{0x01, 0x20}, MemoryForm::Both, "02 00 20 00 00 FF 00 80"},
        ReplyRow{{0x03, 0x10, 0x00, 0x20}, MemoryForm::Both, nullptr},
        ReplyRow{{0x58}, MemoryForm::Both, "58 00"},
        ReplyRow{{0xE3}, MemoryForm::Both, "E3 EE"},
        ReplyRow{{0x52, 0x04, 0x01, 0x02, 0x03}, MemoryForm::Both, "53 04"},
        ReplyRow{{0xC0, 0x07, 0x16, 0x02, 0x05, 0x06}, MemoryForm::Both, "C1 07 16 02"},
        ReplyRow{{0xC0, 0x0B}, MemoryForm::Both, "C1 0B 00 46 57"},
        ReplyRow{{0xC0, 0x0C}, MemoryForm::Both, "C1 0C 00"},
        ReplyRow{{0xC1, 0x09, 0x01, 0x02}, MemoryForm::Both, "C2 09 01 02 5F"},
        ReplyRow{{0xC1, 0x89, 0x00, 0x00}, MemoryForm::ByPage, "C2 89 00 00 11"},
        ReplyRow{{0xC1, 0x09, 0x04, 0x02}, MemoryForm::Both, nullptr},
        ReplyRow{{0xC1, 0x09, 0x01, 0x02}, MemoryForm::ByDevice, nullptr},
        ReplyRow{{0xC0, 0x09, 0x03, 0x10, 0x77}, MemoryForm::ByPage, "C1 09 03 10 77"},
        ReplyRow{{0xC0, 0x09, 0x03, 0x10, 0x77}, MemoryForm::ByDevice, nullptr},
        ReplyRow{{0x60, 0x01, 0xA2, 0x02}, MemoryForm::ByDevice, "61 01 A2 02 5F"},
        ReplyRow{{0x60, 0x03, 0xA0, 0xFF}, MemoryForm::Both, "61 03 A0 FF 0A 11 18"},
        ReplyRow{{0x60, 0x01, 0xA2, 0x02}, MemoryForm::ByPage, nullptr},
        ReplyRow{{0x60, 0x01, 0x50, 0x02}, MemoryForm::Both, nullptr},
        ReplyRow{{0x62, 0x01, 0xA6, 0x02, 0x99}, MemoryForm::ByDevice, "63 01 A6 02 99"},
        ReplyRow{{0x62, 0x02, 0x01, 0x02, 0x99}, MemoryForm::Both, "63 02 01 02 99"},
        ReplyRow{{0x62, 0x01, 0xA6, 0x02, 0x99}, MemoryForm::ByPage, nullptr},
        ReplyRow{{0x7A, 0x01}, MemoryForm::Both, "7B 00"}),
    replyRowName);

TEST(MonitorState, StateChangesAreLogged) {
    MonitorState state;
    BenchFaults faults;
    BenchLog log;
    (void)state.handle(std::vector<std::uint8_t>{0x03, 0x12, 0x01, 0x00}, faults, log, 5);  // 256 -> 100
    (void)state.handle(std::vector<std::uint8_t>{0xC0, 0x09, 0x01, 0x20, 0x5A}, faults, log, 6);
    (void)state.handle(std::vector<std::uint8_t>{0x52, 0x07, 0x01}, faults, log, 7);
    (void)state.handle(std::vector<std::uint8_t>{0xC0, 0x07, 0x16, 0x02, 0x05}, faults, log, 8);
    EXPECT_EQ(state.vcp[0x12].current, 100);
    EXPECT_EQ(state.memory[1][0x20], 0x5A);
    EXPECT_TRUE(state.modeTables[7].stored);
    EXPECT_EQ(state.modeTables[7].values, std::vector<std::uint8_t>{0x01});
    EXPECT_EQ(state.userTables[0x16].parameter, 2);
    ASSERT_EQ(log.events().size(), 4u);
    EXPECT_EQ(log.events()[0].detail, "VCP 12 := 64");
    EXPECT_EQ(log.events()[1].detail, "page 1 address 20 := 5A");
    EXPECT_EQ(log.events()[2].kind, BenchEventKind::ModeTableStored);
    EXPECT_EQ(log.events()[3].kind, BenchEventKind::UserTableStored);
    EXPECT_EQ(log.events()[3].timeMicroseconds, 8);
}

TEST(BenchEdid, BaseBlockIsAValidEdid13) {
    const auto edid = benchEdidBaseBlock();
    const std::uint8_t header[] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    EXPECT_TRUE(std::equal(std::begin(header), std::end(header), edid.begin()));
    EXPECT_EQ(edidBlockSum(edid), 0);
    EXPECT_EQ(edid[18], 1);
    EXPECT_EQ(edid[19], 3);
    EXPECT_EQ(edid[126], 0);
    // The header's six FF bytes must be the stream's only 55-cell high run.
    int longestOnes = 0;
    int ones = 0;
    for (std::size_t i = 8; i < 128; ++i) {
        ones = edid[i] == 0xFF ? ones + 1 : 0;
        longestOnes = std::max(longestOnes, ones);
    }
    EXPECT_LT(longestOnes, 6);
}

}  // namespace
}  // namespace velmora::bench
