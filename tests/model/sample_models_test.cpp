// The sample models shipped with the program compile cleanly and between
// them exercise what the compiler offers.
#include <filesystem>
#include <set>

#include <gtest/gtest.h>

#include "model/image_layout.h"
#include "model/model_catalogue.h"
#include "platform/files.h"
#include "test_support.h"

namespace velmora::model::testing {
namespace {

std::vector<std::string> sampleFiles() {
    return platform::listFilesWithExtension(VELMORA_SAMPLE_MODELS_DIR, ".mdl");
}

class SampleModel : public ::testing::TestWithParam<std::string> {};

TEST_P(SampleModel, CompilesCleanly) {
    ModelDescription model;
    model.modelPath = VELMORA_SAMPLE_MODELS_DIR + GetParam();
    ASSERT_EQ(model.loadModelFile(), 1) << model.lastLoadFailure();
    EXPECT_FALSE(model.errorFlag) << model.errorText;
    EXPECT_FALSE(model.modelName.empty());
    EXPECT_GE(model.pageCount(), 2);
    EXPECT_LE(model.pageCount(), 4);
    EXPECT_GT(model.timingCount(), 4u);
    ASSERT_TRUE(model.findChunk(chunk::Vcp));
    ASSERT_TRUE(model.findChunk(chunk::Key));
    // Every mode in use matches a standard timing.
    for (std::size_t i = 0; i < model.timingCount(); ++i) {
        const TimingEntry& entry = model.timingEntries[i];
        if (entry.hFreqKHz < kUsableLimitKHz) {
            EXPECT_NE(entry.presetIndex, kNoPreset) << GetParam() << " mode " << i;
        }
    }
    // The catalogue shows the same name as the compiled model.
    const auto title = readModelTitle(VELMORA_SAMPLE_MODELS_DIR, GetParam());
    ASSERT_TRUE(title);
    EXPECT_EQ(*title, model.modelName + " - " + GetParam());
}

INSTANTIATE_TEST_SUITE_P(Samples, SampleModel, ::testing::ValuesIn(sampleFiles()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             return info.param.substr(0, info.param.find('.'));
                         });

TEST(SampleModels, CoverFamiliesProtocolsAndItemKinds) {
    std::set<std::string> families;
    std::set<link::ReplyMode> modes;
    std::set<int> kinds;
    bool vacantMode = false;
    for (const std::string& file : sampleFiles()) {
        ModelDescription model;
        model.modelPath = VELMORA_SAMPLE_MODELS_DIR + file;
        ASSERT_EQ(model.loadModelFile(), 1);
        families.insert(model.timingFamily);
        if (model.protocolReplyMode) modes.insert(*model.protocolReplyMode);
        for (const ItemEntry& entry : model.itemTable) kinds.insert(static_cast<std::uint8_t>(entry.kind));
        for (std::size_t i = 0; i < model.timingCount(); ++i) {
            vacantMode = vacantMode || model.timingEntries[i].hFreqKHz >= kUsableLimitKHz;
        }
    }
    EXPECT_GE(sampleFiles().size(), 4u);
    EXPECT_GE(families.size(), 4u);
    EXPECT_EQ(modes.size(), 2u);
    EXPECT_TRUE(vacantMode);
    for (int kind : {0x21, 0x22, 0xFE, 0xFD, 0xFC, 0xFB}) EXPECT_TRUE(kinds.count(kind)) << std::hex << kind;
}

TEST(SampleModels, TheTutorialRunsEveryCommandFromItsItems) {
    ModelDescription model;
    model.modelPath = VELMORA_SAMPLE_MODELS_DIR "tutorial.mdl";
    ASSERT_EQ(model.loadModelFile(), 1);
    std::set<int> opcodes;
    const auto payload = model.findChunk(chunk::Key);
    ASSERT_TRUE(payload);
    for (std::size_t entry = *payload; model.imageByte(entry) != kItemListEnd;) {
        const std::size_t count = model.imageByte(entry + 1);
        for (std::size_t i = 0; i < count; ++i) opcodes.insert(model.imageByte(model.imageWord(entry + 2 + 2 * i)));
        entry += 2 + 2 * count;
        ASSERT_LT(entry, model.imageLength());
    }
    std::set<int> every;
    for (int code = 0x20; code <= 0x2B; ++code) every.insert(code);
    for (int code : {0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x89, 0x93, 0x94, 0x95, 0x96, 0xA1}) every.insert(code);
    EXPECT_EQ(opcodes, every);
}

}  // namespace
}  // namespace velmora::model::testing
