// The assembler listing printed by velmora-mdl list, as text and as JSON.
#include <gtest/gtest.h>

#include "apps/velmora-mdl/model_listing.h"
#include "test_support.h"

namespace velmora::model::testing {
namespace {

const std::string kSource = modelText({
    "; [MODEL,LIST]",
    "TEN   define 10",
    "DIR   db __PAGE,3,1",
    "      db __KEY,0",
    "      db PAGE1+1Ch,1",
    "      dw SAVE",
    "      db 0FFh",
    "SAVE  db __SETVCP,V_HPOSI,TEN,'CENTRE H',0",
});

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

TEST(ModelListing, ShowsEveryLineWithAddressAndBytesThenTheTables) {
    const auto model = compileText(kSource);
    const std::vector<std::string> lines = linesOf(apps::mdl::listingText(*model, kSource));
    const std::vector<std::string> expected{
        "LINE  ADDR  BYTES                    SOURCE",
        "   1  0000                           ; [MODEL,LIST]",
        "   2  0000                           TEN   define 10",
        "   3  0000  02 03 01                 DIR   db __PAGE,3,1",
        "   4  0003  08 00                          db __KEY,0",
        "   5  0005  1C 01                          db PAGE1+1Ch,1",
        "   6  0007  0A 00                          dw SAVE",
        "   7  0009  FF                             db 0FFh",
        "   8  000A  20 20 0A 43 45 4E 54 52  SAVE  db __SETVCP,V_HPOSI,TEN,'CENTRE H',0",
        "            45 20 48 00",
        // the last line is never processed: no address
        "   9                                         end",
        "",
        "SYMBOL                           VALUE  LINE",
        "TEN                              000Ah 2",
        "DIR                              0000h 3",
        "SAVE                             000Ah 8",
        "",
        "CHUNK NAME         POSITION LENGTH",
        "02h   __PAGE       0000h    3",
        "08h   __KEY        0003h    0 (last)",
        "",
        "ITEM KIND LIST       NAME",
    };
    ASSERT_GT(lines.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + static_cast<long>(expected.size())), expected);
    // The item table as the console shows it: listed where, under which name.
    const auto row = [&](std::string_view code) {
        for (const std::string& line : lines) {
            if (line.starts_with(code)) return line;
        }
        return std::string();
    };
    EXPECT_EQ(row("00h "), "00h  21h  none       H-POSITION");  // no chunk 07: not listed
    EXPECT_EQ(row("1Ch "), "1Ch  FEh  functions  CENTRE H");
    EXPECT_EQ(row("18h "), "18h  81h  functions  MODE SAVE");
    EXPECT_EQ(row("54h "), "54h  93h  none       CHANNEL 1");  // page 2 of a one-page model
}

TEST(ModelListing, JsonHoldsTheSameAsOneObject) {
    const auto model = compileText(kSource);
    const nlohmann::json json = apps::mdl::listingToJson(*model, kSource);
    EXPECT_EQ(json["lines"].size(), 9u);
    EXPECT_EQ(json["lines"][7], (nlohmann::json{{"line", 8},
                                                {"address", 10},
                                                {"bytes", {0x20, 0x20, 0x0A, 'C', 'E', 'N', 'T', 'R', 'E', ' ', 'H', 0}},
                                                {"text", "SAVE  db __SETVCP,V_HPOSI,TEN,'CENTRE H',0"}}));
    EXPECT_TRUE(json["lines"][8]["address"].is_null());
    EXPECT_EQ(json["symbols"][2], (nlohmann::json{{"name", "SAVE"}, {"value", 10}, {"line", 8}}));
    EXPECT_EQ(json["chunks"][1], (nlohmann::json{{"id", 8}, {"name", "__KEY"}, {"position", 3}, {"length", 0}}));
    EXPECT_EQ(json["items"][0], (nlohmann::json{{"code", 0}, {"kind", 0x21}, {"list", "none"}, {"name", "H-POSITION"}}));
}

}  // namespace
}  // namespace velmora::model::testing
