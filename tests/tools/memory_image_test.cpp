#include "tools/memory_image.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmora::tools {
namespace {

TEST(MemoryImageFormat, WritesHeaderAndUpperCaseDigits) {
    const std::vector<std::uint8_t> bytes{0x12, 0xAB, 0x00};
    EXPECT_EQ(formatMemoryImage(0x110, 0x112, bytes), "_110_11212AB00");

    const std::vector<std::uint8_t> page(256, 0x5A);
    const std::string whole = formatMemoryImage(0x200, 0x2FF, page);
    EXPECT_EQ(whole.size(), 520u);
    EXPECT_EQ(whole.substr(0, 10), "_200_2FF5A");

    const std::vector<std::uint8_t> all(1024, 0);
    EXPECT_EQ(formatMemoryImage(0, 0x3FF, all).size(), 2056u);
}

TEST(MemoryImageParse, RoundTripsFormattedText) {
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < 32; ++i) bytes.push_back(static_cast<std::uint8_t>(i * 7));
    const auto parsed = parseMemoryImage(formatMemoryImage(0x0F0, 0x10F, bytes));
    ASSERT_TRUE(std::holds_alternative<MemoryImage>(parsed)) << std::get<std::string>(parsed);
    const auto& image = std::get<MemoryImage>(parsed);
    EXPECT_EQ(image.start, 0x0F0);
    EXPECT_EQ(image.end, 0x10F);
    EXPECT_EQ(image.bytes, bytes);
    const auto range = MemoryRange::fromLocations(image.start, image.end);
    EXPECT_EQ(range.fromPage, 0);
    EXPECT_EQ(range.fromAddress, 0xF0);
    EXPECT_EQ(range.toPage, 1);
    EXPECT_EQ(range.toAddress, 0x0F);
}

TEST(MemoryImageParse, AcceptsLowerCaseDigits) {
    const auto parsed = parseMemoryImage("_1a0_1a1abcd");
    ASSERT_TRUE(std::holds_alternative<MemoryImage>(parsed));
    const auto& image = std::get<MemoryImage>(parsed);
    EXPECT_EQ(image.start, 0x1A0);
    EXPECT_EQ(image.bytes, (std::vector<std::uint8_t>{0xAB, 0xCD}));
}

struct Refusal {
    std::string name;
    std::string text;
    std::string_view message;
};

void PrintTo(const Refusal& row, std::ostream* out) { *out << row.name; }

class MemoryImageRefusal : public testing::TestWithParam<Refusal> {};

TEST_P(MemoryImageRefusal, NamesTheFault) {
    const auto parsed = parseMemoryImage(GetParam().text);
    ASSERT_TRUE(std::holds_alternative<std::string>(parsed)) << GetParam().text;
    EXPECT_EQ(std::get<std::string>(parsed), GetParam().message) << GetParam().text;
}

std::string pageZeroWithDigits(std::size_t digits) { return "_000_0FF" + std::string(digits, '0'); }

INSTANTIATE_TEST_SUITE_P(
    Loader, MemoryImageRefusal,
    testing::Values(
        Refusal{"TooLong", std::string(2157, '_'), kNotAMemoryFile},
        Refusal{"TooLongWhateverItHolds", "_000_3FF" + std::string(2149, '0'), kNotAMemoryFile},
        Refusal{"NoLeadingUnderscore", "0000_00000", kHeaderCorrupt},
        Refusal{"NoSecondUnderscore", "_0000000000", kHeaderCorrupt},
        Refusal{"ShorterThanHeader", "_00", kHeaderCorrupt},
        Refusal{"Empty", "", kHeaderCorrupt},
        Refusal{"HeaderNotHex", "_0G0_0G000", kHeaderCorrupt},
        Refusal{"HeaderWithBlank", "_ 00_00000", kHeaderCorrupt},
        Refusal{"LengthOneDigitShort", pageZeroWithDigits(511), kDataCorrupt},
        Refusal{"LengthOneDigitLong", pageZeroWithDigits(513), kDataCorrupt},
        Refusal{"DataNotHex", "_000_001ABZZ", kDataCorrupt},
        Refusal{"DataWithSign", "_000_000-1", kDataCorrupt},
        Refusal{"EndBeforeStart", "_101_100", kRangeBackwards},
        Refusal{"BeyondLastLocation", "_3FF_400" + std::string(4, '0'), kRangeBeyondMemory},
        Refusal{"StartBeyondLastLocation", "_FFF_FFF00", kRangeBeyondMemory}),
    [](const testing::TestParamInfo<Refusal>& info) { return info.param.name; });

TEST(MemoryImageParse, LongestAcceptedLengthIsChecked) {
    // 2156 characters pass the length test; the header then decides.
    EXPECT_EQ(std::get<std::string>(parseMemoryImage(std::string(2156, 'x'))), kHeaderCorrupt);
}

TEST(MemoryRangeFault, RefusesBackwardsRanges) {
    EXPECT_TRUE(rangeFault(MemoryRange{0, 0, 0x00, 0xFF}).empty());
    EXPECT_TRUE(rangeFault(MemoryRange{1, 1, 0x10, 0x10}).empty());
    EXPECT_EQ(rangeFault(MemoryRange{1, 0, 0x00, 0xFF}), kRangeBackwards);
    EXPECT_EQ(rangeFault(MemoryRange{2, 2, 0x20, 0x1F}), kRangeBackwards);
}

}  // namespace
}  // namespace velmora::tools
