// Bracketed directives in comments.
#include <gtest/gtest.h>

#include "test_support.h"

namespace velmora::model::testing {
namespace {

using link::ReplyMode;

TEST(ReadDirective, FindsBracketsAndCommasInOrder) {
    const struct {
        std::string_view comment;
        int taken;
        std::string_view modelName;
    } rows[] = {
        {"[MODEL,CX-17]", 1, "CX-17"},
        {"[MODEL, CX-17]", 1, " CX-17"},
        {" text [ M O D E L ,VM,1795 ] more", 1, "VM,1795 "},
        {"[MODELS,X]", 1, "X"},          // the keyword only has to begin with the name
        {"[model,lower]", 1, "lower"},
        {"[MODEL]", 0, ""},
        {"[MODEL CX]", 0, ""},
        {"[MODEL,CX", 0, ""},
        {"] [MODEL,CX]", 0, ""},         // the first ']' comes before '['
        {"[MODEL] ,CX]", 0, ""},         // the first comma lies after ']'
        {"[MOD,CX]", 0, ""},
    };
    for (const auto& row : rows) {
        ModelDescription model;
        EXPECT_EQ(model.readDirective(row.comment), row.taken) << "comment: " << row.comment;
        EXPECT_EQ(model.modelName, row.modelName) << "comment: " << row.comment;
    }
}

TEST(ReadDirective, ModelNameKeepsAtMost100Characters) {
    ModelDescription model;
    const std::string name(120, 'N');
    model.readDirective("[MODEL," + name + "]");
    EXPECT_EQ(model.modelName, name.substr(0, 100));
    EXPECT_FALSE(model.errorFlag);
}

TEST(ReadDirective, ProtocolChoosesTheReplyMode) {
    const struct {
        std::string_view comment;
        std::optional<ReplyMode> mode;
    } rows[] = {
        {"[PROTOCOL,DDC2Bi]", ReplyMode::MasterRead},
        {"[protocol,ddc2bi-rev2]", ReplyMode::MasterRead},
        {"[PROTOCOL, DDC2Bi]", ReplyMode::SlaveReceive},
        {"[PROTOCOL,DDC2B]", ReplyMode::SlaveReceive},
        {"[PROTOCOL,]", ReplyMode::SlaveReceive},
        {"[PROTOCOL DDC2Bi]", std::nullopt},
    };
    for (const auto& row : rows) {
        ModelDescription model;
        model.readDirective(row.comment);
        EXPECT_EQ(model.protocolReplyMode, row.mode) << "comment: " << row.comment;
    }
}

TEST(ReadDirective, TimingTakesWhatItsCommasAllow) {
    const struct {
        std::string_view comment;
        std::string_view family;
        std::string_view label;
        std::uint8_t offset;
    } rows[] = {
        {"[TIMING,SGS_2,MODES,3]", "SGS_2", "MODES", 3},
        {"[TIMING, SGS_2, MODES, 3]", " SGS_2", " MODES", 3},
        {"[TIMING,SGS_1]", "", "", 0},
        {"[TIMING,SGS_1,MODES]", "SGS_1", "", 0},
        {"[TIMING,A,B,260]", "A", "B", 4},
        {"[TIMING,A,B,x]", "A", "B", 0},
        {"[TIMING,A,B,5,6]", "A", "B", 5},
    };
    for (const auto& row : rows) {
        ModelDescription model;
        EXPECT_EQ(model.readDirective(row.comment), 1) << "comment: " << row.comment;
        EXPECT_EQ(model.timingFamily, row.family) << "comment: " << row.comment;
        EXPECT_EQ(model.timingLabel, row.label) << "comment: " << row.comment;
        EXPECT_EQ(model.timingOffset, row.offset) << "comment: " << row.comment;
    }
}

TEST(ReadDirective, VersionSetsTheOldVersionFlag) {
    const struct {
        std::string_view comment;
        double version;
        std::int32_t oldVersion;
    } rows[] = {
        {"[VER,0.95]", 0.95, 1}, {"[VER,1.0]", 1.0, 0},   {"[Version, 0.9]", 0.9, 1},
        {"[VER,2.10,beta]", 2.1, 0}, {"[VER,abc]", 0.0, 1},
    };
    for (const auto& row : rows) {
        ModelDescription model;
        model.readDirective(row.comment);
        EXPECT_DOUBLE_EQ(model.version, row.version) << "comment: " << row.comment;
        EXPECT_EQ(model.oldVersion, row.oldVersion) << "comment: " << row.comment;
    }
}

TEST(ReadDirective, KeyStoresCodeAndNameOrRefuses) {
    const auto model = compileLines({"LATER_ITEM define 5", "        db 0"});
    const struct {
        std::string_view comment;
        int taken;
        std::int32_t code;
        std::string_view name;
        std::string_view error;
    } rows[] = {
        {"[KEY,PAGE2+SHIFT+1,CONTRAST DOWN]", 1, 0x61, "CONTRAST DOWN", ""},
        {"[key,LATER_ITEM,A, B]", 1, 5, "A, B", ""},
        {"[KEY,UNDEFINED_NAME,X]", 0, 0, "", "UNDEFINED_NAME is not found \n"},
        {"[KEY,8000h,X]", 0, 0, "", ""},   // bit 15 means "not found"
        {"[KEY,5]", 0, 0, "", ""},
    };
    for (const auto& row : rows) {
        model->keyNameCount = 0;
        model->errorText.clear();
        EXPECT_EQ(model->readDirective(row.comment), row.taken) << "comment: " << row.comment;
        EXPECT_EQ(model->errorText, row.error) << "comment: " << row.comment;
        ASSERT_EQ(model->keyNameCount, row.taken) << "comment: " << row.comment;
        if (row.taken) {
            EXPECT_EQ(model->keyNames[0].code, row.code) << "comment: " << row.comment;
            EXPECT_EQ(model->keyNames[0].name.view(), row.name) << "comment: " << row.comment;
        }
    }
}

TEST(Directives, AreReadInPassTwoInFileOrder) {
    const auto model = compileLines({
        "; [MODEL,FIRST]",
        "; [KEY,ITEM_CODE,SCRIPT NAME]",
        "; [MODEL,SECOND]",
        "; [VER,0.9]",
        "; [VER,1.1]",
        "ITEM_CODE define 1Ch",
        "        db 0   ; [PROTOCOL,DDC2Bi]",
    });
    EXPECT_FALSE(model->errorFlag) << model->errorText;
    EXPECT_EQ(model->modelName, "SECOND");
    EXPECT_DOUBLE_EQ(model->version, 1.1);
    EXPECT_EQ(model->oldVersion, 0);
    ASSERT_EQ(model->keyNameCount, 1);
    EXPECT_EQ(model->keyNames[0].code, 0x1C);
    EXPECT_EQ(model->protocolReplyMode, ReplyMode::MasterRead);
}

TEST(Directives, ReplyModeIsForgottenByTheNextCompile) {
    ModelDescription model;
    model.compileText(modelText({"; [PROTOCOL,DDC2Bi]"}));
    EXPECT_EQ(model.protocolReplyMode, ReplyMode::MasterRead);
    model.compileText(modelText({"; no protocol here"}));
    EXPECT_EQ(model.protocolReplyMode, std::nullopt);
}

}  // namespace
}  // namespace velmora::model::testing
