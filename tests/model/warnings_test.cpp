// Warnings that need a model of their own: the TIMING directive's variants
// and the line of a refusal found after the passes. The annotated files in
// cases/ hold the others.
#include <gtest/gtest.h>

#include "model/model_warnings.h"
#include "test_support.h"

namespace velmora::model::testing {
namespace {

// A model whose chunk 05 holds one SGS_1 mode table at MODES (line 1 is
// left for a directive).
std::string withModeTable(std::string_view directive) {
    return modelText({directive, "DIR   db __ALL_GD,0,1", "      db 5,1", "      dw CODES,MODES,NUMS",
                      "CODES db 0FFh,0FFh,0FFh,0FFh,0FFh", "MODES db 1Fh,80h,3Ch,0,5", "NUMS  db 0"});
}

std::vector<std::string> placed(const ModelDescription& model) {
    std::vector<std::string> reports;
    for (const SourceDiagnostic& error : model.compileTrace().diagnostics()) {
        reports.push_back(std::to_string(error.line) + ": error: " + error.text);
    }
    for (const ModelWarning& warning : findWarnings(model)) {
        reports.push_back(std::to_string(warning.line) + ": warning: " + warning.text);
    }
    return reports;
}

struct TimingRow {
    const char* name;
    std::string text;
    std::vector<std::string> reports;
};

void PrintTo(const TimingRow& row, std::ostream* out) { *out << row.name; }

class TimingDirective : public ::testing::TestWithParam<TimingRow> {};

TEST_P(TimingDirective, IsCheckedAgainstChunk05) {
    const auto model = compileText(GetParam().text);
    EXPECT_EQ(placed(*model), GetParam().reports) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TimingDirective,
    ::testing::Values(
        TimingRow{"decodes", withModeTable("; [TIMING,SGS_1,MODES,0] [KEY,PAGE1+18h,SAVE IT]"), {}},
        TimingRow{"missing", withModeTable("; no directive"),
                  {"2: warning: chunk 05 (__ALL_GD) without a TIMING directive: no timings are listed"}},
        TimingRow{"familyOnly", withModeTable("; [TIMING,SGS_1,MODES]"),
                  {"1: warning: TIMING directive without a family, label and offset: no timings are decoded"}},
        TimingRow{"unknownFamily", withModeTable("; [TIMING,SGS_9,MODES,0]"),
                  {"1: warning: TIMING family \"SGS_9\" is not one whose modes are decoded (valid: SGS_1, SGS_2, SGS_3, "
                   "SGS_4, MOTOROLA_1, MOTOROLA_2, VELMORA_1, VELMORA_2)"}},
        TimingRow{"labelNotFound", withModeTable("; [TIMING,SGS_1,NOWHERE,0]"),
                  {"1: error: NOWHERE is not found"}},
        TimingRow{"noChunk05", modelText({"; [TIMING,SGS_1,MODES,0]", "MODES db 0FFh"}),
                  {"1: warning: TIMING directive, but the model has no chunk 05 (__ALL_GD): no timings are decoded"}}),
    [](const ::testing::TestParamInfo<TimingRow>& info) { return std::string(info.param.name); });

// Directive values the compile takes in a way the author may not mean: the
// file compiles as before and a warning says what is valid.
class DirectiveValue : public ::testing::TestWithParam<TimingRow> {};

TEST_P(DirectiveValue, IsWarnedAboutWhenNotKnown) {
    const auto model = compileText(GetParam().text);
    EXPECT_EQ(placed(*model), GetParam().reports) << GetParam().text;
    EXPECT_FALSE(model->errorFlag) << GetParam().text;
}

const std::string kSlaveReceive = "the monitor is taken to reply as bus master (SlaveReceive)";

INSTANTIATE_TEST_SUITE_P(
    Rows, DirectiveValue,
    ::testing::Values(
        TimingRow{"masterRead", modelText({"; [PROTOCOL,DDC2Bi] [VER,1.2]", "DIR db 0FFh"}), {}},
        TimingRow{"masterReadByPrefix", modelText({"; [protocol,ddc2bi-rev2] [VER, 0.95]", "DIR db 0FFh"}), {}},
        TimingRow{"slaveNames", modelText({"; [PROTOCOL,DDC2B]", "; [PROTOCOL,slave]", "; [PROTOCOL, SLAVE]",
                                           "DIR db 0FFh"}),
                  {}},
        TimingRow{"unknownProtocol", modelText({"; [PROTOCOL,DDC9]", "DIR db 0FFh"}),
                  {"1: warning: PROTOCOL \"DDC9\" is not known: " + kSlaveReceive +
                   "; valid: DDC2Bi (MasterRead), DDC2B or SLAVE (SlaveReceive)"}},
        TimingRow{"emptyProtocol", modelText({"; x", "; [PROTOCOL,]", "DIR db 0FFh"}),
                  {"2: warning: PROTOCOL \"\" is not known: " + kSlaveReceive +
                   "; valid: DDC2Bi (MasterRead), DDC2B or SLAVE (SlaveReceive)"}},
        TimingRow{"blankBeforeDdc2Bi", modelText({"; [PROTOCOL, DDC2Bi]", "DIR db 0FFh"}),
                  {"1: warning: PROTOCOL \" DDC2Bi\" begins with a blank, so it is not DDC2Bi: " + kSlaveReceive +
                   "; write [PROTOCOL,DDC2Bi] without the blank"}},
        TimingRow{"versionNoNumber", modelText({"; [VER,abc]", "DIR db 0FFh"}),
                  {"1: warning: VER \"abc\" is not a number: version 0 is used, which selects the older command "
                   "forms"}},
        TimingRow{"offsetNoNumber", withModeTable("; [TIMING,SGS_1,MODES,x]"),
                  {"1: warning: TIMING offset \"x\" is not a decimal number: 0 is used"}},
        TimingRow{"offsetAboveAByte", withModeTable("; [TIMING,SGS_1,MODES,260]"),
                  {"1: warning: TIMING offset 260 is outside 0 to 255: its low 8 bits (4) are used"}},
        TimingRow{"offsetNegative", withModeTable("; [TIMING,SGS_1,MODES, -1]"),
                  {"1: warning: TIMING offset -1 is outside 0 to 255: its low 8 bits (255) are used"}},
        TimingRow{"monitorIdentities", modelText({"; [EDID,VLM,1734]", "; [EDID,nec,0x4A2F]", "; [EDID,Sam,2C3h]", "DIR db 0FFh"}), {}},
        TimingRow{"monitorNoProduct", modelText({"; [EDID,VLM]", "DIR db 0FFh"}),
                  {"1: warning: EDID \"VLM\" is ignored: write [EDID,VLM,1734], the EDID's three-letter manufacturer "
                   "code and its product code in hexadecimal"}},
        TimingRow{"monitorBadMaker", modelText({"; [EDID,V1M,1734]", "; [EDID,VLM,12345]", "DIR db 0FFh"}),
                  {"1: warning: EDID \"V1M,1734\" is ignored: write [EDID,VLM,1734], the EDID's three-letter "
                   "manufacturer code and its product code in hexadecimal",
                   "2: warning: EDID \"VLM,12345\" is ignored: write [EDID,VLM,1734], the EDID's three-letter "
                   "manufacturer code and its product code in hexadecimal"}}),
    [](const ::testing::TestParamInfo<TimingRow>& info) { return std::string(info.param.name); });

// The monitors a model names, in order, at most eight.
TEST(MonitorIdentities, AreKeptInOrderUpToTheCapacity) {
    const auto model = compileText(modelText({"; [EDID,VLM,1730]", "; [EDID,VLM,1731]", "; [EDID,VLM,1732]",
                                              "; [EDID,VLM,1733]", "; [EDID,VLM,1734]", "; [EDID,VLM,1735]",
                                              "; [EDID,VLM,1736]", "; [EDID,VLM,1737]", "; [EDID,VLM,1738]",
                                              "DIR db 0FFh"}));
    ASSERT_EQ(model->monitorIdentities().size(), 8u);
    EXPECT_EQ(link::identityText(model->monitorIdentities()[0]), "VLM 1730h");
    EXPECT_EQ(link::identityText(model->monitorIdentities()[7]), "VLM 1737h");
    EXPECT_EQ(placed(*model), std::vector<std::string>{"9: warning: EDID VLM 1738h is ignored: a model names at most 8 monitors"});
}

TEST(ServiceSlots, RefusedRecordsAreReportedAtTheFirstOneRefused) {
    // 28 slots: the 29th and 30th records find none.
    std::string text = "DIR db 0FFh\nSERVICE_VCP";
    for (int i = 0; i < 30; ++i) text += " db 'R" + std::to_string(i) + "',0,0,10h\n";
    text += "  db 0\n  end\n";
    const auto model = compileText(text);
    EXPECT_EQ(placed(*model),
              std::vector<std::string>{"30: error: 2 SERVICE_VCP record(s) not registered: all 28 service slots "
                                       "(88h to BEh) are taken"});
    EXPECT_EQ(model->errorText,
              "2 SERVICE_VCP record(s) not registered: all 28 service slots (88h to BEh) are taken\n");
}

}  // namespace
}  // namespace velmora::model::testing
