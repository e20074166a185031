// The item and function lists of each page: which entries, under which
// name, in which order, and what is read from the monitor while filling.
#include "console/page_lists.h"

#include <gtest/gtest.h>

#include "interpreter_on_bench.h"

namespace velmora::console {
namespace {

using model::testing::InterpreterOnBench;

const char* kListsModel =
    "; [MODEL,LISTS]\n"
    "DIR   db __PAGE,3,4\n"
    "      db __VCP,9\n"
    "      db 3,10h,0,12h,0,21h,0\n"
    "      db __KEY,0\n"
    "      db PAGE1+0,1\n"
    "      dw CUP\n"
    "      db PAGE1+2,1\n"
    "      dw BUP\n"
    "      db PAGE1+4,1\n"
    "      dw XUP\n"
    "      db PAGE1+6,1\n"
    "      dw EUP\n"
    "      db PAGE4+0,1\n      dw DEG\n"
    "      db PAGE4+1,1\n      dw DEG\n"
    "      db PAGE4+2,1\n      dw DEG\n"
    "      db PAGE4+3,1\n      dw DEG\n"
    "      db PAGE4+4,1\n      dw DEG\n"
    "      db PAGE4+5,1\n      dw DEG\n"
    "      db PAGE4+6,1\n      dw DEG\n"
    "      db PAGE4+7,1\n      dw DEG\n"
    "      db PAGE4+8,1\n      dw DEG\n"
    "      db PAGE4+9,1\n      dw DEG\n"
    "      db PAGE4+10,1\n      dw DEG\n"
    "      db 0FFh\n"
    "CUP   db __SETVCP_UP,V_CONTR,0\n"
    "BUP   db __SETVCP_UP,V_BRIGH,'Bright up',0\n"
    "XUP   db __SETVCP_UP,21h,0\n"
    "EUP   db __SETVCP_UP,0E6h,'Hidden up',0\n"
    "DEG   db _DEGAUSS_\n"
    "SERVICE_KEY db 'FACTORY RESET',0,1\n"
    "      dw DEG\n"
    "      db 0FFh\n"
    "SERVICE_VCP db 'SUB BRIGHT',0,0,0F4h\n"
    "      db 'EEP BYTE',0,1,0A2h,10h\n"
    "      db 0\n"
    "      end\n";

std::vector<std::string> names(const PageLists& lists) {
    std::vector<std::string> result;
    for (const auto& item : lists.items) result.push_back(item.name);
    return result;
}

std::vector<std::string> texts(const PageLists& lists) {
    std::vector<std::string> result;
    for (const auto& function : lists.functions) result.push_back(function.text);
    return result;
}

TEST(PageLists, FirstPageFollowsTheVcpChunkOrder) {
    InterpreterOnBench f;
    f.compile(kListsModel);
    const PageLists lists = buildPageLists(0, f.model, f.interpreter, f.link);
    // Chunk 07 lists 10h, 12h, 21h; the page has 12h first. E6h is never listed.
    EXPECT_EQ(names(lists), (std::vector<std::string>{"Bright", "CONTRAST", "I Don't know"}));
    EXPECT_EQ(lists.items[0].current, 50);
    EXPECT_EQ(lists.items[0].maximum, 100);
    EXPECT_EQ(lists.items[1].current, 80);
    EXPECT_EQ(texts(lists), (std::vector<std::string>{"@1: MODE SAVE      ", "@2: STND MODE DUMP",
                                                      "@3: ALL MODE SAVE", "@4: USER DELETE     ",
                                                      "@5: USER DELETE2    "}));
    EXPECT_EQ(f.payloads(), (std::vector<std::string>{"01 10", "01 12", "01 21"}));
}

TEST(PageLists, ColorPageHasNoServiceItems) {
    InterpreterOnBench f;
    f.compile(kListsModel);
    const PageLists lists = buildPageLists(1, f.model, f.interpreter, f.link);
    // Default entries 4Ch (contrast) and 4Eh (brightness), in chunk order.
    EXPECT_EQ(names(lists), (std::vector<std::string>{"BRIGHTNESS", "CONTRAST"}));
}

TEST(PageLists, ExtraOneListsServiceItemsAfterVcpItems) {
    InterpreterOnBench f;
    f.compile(kListsModel);
    const PageLists lists = buildPageLists(2, f.model, f.interpreter, f.link);
    EXPECT_EQ(names(lists), (std::vector<std::string>{"SUB BRIGHT", "EEP BYTE"}));
    EXPECT_EQ(lists.items[0].kind, 0xFC);
    EXPECT_EQ(lists.items[0].code, 0xF4);
    EXPECT_EQ(lists.items[1].kind, 0xFB);
    EXPECT_EQ(static_cast<std::uint16_t>(lists.items[1].code), 0xA210);
    EXPECT_EQ(lists.items[1].current, f.bench.monitor.memory[1][0x10]);
    EXPECT_EQ(lists.items[1].maximum, 255);
    EXPECT_EQ(texts(lists), (std::vector<std::string>{"@1: FACTORY RESET"}));
    EXPECT_EQ(f.payloads(), (std::vector<std::string>{"01 F4", "C1 09 01 10"}));
}

TEST(PageLists, FunctionPrefixesRunOneToZeroThenBlanks) {
    InterpreterOnBench f;
    f.compile(kListsModel);
    const PageLists lists = buildPageLists(3, f.model, f.interpreter, f.link);
    ASSERT_EQ(lists.functions.size(), 11u);
    EXPECT_EQ(lists.functions[0].text, "@1: Degauss       ");
    EXPECT_EQ(lists.functions[8].text, "@9: Degauss       ");
    EXPECT_EQ(lists.functions[9].text, "@0: Degauss       ");
    EXPECT_EQ(lists.functions[10].text, "    Degauss       ");
    EXPECT_EQ(lists.functions[0].kind, 0xFE);
}

TEST(PageLists, UnpluggedMonitorIsReportedOncePerFill) {
    InterpreterOnBench f;
    f.compile(kListsModel);
    f.bench.monitor.vcp[0x12].current = 7;
    ASSERT_TRUE(f.interpreter.readVcp(0x12).has_value());
    ASSERT_TRUE(f.bench.applyFault("no-monitor").empty());
    const PageLists lists = buildPageLists(0, f.model, f.interpreter, f.link);
    EXPECT_EQ(lists.items.size(), 3u);
    for (const auto& item : lists.items) EXPECT_EQ(item.current, 7);
    ASSERT_EQ(f.messages.messages.size(), 1u);
    EXPECT_EQ(f.messages.messages[0].text, "Monitor is not Connected");

    // The next fill tries again.
    (void)buildPageLists(1, f.model, f.interpreter, f.link);
    EXPECT_EQ(f.messages.messages.size(), 2u);
}

TEST(PageLists, ModelWithoutVcpChunkListsNoVcpItems) {
    InterpreterOnBench f;
    f.compile(
        "DIR   db __PAGE,3,2\n"
        "      db __KEY,0\n"
        "      db 0FFh\n"
        "      end\n");
    EXPECT_TRUE(buildPageLists(0, f.model, f.interpreter, f.link).items.empty());
    EXPECT_TRUE(buildPageLists(1, f.model, f.interpreter, f.link).items.empty());
    EXPECT_TRUE(f.bench.log.requests().empty());
}

TEST(ValueText, ShowsDecimalAndHex) {
    EXPECT_EQ(valueText(0), "  0 (00h)");
    EXPECT_EQ(valueText(45), " 45 (2Dh)");
    EXPECT_EQ(valueText(255), "255 (FFh)");
}

}  // namespace
}  // namespace velmora::console
