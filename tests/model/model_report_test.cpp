// The JSON form of a compiled model printed by velmora-mdl dump.
#include <gtest/gtest.h>

#include "apps/velmora-mdl/model_report.h"
#include "test_support.h"

namespace velmora::model::testing {
namespace {

TEST(ModelReport, JsonOfTheExampleModel) {
    const auto model = compileLines({
        "; [MODEL,CX-17]",
        "; [VER,0.9] [PROTOCOL,DDC2Bi]",
        "; [KEY,PAGE1+1Ch,NAMED]",
        "DIR  db __PAGE,3,4",
        "     db __KEY,0",
        "     db PAGE1+0,1",
        "     dw HUP",
        "     db 0FFh",
        "HUP  db __SETVCP_UP,V_HPOSI,'H up',0",
        "     db MISSING",
    });
    const nlohmann::json json = apps::mdl::modelToJson(*model, 1, link::ReplyMode::MasterRead);
    std::vector<std::string> keys;
    for (const auto& [key, value] : json.items()) keys.push_back(key);
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(keys, (std::vector<std::string>{"errors", "image", "items", "keyNames", "loaded", "locationCounter",
                                              "modelName", "oldVersion", "pages", "replyMode", "symbols",
                                              "timingFamily", "timingLabel", "timingOffset", "timings",
                                              "version"}));
    EXPECT_EQ(json["modelName"], "CX-17");
    EXPECT_EQ(json["oldVersion"], 1);
    EXPECT_EQ(json["replyMode"], "MasterRead");
    EXPECT_EQ(json["pages"], 4);
    EXPECT_EQ(json["locationCounter"], 18);
    // " up" is cut from the item's name by a zero byte in the image.
    EXPECT_EQ(json["image"], "020304080000010a00ff2120480075700000");
    EXPECT_EQ(json["errors"], "MISSING is not found \n");
    EXPECT_EQ(json["symbols"][1], (nlohmann::json{{"name", "HUP"}, {"value", 10}}));
    EXPECT_EQ(json["keyNames"][0], (nlohmann::json{{"name", "NAMED"}, {"code", 0x1C}}));
    const auto item = [&](int code) {
        for (const auto& entry : json["items"]) {
            if (entry["code"] == code) return entry;
        }
        return nlohmann::json();
    };
    EXPECT_EQ(item(0x00), (nlohmann::json{{"code", 0}, {"kind", 0x21}, {"arg", 0x20}, {"ref", 12}}));
    EXPECT_EQ(item(0x18), (nlohmann::json{{"code", 0x18}, {"kind", 0x81}, {"arg", 0}, {"ref", 0x81}}));
    EXPECT_EQ(item(0x1C), nlohmann::json());
    EXPECT_EQ(json["items"].size(), 74u);  // the default table
    EXPECT_TRUE(json["timings"].empty());
    EXPECT_EQ(apps::mdl::summaryLine("cx17.mdl", *model), "cx17.mdl: \"CX-17\", 4 pages, 0 timings");
}

}  // namespace
}  // namespace velmora::model::testing
