// Fixed capacities: nothing is written beyond a table, and every refusal
// leaves one line in the error report.
#include <gtest/gtest.h>

#include "test_support.h"

namespace velmora::model::testing {
namespace {

// `count` lines of "db" with `perLine` bytes of `value` each.
std::string byteLines(int count, int perLine, std::string_view value) {
    std::string line = "     db " + std::string(value);
    for (int i = 1; i < perLine; ++i) line += "," + std::string(value);
    std::string text;
    for (int i = 0; i < count; ++i) text += line + "\n";
    return text;
}

TEST(Bounds, ImageKeeps2000BytesAndReportsOnce) {
    const auto model = compileText(byteLines(21, 100, "7") + "LATE db 1\n     end\n");
    EXPECT_EQ(model->locationCounter, 2101);
    EXPECT_EQ(model->imageLength(), 2000u);
    EXPECT_EQ(model->lookupSymbol("LATE"), 2100);
    EXPECT_EQ(model->imageByte(1999), 7);
    EXPECT_EQ(model->imageByte(2000), 0);
    EXPECT_EQ(model->errorText, "line 21: model image full (2000 bytes): later bytes are not written\n");
}

TEST(Bounds, ImageIsNotOverwrittenWhenTheCounterWraps) {
    // More than 65536 bytes: the 16-bit location counter comes round to 0.
    const auto model = compileText("     db 0AAh\n" + byteLines(700, 100, "1") + "     end\n");
    EXPECT_EQ(model->locationCounter, static_cast<std::uint16_t>(70001));
    EXPECT_EQ(model->imageByte(0), 0xAA);
    EXPECT_EQ(model->imageByte(1), 1);
    EXPECT_EQ(model->imageLength(), 2000u);
}

TEST(Bounds, StringTerminatorAtTheEndOfTheImageIsDropped) {
    const auto model = compileText(byteLines(19, 100, "2") + byteLines(1, 99, "2") + "     db 'Z'\n     end\n");
    EXPECT_FALSE(model->errorFlag) << model->errorText;
    EXPECT_EQ(model->imageText(1999), "Z");
}

TEST(Bounds, SymbolTableHolds1000Symbols) {
    std::string text;
    for (int i = 0; i < 1002; ++i) text += "L" + std::to_string(i) + " db 0\n";
    text += "     end\n";
    const auto model = compileText(text);
    EXPECT_EQ(model->symbolCount, 1000);
    EXPECT_EQ(model->lookupSymbol("L999"), 999);
    EXPECT_EQ(model->locationCounter, 1002);  // lines whose label is refused still count
    EXPECT_EQ(model->errorText,
              "line 1001: symbol table full (1000 symbols): label L1000 and later ones are not defined\n");
}

TEST(Bounds, LineFieldsRefuseOverlongText) {
    const std::string label31(31, 'A');
    const std::string label32(32, 'B');
    const std::string statement299 = "db 1" + std::string(295, ' ') + ",2";  // normalises to "db,1,2"
    const std::string longStatement = "db 1" + std::string(148, ',') + std::string(148, '1');
    const std::string longComment = "; [MODEL,LONG]" + std::string(290, '.');
    const auto model = compileLines({label31 + " db 1", label32 + " db 2", "     " + statement299,
                                     "     " + longStatement, "     db 3 " + longComment, "; [VER,2.0]"});
    EXPECT_EQ(model->lookupSymbol(label31), 0);
    EXPECT_EQ(imageBytes(*model), (std::vector<std::uint8_t>{1, 2, 1, 2, 3}));
    EXPECT_EQ(model->modelName, "");
    EXPECT_EQ(model->version, 2.0);
    EXPECT_EQ(errorLines(*model), (std::vector<std::string>{
                                      "line 2: label " + label32 + " is longer than 31 characters and is not defined",
                                      "line 4: statement longer than 299 characters is ignored",
                                      "line 5: comment longer than 299 characters is ignored",
                                  }));
}

TEST(Bounds, KeyNamesHold200NamesOf31Characters) {
    std::string text = "; [KEY,1," + std::string(40, 'K') + "]\n";
    for (int i = 1; i < 202; ++i) text += "; [KEY," + std::to_string(i) + ",NAME]\n";
    text += "     end\n";
    const auto model = compileText(text);
    EXPECT_EQ(model->keyNameCount, 200);
    EXPECT_EQ(model->keyNames[0].name.view(), std::string(31, 'K'));
    EXPECT_EQ(model->keyNames[199].code, 199);
    EXPECT_EQ(errorLines(*model), (std::vector<std::string>{
                                      "line 1: key name " + std::string(40, 'K') + " cut to 31 characters",
                                      "line 201: key name table full (200 names): NAME is not stored",
                                      "line 202: key name table full (200 names): NAME is not stored",
                                  }));
}

TEST(Bounds, TimingTextsLongerThan255AreRefused) {
    const std::string family(256, 'F');
    const auto model = compileLines({"; [TIMING,SGS_1,MODES,1]", "; [TIMING," + family + ",OTHER,2]"});
    EXPECT_EQ(model->timingFamily, "SGS_1");
    EXPECT_EQ(model->timingLabel, "OTHER");
    EXPECT_EQ(model->errorText, "line 2: TIMING family longer than 255 characters is ignored\n");
}

TEST(Bounds, ImageIsClearedBeforeEachCompile) {
    ModelDescription model;
    model.compileText(byteLines(1, 50, "0EEh") + "     end\n");
    model.compileText("     db 1\n     end\n");
    EXPECT_EQ(model.imageLength(), 1u);
    for (std::size_t i = 1; i < ModelDescription::kImageCapacity; ++i) ASSERT_EQ(model.modelImage[i], 0) << i;
}

TEST(Bounds, ImageReadersStayInsideTheWrittenImage) {
    const auto model = compileLines({"     db 'ABC'"});   // no terminator within the written image
    EXPECT_EQ(model->imageText(0), "ABC");
    EXPECT_EQ(model->imageText(3), "");
    EXPECT_EQ(model->imageText(65535), "");
    EXPECT_EQ(model->imageByte(5000), 0);
    EXPECT_EQ(model->imageWord(2), 'C');
}

TEST(Bounds, ErrorReportStopsGrowing) {
    std::string text;
    for (int i = 0; i < 5000; ++i) text += "     db MISSING_NAME_" + std::to_string(i) + "\n";
    text += "     end\n";
    const auto model = compileText(text);
    EXPECT_LE(model->errorText.size(), ModelDescription::kErrorTextCapacity + 40);
    EXPECT_EQ(errorLines(*model).back(), "(further errors are not listed)");
    // Once the reader has emptied the report, messages are taken again.
    model->errorText.clear();
    model->lookupSymbol("ANOTHER");
    EXPECT_EQ(model->errorText, "ANOTHER is not found \n");
}

TEST(LoadModelFile, FailureLeavesThePreviousModel) {
    TemporaryDirectory directory;
    directory.write("good.mdl", "; [MODEL,GOOD]\n     db 1\n     end\n");
    directory.write("empty.mdl", "");
    ModelDescription model;
    model.modelPath = directory.path() + "good.mdl";
    ASSERT_EQ(model.loadModelFile(), 1);
    EXPECT_EQ(model.modelName, "GOOD");
    EXPECT_TRUE(model.lastLoadFailure().empty());

    for (const std::string& path : {directory.path() + "missing.mdl", directory.path() + "empty.mdl",
                                    directory.path(), directory.path() + std::string(300, 'x')}) {
        model.modelPath = path;
        EXPECT_EQ(model.loadModelFile(), 0) << path;
        EXPECT_FALSE(model.lastLoadFailure().empty()) << path;
        EXPECT_EQ(model.modelName, "GOOD") << path;
        EXPECT_EQ(model.imageByte(0), 1) << path;
        EXPECT_FALSE(model.errorFlag) << path;
    }
}

}  // namespace
}  // namespace velmora::model::testing
