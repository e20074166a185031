// Line splitting, the line walk, numbers, names and expressions.
#include <gtest/gtest.h>

#include "model/hex_text.h"
#include "model/source_line.h"
#include "test_support.h"

namespace velmora::model::testing {
namespace {

struct SplitRow {
    std::string_view line;
    std::string_view label;
    std::string_view statement;
    std::string_view comment;
};

void PrintTo(const SplitRow& row, std::ostream* out) { *out << "\"" << row.line << "\""; }

class SplitLineTest : public ::testing::TestWithParam<SplitRow> {};

TEST_P(SplitLineTest, GivesLabelStatementAndComment) {
    const SplitRow& row = GetParam();
    SourceLine line;
    splitLine(row.line, line);
    EXPECT_EQ(line.label, row.label) << "line: " << row.line;
    EXPECT_EQ(line.statement, row.statement) << "line: " << row.line;
    EXPECT_EQ(line.comment, row.comment) << "line: " << row.line;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SplitLineTest,
    ::testing::Values(
        SplitRow{"HUP  db  __SETVCP_UP, V_HPOSI, 'H-POSITION up', 0 ; item 00",
                 "HUP", "db,__SETVCP_UP,V_HPOSI,'H-POSITION up',0", " item 00"},
        SplitRow{"     db 1", "", "db,1", ""},
        SplitRow{"; [MODEL,CX-17]", "", "", " [MODEL,CX-17]"},
        SplitRow{"$LBL db 1 ; [MODEL,X]", "", "", ""},
        SplitRow{"ONLY:", "ONLY", "", ""},
        SplitRow{"TWO:: db 1", "TWO:", "db,1", ""},
        SplitRow{"LBL;x", "LBL;x", "", ""},
        SplitRow{"LBL;not a comment", "LBL;not", "a,comment", ""},
        SplitRow{"\tdb\t'a  b' ,  2\t", "", "db,'a  b',2", ""},
        SplitRow{"        db   ", "", "db,", ""},
        SplitRow{"A\rB db 1", "A\rB", "db,1", ""},
        SplitRow{"X db ';' ,1", "X", "db,'", "' ,1"},
        SplitRow{"", "", "", ""}));

TEST(LineWalker, NeverGivesTheLastLine) {
    const struct {
        std::string_view text;
        std::vector<std::string_view> lines;
    } rows[] = {
        {"a\nb\nc", {"a", "b"}},
        {"a\nb\nc\n", {"a", "b"}},
        {"a\r\nb\r\nend\r\n", {"a", "b"}},
        {"a\n\n\nx", {"a", "", ""}},
        {"no line feed", {}},
        {"", {}},
    };
    for (const auto& row : rows) {
        LineWalker walker(row.text);
        std::vector<std::string_view> seen;
        for (std::string_view line; walker.next(line);) seen.push_back(line);
        EXPECT_EQ(seen, row.lines) << "text: " << row.text;
    }
}

TEST(ParseNumber, ReadsHexAndDecimalAndReportsNonDigits) {
    const struct {
        std::string_view text;
        std::int32_t value;
        std::string_view error;
    } rows[] = {
        {"0", 0, ""},
        {"1234", 1234, ""},
        {"0FFh", 0xFF, ""},
        {"1fH", 0x1F, ""},
        {"h", 0, ""},
        {"12x", 12, "12x is not decimal number\n"},
        {"x12", 0, "x12 is not decimal number\n"},
        {"-5", -5, "-5 is not decimal number\n"},
        {"4294967297", 1, ""},
        {"", 0, ""},
    };
    for (const auto& row : rows) {
        ModelDescription model;
        EXPECT_EQ(model.parseNumber(row.text), row.value) << "text: " << row.text;
        EXPECT_EQ(model.errorText, row.error) << "text: " << row.text;
        EXPECT_EQ(model.errorFlag, !row.error.empty()) << "text: " << row.text;
    }
}

TEST(ParseHexText, CountsEveryCharacterAsADigit) {
    const struct {
        std::string_view text;
        std::uint32_t value;
    } rows[] = {
        {"0", 0}, {"1F", 0x1F}, {"a0", 0xA0}, {"FFFFFFFF", 0xFFFFFFFF}, {"100000000", 0},
        {"G", 23},   // 'G' - '0'
        {"1 ", 0},   // the blank counts -16
        {"", 0},
    };
    for (const auto& row : rows) EXPECT_EQ(parseHexText(row.text), row.value) << "text: " << row.text;
}

TEST(LookupSymbol, SearchesModelSymbolsThenBuiltinNames) {
    const auto model = compileLines({"V_HPOSI db 1", "Mixed   db 2", "LAST    db 3"});
    const struct {
        std::string_view name;
        std::uint16_t value;
        bool reported;
    } rows[] = {
        {"V_HPOSI", 0, false},       // the model's label hides the built-in name
        {"V_VPOSI", 0x30, false},
        {"V_TCONR", 0x46, false},
        {"REV", 0x40, false},
        {"Mixed", 1, false},
        {"MIXED", 0x8000, true},     // case counts when looking names up
        {"v_vposi", 0x8000, true},
        {"SERVICE_KEY", 0x8000, false},
        {"SERVICE_VCP", 0x8000, false},
        {"NOWHERE", 0x8000, true},
    };
    for (const auto& row : rows) {
        model->errorText.clear();
        EXPECT_EQ(model->lookupSymbol(row.name), row.value) << "name: " << row.name;
        EXPECT_EQ(model->errorText, row.reported ? std::string(row.name) + " is not found \n" : "")
            << "name: " << row.name;
    }
}

TEST(EvaluateExpression, AddsAndSubtractsFromLeftToRight) {
    const auto model = compileLines({"BASE    define 100", "        db 0"});
    const struct {
        std::string_view text;
        std::int32_t value;
    } rows[] = {
        {"", 0},           {"7", 7},           {"-7", -7},
        {"BASE+1", 101},   {"BASE-1-1", 98},   {"-BASE+10", -90},
        {"V_HPOSI+1", 0x21}, {"PAGE4+SHIFT+3", 0xE3}, {"0FFFFh+0FFFFh", 0x1FFFE},
        {"MISSING+1", 0x8001}, {"2147483647+1", INT32_MIN},
    };
    for (const auto& row : rows) EXPECT_EQ(model->evaluateExpression(row.text), row.value) << "text: " << row.text;
}

TEST(Compile, ResetsTheModelSettingsButKeepsTheErrorReport) {
    ModelDescription model;
    model.compileText(modelText({"; [MODEL,FIRST]", "; [VER,0.5]", "; [KEY,1,ONE]", "A db MISSING"}));
    ASSERT_EQ(model.errorText, "MISSING is not found \n");
    model.compileText(modelText({"B db 1"}));
    EXPECT_EQ(model.modelName, "");
    EXPECT_EQ(model.version, 0.0);
    EXPECT_EQ(model.oldVersion, 0);
    EXPECT_EQ(model.keyNameCount, 0);
    EXPECT_EQ(model.symbolCount, 1);
    EXPECT_EQ(model.lookupSymbol("B"), 0);
    EXPECT_EQ(model.lookupSymbol("A"), 0x8000);  // symbols of the previous model are gone
    EXPECT_TRUE(model.errorFlag);
    EXPECT_EQ(model.errorText, "MISSING is not found \nA is not found \n");
}

}  // namespace
}  // namespace velmora::model::testing
