// Loading a model without the window: page counts, the reply mode a
// model's protocol chooses, a file that can no longer be read, and
// operations on rows the lists do not have.
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
    EXPECT_EQ(f.session.loadedCatalogueIndex(), std::nullopt);
    ASSERT_EQ(f.session.loadModel(entries[0].catalogueIndex), 3);
    f.directory.write("b.mdl", "");
    EXPECT_EQ(f.session.loadModel(entries[1].catalogueIndex), 3) << "the previous model stays compiled";
    EXPECT_EQ(f.session.loadedCatalogueIndex(), entries[0].catalogueIndex) << "and is the one named";
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
