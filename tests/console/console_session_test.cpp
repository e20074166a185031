// The console without its window: the model catalogue of the program
// directory, loading a model with its compile report, page counts and the
// reply mode a model's protocol chooses.
#include "console/console_session.h"

#include <gtest/gtest.h>

#include "console_on_bench.h"

namespace velmora::console {
namespace {

using testing::ConsoleOnBench;
using testing::TemporaryDirectory;

std::string modelText(const std::string& head, const std::string& directory) {
    return head + directory + "      end\n";
}

struct SessionFixture {
    SessionFixture() : session(bench.context, directory.path(), bench.messages) {}
    ConsoleOnBench bench;
    TemporaryDirectory directory;
    ConsoleSession session;
};

TEST(Catalogue, SortsByDisplayTextWithoutRegardToCase) {
    SessionFixture f;
    f.directory.write("b.mdl", modelText("; [MODEL,Zeta]\n", "DIR db 0FFh\n"));
    f.directory.write("a.mdl", modelText("; [MODEL,alpha]\n", "DIR db 0FFh\n"));
    f.directory.write("notes.txt", "[MODEL,other]\n");
    ASSERT_TRUE(f.session.discoverModels());
    const auto& entries = f.session.catalogue().entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].displayText, "alpha - a.mdl");
    EXPECT_EQ(entries[1].displayText, "Zeta - b.mdl");

    ASSERT_TRUE(f.session.loadModel(entries[0].catalogueIndex));
    EXPECT_EQ(f.bench.context.model.modelPath, f.directory.path() + "a.mdl");
    EXPECT_TRUE(f.bench.messages.messages.empty());
}

TEST(Catalogue, NoModelFilesIsToldWithTheDirectory) {
    SessionFixture f;
    EXPECT_FALSE(f.session.discoverModels());
    ASSERT_EQ(f.bench.messages.messages.size(), 1u);
    EXPECT_EQ(f.bench.messages.messages[0].text, "mdl files cannot be opened in " + f.directory.path());
    EXPECT_EQ(f.bench.messages.messages[0].caption, "") << "a box of the program's own name";
    EXPECT_FALSE(f.session.loadModel(0));
}

TEST(LoadModel, CompileErrorsAreShownOnceAndCleared) {
    SessionFixture f;
    f.directory.write("bad.mdl", modelText("; [MODEL,BAD]\n", "DIR   db __PAGE,3,3\n      db 0FFh\nX     foo 1\n"));
    ASSERT_TRUE(f.session.discoverModels());
    const std::optional<int> pages = f.session.loadModel(0);
    EXPECT_EQ(pages, 3) << "the partly compiled model is used all the same";
    ASSERT_EQ(f.bench.messages.messages.size(), 1u);
    const platform::RecordedMessage& message = f.bench.messages.messages[0];
    EXPECT_EQ(message.caption, "Error");
    EXPECT_EQ(message.text.rfind("Label or Identifier Error :\n", 0), 0u) << message.text;
    EXPECT_NE(message.text.find("X is duplicated"), std::string::npos) << message.text;
    EXPECT_FALSE(f.bench.context.model.errorFlag);
    EXPECT_TRUE(f.bench.context.model.errorText.empty());
}

TEST(LoadModel, PageCountComesFromThePageChunk) {
    struct Case {
        const char* directory;
        int pages;
    };
    const Case cases[] = {
        {"DIR db __VCP,3,0\n    db 0FFh\n", 2},
        {"DIR db __PAGE,3,1\n    db 0FFh\n", 1},
        {"DIR db __PAGE,3,4\n    db 0FFh\n", 4},
        {"DIR db __PAGE,3,7\n    db 0FFh\n", 4},
    };
    for (const Case& c : cases) {
        SessionFixture f;
        f.directory.write("m.mdl", modelText("; [MODEL,M]\n", c.directory));
        ASSERT_TRUE(f.session.discoverModels());
        EXPECT_EQ(f.session.loadModel(0), c.pages) << c.directory;
    }
}

TEST(LoadModel, ProtocolChoosesTheReplyMode) {
    SessionFixture f;
    f.directory.write("a.mdl", modelText("; [MODEL,A]\n; [PROTOCOL,DDC2Bi]\n", "DIR db 0FFh\n"));
    f.directory.write("b.mdl", modelText("; [MODEL,B]\n; [PROTOCOL,DDC2B]\n", "DIR db 0FFh\n"));
    ASSERT_TRUE(f.session.discoverModels());
    const auto& entries = f.session.catalogue().entries();
    ASSERT_TRUE(f.session.loadModel(entries[1].catalogueIndex));
    EXPECT_EQ(f.bench.context.link.replyMode(), link::ReplyMode::SlaveReceive);
    ASSERT_TRUE(f.session.loadModel(entries[0].catalogueIndex));
    EXPECT_EQ(f.bench.context.link.replyMode(), link::ReplyMode::MasterRead);
}

TEST(LoadModel, FileEmptiedSinceDiscoveryIsReported) {
    SessionFixture f;
    f.directory.write("a.mdl", modelText("; [MODEL,A]\n", "DIR db __PAGE,3,3\n    db 0FFh\n"));
    f.directory.write("b.mdl", modelText("; [MODEL,B]\n", "DIR db 0FFh\n"));
    ASSERT_TRUE(f.session.discoverModels());
    const auto& entries = f.session.catalogue().entries();
    ASSERT_EQ(f.session.loadModel(entries[0].catalogueIndex), 3);
    f.directory.write("b.mdl", "");
    EXPECT_EQ(f.session.loadModel(entries[1].catalogueIndex), 3) << "the previous model stays compiled";
    ASSERT_EQ(f.bench.messages.messages.size(), 1u);
    EXPECT_EQ(f.bench.messages.messages[0].caption, "Error");
    EXPECT_NE(f.bench.messages.messages[0].text.find("b.mdl"), std::string::npos);
}

TEST(Rows, OperationsOnMissingRowsDoNothing) {
    SessionFixture f;
    struct NoDisplay : RunDisplay {
        void showRunStatus(std::string_view) override { ADD_FAILURE() << "nothing runs"; }
        void takeTranscript(std::string_view) override { ADD_FAILURE() << "nothing runs"; }
    } display;
    f.session.fillLists(0);
    EXPECT_FALSE(f.session.readItem(0));
    EXPECT_FALSE(f.session.scrollItem(-1, 1, 0));
    EXPECT_FALSE(f.session.stepItem(3, StepKey::Right));
    EXPECT_FALSE(f.session.runFunctionRow(-1, display));
    EXPECT_TRUE(f.bench.payloads().empty());
    EXPECT_EQ(f.bench.context.link.transcriptLength(), -1);
}

}  // namespace
}  // namespace velmora::console
