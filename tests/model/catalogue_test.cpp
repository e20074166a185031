// The model catalogue and the file helpers it rests on.
#include <filesystem>

#include <gtest/gtest.h>

#include "model/model_catalogue.h"
#include "platform/files.h"
#include "test_support.h"

namespace velmora::model::testing {
namespace {

TEST(ReadModelTitle, NameFromTheFirst100Bytes) {
    TemporaryDirectory directory;
    const struct {
        std::string_view file;
        std::string contents;
        std::string_view title;
    } rows[] = {
        {"abc17.mdl", "; [MODEL,ABC17]\n", "ABC17 - abc17.mdl"},
        {"x.mdl", "; [MODEL, X ]\n", " X  - x.mdl"},
        {"none.mdl", "; no marker here\n", " - none.mdl"},
        {"late.mdl", std::string(95, ';') + "[MODEL,LATE]", " - late.mdl"},
        {"open.mdl", "; [MODEL,OPEN", " - open.mdl"},
        {"zero.mdl", std::string("; \0 [MODEL,HIDDEN]", 18), " - zero.mdl"},
        {"two.mdl", "[MODEL,A] [MODEL,B]", "A - two.mdl"},
    };
    for (const auto& row : rows) {
        directory.write(std::string(row.file), row.contents);
        EXPECT_EQ(readModelTitle(directory.path(), std::string(row.file)), std::string(row.title)) << row.file;
    }
    EXPECT_EQ(readModelTitle(directory.path(), "missing.mdl"), std::nullopt);
}

TEST(ReadModelTitle, CutTo299Characters) {
    TemporaryDirectory directory;
    const std::string file = std::string(240, 'f') + ".mdl";
    directory.write(file, "[MODEL," + std::string(90, 'N') + "]");
    const auto title = readModelTitle(directory.path(), file);
    ASSERT_TRUE(title);
    EXPECT_EQ(title->size(), 299u);
    EXPECT_EQ(title->substr(0, 93), std::string(90, 'N') + " - ");
}

TEST(ModelCatalogue, SortsByTitleWithoutRegardToCaseAndKeepsRows) {
    TemporaryDirectory directory;
    directory.write("b.mdl", "; [MODEL,Zeta]\n");
    directory.write("a.mdl", "; [MODEL,alpha]\n");
    directory.write("c.mdl", "; [MODEL,Beta]\n");
    ModelCatalogue catalogue;
    catalogue.build(directory.path(), {"b.mdl", "missing.mdl", "a.mdl", "c.mdl"});
    EXPECT_EQ(catalogue.fileNames(), (std::vector<std::string>{"b.mdl", "a.mdl", "c.mdl"}));
    ASSERT_EQ(catalogue.entries().size(), 3u);
    EXPECT_EQ(catalogue.entries()[0].displayText, "alpha - a.mdl");
    EXPECT_EQ(catalogue.entries()[0].catalogueIndex, 1u);
    EXPECT_EQ(catalogue.entries()[1].displayText, "Beta - c.mdl");
    EXPECT_EQ(catalogue.entries()[1].catalogueIndex, 2u);
    EXPECT_EQ(catalogue.entries()[2].displayText, "Zeta - b.mdl");
    EXPECT_EQ(catalogue.entries()[2].catalogueIndex, 0u);
}

TEST(ModelCatalogue, DiscoversModelFilesOnly) {
    TemporaryDirectory directory;
    directory.write("one.mdl", "; [MODEL,One]\n");
    directory.write("TWO.MDL", "; [MODEL,Two]\n");
    directory.write("notes.txt", "; [MODEL,Three]\n");
    directory.write(".mdl", "");
    std::filesystem::create_directory(directory.path() + "dir.mdl");
    ModelCatalogue catalogue;
    catalogue.discover(directory.path());
    ASSERT_EQ(catalogue.entries().size(), 2u);
    EXPECT_EQ(catalogue.entries()[0].displayText, "One - one.mdl");
    EXPECT_EQ(catalogue.entries()[1].displayText, "Two - TWO.MDL");

    ModelCatalogue empty;
    empty.discover(directory.path() + "no-such-directory/");
    EXPECT_TRUE(empty.empty());
}

TEST(ModelCatalogue, Holds500Models) {
    TemporaryDirectory directory;
    std::vector<std::string> names;
    for (int i = 0; i < 503; ++i) {
        names.push_back("m" + std::to_string(i) + ".mdl");
        directory.write(names.back(), "; [MODEL,M]\n");
    }
    ModelCatalogue catalogue;
    catalogue.build(directory.path(), names);
    EXPECT_EQ(catalogue.fileNames().size(), 500u);
    EXPECT_EQ(catalogue.entries().size(), 500u);
    EXPECT_EQ(catalogue.overflow(), 3u);
    EXPECT_EQ(catalogue.fileNames().back(), "m499.mdl");
}

TEST(Files, ProgramDirectoryAndReads) {
    const std::string directory = platform::programDirectory();
    ASSERT_FALSE(directory.empty());
    EXPECT_EQ(directory.back(), '/');
    EXPECT_TRUE(std::filesystem::is_directory(directory));

    TemporaryDirectory temporary;
    temporary.write("data.bin", std::string("ab\0cd", 5));
    const platform::FileRead whole = platform::readWholeFile(temporary.path() + "data.bin");
    EXPECT_TRUE(whole.ok);
    EXPECT_EQ(whole.bytes, std::string("ab\0cd", 5));
    const platform::FileRead head = platform::readFilePrefix(temporary.path() + "data.bin", 2);
    EXPECT_EQ(head.bytes, "ab");
    const platform::FileRead missing = platform::readWholeFile(temporary.path() + "nope");
    EXPECT_FALSE(missing.ok);
    EXPECT_NE(missing.failure.find("nope"), std::string::npos);
}

}  // namespace
}  // namespace velmora::model::testing
