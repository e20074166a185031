// Where the programs look for model files: the program's own directory,
// the installed models beside it, the user's data folder; and how a model
// named on the command line is found there.
#include "model/model_folders.h"

#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "platform/user_folders.h"
#include "test_support.h"

namespace velmora::model::testing {
namespace {

// A program in root/bin/ with installed models in root/share/velmora-jig/models/
// and a user data folder root/data/.
struct InstalledTree {
    InstalledTree() {
        for (const char* folder : {"bin", "share/velmora-jig/models", "data/velmora-jig/models"}) {
            std::filesystem::create_directories(root.path() + folder);
        }
    }
    void write(const std::string& file) const { root.write(file, "; [MODEL,M]\n"); }
    ModelFolders folders() const { return programModelFolders(root.path() + "bin/", root.path() + "data"); }

    TemporaryDirectory root;
};

TEST(ModelFolders, SearchOrderOfAProgram) {
    const ModelFolders installed = programModelFolders("/usr/bin/", "/home/u/.local/share");
    EXPECT_EQ(installed.programDirectory, "/usr/bin/");
    EXPECT_EQ(installed.searchOrder, (std::vector<std::string>{"/usr/bin/", "/usr/share/velmora-jig/models/",
                                                               "/home/u/.local/share/velmora-jig/models/"}));
    const ModelFolders noHome = programModelFolders("/opt/jig/bin/", "");
    EXPECT_EQ(noHome.searchOrder, (std::vector<std::string>{"/opt/jig/bin/", "/opt/jig/share/velmora-jig/models/"}));
}

TEST(ModelFolders, FirstFolderHoldingModelFilesIsUsed) {
    const struct {
        std::vector<std::string> files;
        std::string expected;  // relative to the root; empty: none
    } rows[] = {
        {{"bin/a.mdl", "share/velmora-jig/models/b.mdl", "data/velmora-jig/models/c.mdl"}, "bin/"},
        {{"share/velmora-jig/models/b.mdl", "data/velmora-jig/models/c.mdl"}, "share/velmora-jig/models/"},
        {{"bin/velmora-jig", "bin/notes.txt", "data/velmora-jig/models/c.MDL"}, "data/velmora-jig/models/"},
        {{"bin/velmora-jig", "share/velmora-jig/models/readme"}, ""},
    };
    for (const auto& row : rows) {
        InstalledTree tree;
        for (const std::string& file : row.files) tree.write(file);
        const auto found = firstFolderWithModels(tree.folders());
        const std::string shown = found ? found->substr(tree.root.path().size()) : std::string();
        EXPECT_EQ(shown, row.expected) << ::testing::PrintToString(row.files);
    }
}

TEST(ModelFolders, ModelNamedOnTheCommandLine) {
    InstalledTree tree;
    for (const char* file : {"share/velmora-jig/models/vm1995pro.mdl", "data/velmora-jig/models/vm1995pro.mdl",
                             "data/velmora-jig/models/mine.mdl", "share/velmora-jig/models/Ab.mdl",
                             "share/velmora-jig/models/ab.mdl", "bin/local.mdl"}) {
        tree.write(file);
    }
    const std::string root = tree.root.path();
    const struct {
        std::string argument;
        std::string expected;  // empty: not found
    } rows[] = {
        {"vm1995pro", root + "share/velmora-jig/models/vm1995pro.mdl"},
        {"VM1995PRO", root + "share/velmora-jig/models/vm1995pro.mdl"},
        {"vm1995pro.mdl", root + "share/velmora-jig/models/vm1995pro.mdl"},
        {"mine", root + "data/velmora-jig/models/mine.mdl"},
        {"local", root + "bin/local.mdl"},
        {"ab", root + "share/velmora-jig/models/ab.mdl"},
        {"Ab", root + "share/velmora-jig/models/Ab.mdl"},
        {"missing", ""},
        {"", ""},
        {root + "elsewhere/x.mdl", root + "elsewhere/x.mdl"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(findModelFile(row.argument, tree.folders()).value_or(""), row.expected) << row.argument;
    }
}

TEST(ModelFolders, UserDataHomeFromTheEnvironment) {
    const char* savedData = std::getenv("XDG_DATA_HOME");
    const char* savedHome = std::getenv("HOME");
    const std::string keptData = savedData ? savedData : "";
    const std::string keptHome = savedHome ? savedHome : "";
    const struct {
        const char* dataHome;  // nullptr: unset
        const char* home;
        std::string expected;
    } rows[] = {
        {"/x/data", "/home/u", "/x/data"},
        {nullptr, "/home/u", "/home/u/.local/share"},
        {"relative/data", "/home/u", "/home/u/.local/share"},
        {"", "/home/u", "/home/u/.local/share"},
        {nullptr, nullptr, ""},
    };
    for (const auto& row : rows) {
        if (row.dataHome) ::setenv("XDG_DATA_HOME", row.dataHome, 1); else ::unsetenv("XDG_DATA_HOME");
        if (row.home) ::setenv("HOME", row.home, 1); else ::unsetenv("HOME");
        EXPECT_EQ(platform::userDataHome(), row.expected) << (row.dataHome ? row.dataHome : "(unset)");
    }
    if (savedData) ::setenv("XDG_DATA_HOME", keptData.c_str(), 1); else ::unsetenv("XDG_DATA_HOME");
    if (savedHome) ::setenv("HOME", keptHome.c_str(), 1); else ::unsetenv("HOME");
}

}  // namespace
}  // namespace velmora::model::testing
