// Capabilities strings as real monitors send them, read by the tolerant
// parser, and the string read fragment by fragment from the bench monitor
// through the jig and through a display channel.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bench/bench_i2c_adapter.h"
#include "bench/capabilities_answer.h"
#include "link/capabilities_parser.h"
#include "link/capabilities_read.h"
#include "link/display_channel_link.h"
#include "link/mccs_features.h"
#include "link_on_bench.h"

namespace velmora::link {
namespace {

using namespace std::string_literals;

// Features as "10 12 14(05 08)", each code with its values.
std::string featureList(const Capabilities& capabilities) {
    std::string text;
    for (const CapabilityFeature& feature : capabilities.features) {
        char code[4];
        std::snprintf(code, sizeof code, "%02X", feature.code);
        text += (text.empty() ? "" : " ") + std::string(code);
        for (std::size_t i = 0; i < feature.values.size(); ++i) {
            std::snprintf(code, sizeof code, "%02X", feature.values[i]);
            text += (i == 0 ? "(" : " ") + std::string(code) + (i + 1 == feature.values.size() ? ")" : "");
        }
    }
    return text;
}

struct StringRow {
    std::string name;
    std::string raw;
    std::string model;     // "-" when none is expected
    std::string features;  // as featureList writes them
    std::vector<std::string> errors;
    std::string refusal;   // part of it, when the string is refused
};

void PrintTo(const StringRow& row, std::ostream* out) { *out << row.name; }

class RealStrings : public ::testing::TestWithParam<StringRow> {};

TEST_P(RealStrings, ParseToTheirFeaturesAndProblems) {
    const StringRow& row = GetParam();
    const CapabilitiesReading reading = parseCapabilities(row.raw);
    if (!row.refusal.empty()) {
        ASSERT_FALSE(reading.capabilities) << row.raw;
        EXPECT_NE(reading.refusal.find(row.refusal), std::string::npos) << reading.refusal;
        return;
    }
    ASSERT_TRUE(reading.capabilities) << reading.refusal;
    const Capabilities& capabilities = *reading.capabilities;
    EXPECT_EQ(capabilities.model.value_or("-"), row.model);
    EXPECT_EQ(featureList(capabilities), row.features);
    std::vector<std::string> errors;
    for (const CapabilityProblem& problem : capabilities.problems) errors.push_back(problemText(problem));
    EXPECT_EQ(errors, row.errors);
    EXPECT_EQ(capabilities.raw, row.raw);
}

INSTANTIATE_TEST_SUITE_P(
    Monitors, RealStrings,
    ::testing::Values(
        StringRow{"WellFormedLcd",
                  "(prot(monitor)type(LCD)model(U2415)cmds(01 02 03 07 0C E3 F3)vcp(02 04 05 08 10 12 14(01 05 08 0B 0C) "
                  "16 18 1A 52 60(01 0F 11) AC AE B2 B6 C6 C8 C9 D6(01 04 05) DF E0 E1 F0(00 08))mswhql(1)asset_eep(40)"
                  "mccs_ver(2.1))",
                  "U2415", "02 04 05 08 10 12 14(01 05 08 0B 0C) 16 18 1A 52 60(01 0F 11) AC AE B2 B6 C6 C8 C9 D6(01 04 05) DF E0 E1 F0(00 08)",
                  {}, ""},
        StringRow{"CodesRunTogether",
                  "(prot(monitor)type(crt)model(M1995)cmds(01 02 03 07 0C F3)vcp(020304050B0C10121416181A1C2022242628"
                  "2A2C30323A3C40424446484A56581E)mccs_ver(2.0))",
                  "M1995", "02 03 04 05 0B 0C 10 12 14 16 18 1A 1C 20 22 24 26 28 2A 2C 30 32 3A 3C 40 42 44 46 48 4A 56 58 1E",
                  {}, ""},
        StringRow{"ModelWithoutParenthesesUpperCaseVcp",
                  "(prot(monitor)type(CRT)model SAMTRON75E cmds(01 02 03 07 0C F3)VCP(02 04 05 06 08 10 12 16 18 1A 20 22)"
                  "mccs_ver(1.0))",
                  "SAMTRON75E", "02 04 05 06 08 10 12 16 18 1A 20 22", {"offset 23: model without parentheses"}, ""},
        StringRow{"ModelWithoutKeyword",
                  "(prot(monitor)type(lcd)SyncMaster cmds(01 02 03 07 0C E3 F3)vcp(02 04 05 08 10 12 14(05 08 0B) 16 18 1A "
                  "52 AC AE B2 B6 C6 C8 C9 D6(01 04) DC(01 02 03 04 05) DF FD)mccs_ver(2.0)mpu(01))",
                  "SyncMaster", "02 04 05 08 10 12 14(05 08 0B) 16 18 1A 52 AC AE B2 B6 C6 C8 C9 D6(01 04) DC(01 02 03 04 05) DF FD",
                  {"offset 23: \"SyncMaster\" taken as the model (no model keyword)"}, ""},
        StringRow{"ModelRunIntoTheNextSegment",
                  "(prot(monitor)type(lcd)S24D300cmds(01 02 03 07 0C E3 F3)vcp(10 12 60(01 03))mccs_ver(2.1))", "S24D300",
                  "10 12 60(01 03)", {"offset 23: \"S24D300\" taken as the model (no model keyword)"}, ""},
        StringRow{"NestedValueLists",
                  "(prot(monitor)type(lcd)model(P2715Q)cmds(01 02 03 07 0C E3 F3)vcp(02 04 05 08 10 12 14(05 08 0B 0C) 16 "
                  "18 1A 52 60(0F 10 11 12) DC(00 (00 10 13) 01 02) DF)mccs_ver(2.1))",
                  "P2715Q", "02 04 05 08 10 12 14(05 08 0B 0C) 16 18 1A 52 60(0F 10 11 12) DC(00 10 13 01 02) DF", {}, ""},
        StringRow{"FeaturesListedTwice", "(prot(monitor)type(crt)model(VM1795)vcp(10 12 10 14(01 02) 14(05))mccs_ver(2.0))",
                  "VM1795", "10 12 14(01 02 05)",
                  {"offset 46: feature 10 listed again", "offset 59: feature 14 listed again"}, ""},
        StringRow{"PageAndVendorSegments",
                  "(prot(monitor)type(lcd)model(XYZ)cmds(01 02 03 07 0C E3 F3)vcp(10 12)vcp_p02(20 21)cmds_c2(01)"
                  "window1(type(PIP) area(25 25 1895 1175))mccs_ver(3.0))",
                  "XYZ", "10 12", {}, ""},
        StringRow{"NulInsideAndGarbageAfterTheEnd", "(prot(monitor)type(crt)model(VM17)vcp(10 12\0 16))xx~"s, "VM17",
                  "10 12 16", {"offset 43: NUL byte ignored", "offset 49: text after the end ignored: \"xx~\""}, ""},
        StringRow{"EscapeSequenceAfterTheEndIsQuotedNotSent", "(vcp(10))\x1B[2J"s + std::string(50, 'x'), "-", "10",
                  {"offset 9: text after the end ignored: \"\\x1B[2J" + std::string(36, 'x') + "\"..."}, ""},
        StringRow{"TerminatingNulsAreNoFault", "(type(crt)vcp(10))\0\0"s, "-", "10", {}, ""},
        StringRow{"NoOuterParenthesesAndCutShort", "prot(monitor)type(crt)vcp(10 12", "-", "10 12",
                  {"offset 0: the string does not begin with \"(\"", "offset 25: \"(\" is not closed"}, ""},
        StringRow{"StrayDigitsAndLetters", "(prot(monitor)vcp(1 02 ABC 10 z))", "-", "01 02 10",
                  {"offset 18: single hex digit taken as 01", "offset 23: odd number of hex digits \"ABC\" ignored",
                   "offset 30: \"z\" in vcp ignored"},
                  ""},
        StringRow{"BinaryGarbage", "\x6E\x88\x02\x00\x10\x00\x00\x64\x00\x32\xF2\xFF\xFF"s, "", "", {}, "binary data"},
        StringRow{"EmptyString", "\0\0  "s, "", "", {}, "empty"},
        StringRow{"PlainTextWithoutSegments", "hello world", "", "", {}, "not a capabilities string"}));

// --- The feature table -------------------------------------------------------

TEST(MccsFeatures, NamesAndKindsOfTheStandard) {
    struct Row {
        std::uint8_t code;
        std::string name;
        FeatureKind kind;
    };
    for (const Row& row : {Row{0x01, "Degauss", FeatureKind::WriteOnly}, Row{0x10, "Brightness", FeatureKind::Continuous},
                           Row{0x14, "Select color preset", FeatureKind::NonContinuous},
                           Row{0x24, "Horizontal Pincushion", FeatureKind::Continuous},
                           Row{0x73, "LUT Size", FeatureKind::Table}, Row{0xDF, "VCP Version", FeatureKind::NonContinuous}}) {
        const auto feature = mccsFeature(row.code);
        ASSERT_TRUE(feature) << int(row.code);
        EXPECT_EQ(feature->name, row.name);
        EXPECT_EQ(feature->kind, row.kind) << row.name;
    }
    EXPECT_EQ(mccsFeatureName(0x07), "Unknown feature");
    EXPECT_EQ(mccsFeatureName(0xF0), "Manufacturer specific");
}

// --- Reading the string from the monitor ---------------------------------------

struct ChannelOnBench {
    ChannelOnBench() : link(port, bench.clock(), messages, flags, kDdcCiTiming) {
        EXPECT_EQ(port.open("/dev/i2c-3"), 0);
    }
    bench::VirtualBench bench;
    bench::BenchI2cAdapter adapter{bench};
    platform::I2cDevPort port{adapter};
    platform::RecordingMessageSink messages;
    ProgramFlags flags;
    DisplayChannelLink link;
};

struct ReadRow {
    std::string name;
    std::size_t length;  // of the bench monitor's string; 0 keeps its own
    bool malformed;      // the bench fault malformed-capabilities
    std::size_t fragments;
    std::string failure;  // part of it; empty for a string read whole
};

void PrintTo(const ReadRow& row, std::ostream* out) { *out << row.name; }

class ReadThroughBoth : public ::testing::TestWithParam<ReadRow> {};

template <typename Bench>
void checkRead(Bench& rig, MonitorLink& link, const ReadRow& row, std::int32_t gapMs, const char* way) {
    if (row.length > 0) rig.bench.monitor.capabilities = std::string(row.length, 'x');
    rig.bench.faults.malformedCapabilities = row.malformed;
    const std::string sent =
        row.malformed ? bench::malformedCapabilities(rig.bench.monitor.capabilities) : rig.bench.monitor.capabilities;
    const std::int64_t before = rig.bench.nowMicroseconds();
    const CapabilitiesTransfer transfer = readCapabilities(link, rig.bench.clock(), gapMs);
    if (!row.failure.empty()) {
        EXPECT_FALSE(transfer.text) << way;
        EXPECT_NE(transfer.failure.find(row.failure), std::string::npos) << way << ": " << transfer.failure;
        return;
    }
    ASSERT_TRUE(transfer.text) << way << ": " << transfer.failure;
    EXPECT_EQ(*transfer.text, sent) << way;
    EXPECT_EQ(transfer.fragments, row.fragments) << way;
    // Each fragment had its 50 ms before the reply was read, and 50 ms
    // before the next request.
    const auto least = static_cast<std::int64_t>(row.fragments * 2 - 1) * kCapabilitiesReplyWaitMs * 1000;
    EXPECT_GE(rig.bench.nowMicroseconds() - before, least) << way;
}

TEST_P(ReadThroughBoth, FragmentsUntilTheEmptyOne) {
    const ReadRow& row = GetParam();
    testing::LinkOnBench jig;
    checkRead(jig, jig.link, row, kCapabilitiesReplyWaitMs, "jig");
    ChannelOnBench channel;
    checkRead(channel, channel.link, row, 0, "display channel");
}

INSTANTIATE_TEST_SUITE_P(
    BenchMonitor, ReadThroughBoth,
    ::testing::Values(
        // 182 bytes: five full fragments, one of 22, then the empty one.
        ReadRow{"TheBenchString", 0, false, 7, ""},
        ReadRow{"MalformedVariant", 0, true, 6, ""},
        ReadRow{"ExactlyTwoFragments", 64, false, 3, ""},
        ReadRow{"LongerThanAnyMonitorSends", kMaxCapabilitiesLength + 1, false, 0, "longer than 4096 bytes"}));

TEST(CapabilitiesRead, NoMonitorNamesTheOffset) {
    testing::LinkOnBench jig;
    jig.bench.faults.noMonitor = true;
    const CapabilitiesTransfer transfer = readCapabilities(jig.link, jig.bench.clock(), kCapabilitiesReplyWaitMs);
    EXPECT_FALSE(transfer.text);
    EXPECT_EQ(transfer.failure, "no reply to the capabilities request at offset 0000h");
}

}  // namespace
}  // namespace velmora::link
