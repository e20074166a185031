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

TEST(DiscoverModels, FirstFolderWithModelsIsListedAndLoaded) {
    // Folders: the program directory, then two further ones; which hold a
    // model file, and which folder the catalogue should come from.
    const struct {
        bool holds[3];
        int expected;  // -1: none, the program directory named in the message
    } rows[] = {
        {{true, true, true}, 0},
        {{false, true, true}, 1},
        {{false, false, true}, 2},
        {{false, false, false}, -1},
    };
    for (const auto& row : rows) {
        ConsoleOnBench bench;
        TemporaryDirectory folders[3];
        for (int i = 0; i < 3; ++i) {
            if (!row.holds[i]) continue;
            folders[i].write("m.mdl", modelText("; [MODEL,M" + std::to_string(i) + "]\n", "DIR db __PAGE,3,1\n    db 0FFh\n"));
        }
        const model::ModelFolders searched(folders[0].path(), {folders[1].path(), folders[2].path()});
        ConsoleSession session(bench.context, searched, bench.messages);
        const std::string expected = row.expected < 0 ? "" : folders[row.expected].path();
        EXPECT_EQ(session.discoverModels(), row.expected >= 0) << row.expected;
        EXPECT_EQ(session.modelDirectory(), expected);
        if (row.expected < 0) {
            ASSERT_EQ(bench.messages.messages.size(), 1u);
            EXPECT_EQ(bench.messages.messages[0].text, noModelFilesText(folders[0].path()));
            continue;
        }
        ASSERT_EQ(session.catalogue().entries().size(), 1u);
        EXPECT_EQ(session.catalogue().entries()[0].displayText, "M" + std::to_string(row.expected) + " - m.mdl");
        EXPECT_EQ(session.loadModel(0), 1);
        EXPECT_EQ(bench.context.model.modelPath, expected + "m.mdl");
        EXPECT_TRUE(bench.messages.messages.empty());
    }
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
