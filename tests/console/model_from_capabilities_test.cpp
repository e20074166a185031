// A model made from a monitor's capabilities, as the console takes it: it
// compiles without a warning, its pages list the standard features under
// their names with the bench monitor's values, and its items adjust them.
#include <gtest/gtest.h>

#include <string>

#include "bench/capabilities_answer.h"
#include "console/page_lists.h"
#include "console/value_adjustment.h"
#include "console_on_bench.h"
#include "link/capabilities_parser.h"
#include "link/mccs_features.h"
#include "model/model_warnings.h"
#include "tools/model_from_capabilities.h"

namespace velmora::console {
namespace {

using testing::ConsoleOnBench;

// Every continuous feature of the standard: more than one model image holds.
std::string everyContinuousFeature() {
    std::string list;
    for (const link::MccsFeature& feature : link::mccsFeatures()) {
        if (feature.kind != link::FeatureKind::Continuous || feature.readOnly) continue;
        char code[4];
        std::snprintf(code, sizeof code, "%02X ", feature.code);
        list += code;
    }
    return "(prot(monitor)type(crt)model(BIG)vcp(" + list + "))";
}

struct Row {
    std::string name;
    std::string capabilities;
    std::string modelName;
    std::string firstItems;  // names of the first three items of the page, "|" after each
    int page;                // where they are listed
    std::string functions;   // the function list of that page, "|" after each
    bool leavesSomeOut;      // the heading lists features that did not fit
};

void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

class MadeModels : public ::testing::TestWithParam<Row> {};

TEST_P(MadeModels, CompileCleanlyListAndAdjust) {
    const Row& row = GetParam();
    const link::CapabilitiesReading reading = link::parseCapabilities(row.capabilities);
    ASSERT_TRUE(reading.capabilities) << reading.refusal;
    const std::string text = tools::modelFromCapabilities(*reading.capabilities, "from a test");
    EXPECT_NE(text.find("A STARTING POINT"), std::string::npos);
    EXPECT_EQ(text.find("Left out for want of room") != std::string::npos, row.leavesSomeOut);

    ConsoleOnBench f;
    f.compile(text);
    EXPECT_TRUE(model::findWarnings(f.context.model, model::WarningOptions{true}).empty()) << text;
    EXPECT_EQ(f.context.model.modelName, row.modelName);

    PageLists lists = buildPageLists(row.page, f.context.model, f.context.interpreter, f.context.link);
    std::string names;
    for (std::size_t i = 0; i < std::min<std::size_t>(3, lists.items.size()); ++i) names += lists.items[i].name + "|";
    EXPECT_EQ(names, row.firstItems) << text;
    std::string functions;
    for (const FunctionRecord& function : lists.functions) functions += function.text + "|";
    EXPECT_EQ(functions, row.functions);

    if (lists.items.empty()) return;
    // The first item reads the bench's value (the low byte, as the jig's
    // requests take it) and writes a new one to it.
    ItemRecord& item = lists.items.front();
    const auto code = static_cast<std::uint8_t>(item.code);
    EXPECT_EQ(item.current, f.bench.monitor.vcp[code].current & 0xFF);
    ValueAdjuster adjuster(f.context.interpreter, f.context.clock);
    EXPECT_TRUE(adjuster.setValue(item, 77));
    EXPECT_EQ(f.bench.monitor.vcp[code].current, 77);
}

INSTANTIATE_TEST_SUITE_P(
    Capabilities, MadeModels,
    ::testing::Values(
        Row{"BenchMonitorGeometry", std::string(bench::defaultBenchCapabilities()), "VELMORA CRT",
            "Horizontal Position (Phase)|Horizontal Size|Horizontal Pincushion|", 0,
            "@1: Degauss|@2: Restore factory geometry defaults|", false},
        Row{"BenchMonitorColour", std::string(bench::defaultBenchCapabilities()), "VELMORA CRT",
            "Brightness|Contrast|Video gain: Red|", 1,
            "@1: Restore factory brightness/contrast defaults|@2: Restore factory color defaults|", false},
        // Written carelessly, and named with characters a model file cannot carry.
        Row{"MalformedWithAwkwardName", "(type(crt)model(Joe's [CRT], rev 2)VCP(6C6E70A2))", "Joes CRT rev 2",
            "Video black level: Red|Video black level: Green|Video black level: Blue|", 1, "", false},
        Row{"ActionsOnly", "(prot(monitor)vcp(01 04 14(01 02) DF))", "DDC/CI monitor", "", 2,
            "@1: Restore factory defaults|", false},
        Row{"MoreThanTheImageHolds", everyContinuousFeature(), "BIG",
            "Clock|Focus|Horizontal Position (Phase)|", 0, "", true}));

}  // namespace
}  // namespace velmora::console
