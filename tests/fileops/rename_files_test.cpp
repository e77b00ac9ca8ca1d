#include <gtest/gtest.h>

#include <filesystem>
#include <utility>

#include "fileops/rename_files.h"
#include "scripted_prompter.h"
#include "support/temp_dir.h"

namespace vsr::fileops {
namespace {

namespace fs = std::filesystem;
using test::listOf;
using test::rowNames;
using test::ScriptedPrompter;

class RenameFilesTest : public ::testing::Test {
protected:
    vsr::test::TempDir dir;
    ScriptedPrompter prompter;
    platform::PosixAttributeChanger attributes;
    platform::FakeTypeNames types;

    RenameFilesTest() { types.byExtension["htm"] = "HTML document"; }

    results::ResultList files(const std::vector<std::string>& names, std::vector<bool> selected = {}) {
        for (const std::string& n : names) dir.write(n, n);
        return listOf(dir.str(), names, std::move(selected));
    }
    RenameOutcome rename(results::ResultList& list, RenameCommands c) {
        EXPECT_EQ(validateRenameCommands(c), std::nullopt);
        return RenameSelectedFiles(list, c, prompter, attributes, types);
    }
    bool exists(const std::string& name) const { return fs::exists(dir.path() / name); }
    static RenameCommands extension(std::string ext) {
        RenameCommands c;
        c.newExtensionOn = true;
        c.newExtension = std::move(ext);
        return c;
    }
};

TEST_F(RenameFilesTest, RowsShowNewNamesAndTheTypeFollowsTheExtension) {
    results::ResultList list = files({"a.txt", "b.txt", "c.txt"}, {true, false, true});
    const RenameOutcome out = rename(list, extension("htm"));
    EXPECT_EQ(rowNames(list), (std::vector<std::string>{"a.htm", "b.txt", "c.htm"}));
    EXPECT_EQ(out.renamedRows, (std::vector<std::size_t>{0, 2}));
    EXPECT_EQ(list.row(0).type, "HTML document");
    EXPECT_EQ(list.row(1).type, "TXT File");
    EXPECT_TRUE(exists("a.htm") && exists("b.txt") && exists("c.htm"));
    EXPECT_FALSE(exists("a.txt"));

    // A prefix leaves the extension, and so the type, alone.
    list.mutableRow(0).type = "kept";
    RenameCommands p;
    p.prefix = "x_";
    rename(list, p);
    EXPECT_EQ(list.row(0).name, "x_a.htm");
    EXPECT_EQ(list.row(0).type, "kept");
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(RenameFilesTest, AnExistingNameIsReportedAndNeitherFileChanges) {
    results::ResultList single = files({"a.txt", "b.txt"}, {true, false});
    RenameCommands toB;
    toB.remove = true;  // "a" goes, the prefix "b" comes in
    toB.prefix = "b";
    rename(single, toB);
    EXPECT_EQ(prompter.messages,
              (std::vector<std::string>{"Error Renaming File: Cannot rename " + (dir.path() / "a.txt").string() +
                                        ": A file with the name you specified (b.txt) already exists."}));
    EXPECT_EQ(vsr::test::readFile(dir.path() / "a.txt"), "a.txt");
    EXPECT_EQ(vsr::test::readFile(dir.path() / "b.txt"), "b.txt");
    EXPECT_EQ(rowNames(single), (std::vector<std::string>{"a.txt", "b.txt"}));
}

TEST_F(RenameFilesTest, AmongSeveralFilesAnErrorOffersSkipAndCancel) {
    // First succeeds, second collides and is skipped, third is renamed; with Cancel the third stays.
    for (Answer answer : {Answer::Skip, Answer::Cancel}) {
        fs::remove_all(dir.path());
        fs::create_directories(dir.path());
        results::ResultList list = files({"one.txt", "two.txt", "three.txt", "two_1.txt"}, {true, true, true, false});
        RenameCommands c;
        c.suffix = "_1";
        prompter = {};
        prompter.answers = {answer};
        rename(list, c);
        ASSERT_EQ(prompter.questions.size(), 1u);
        const Question& q = prompter.questions[0];
        EXPECT_EQ(q.caption, "Error Renaming File");
        EXPECT_EQ(q.buttons, Buttons::SkipCancel);
        EXPECT_EQ(q.lines, (std::vector<DialogLine>{
                               {"Cannot rename " + (dir.path() / "two.txt").string() + ":", 360, 17},
                               {"A file with the name you specified (two_1.txt) already exists.", 360, 17}}));
        const std::string third = answer == Answer::Skip ? "three_1.txt" : "three.txt";
        EXPECT_EQ(rowNames(list), (std::vector<std::string>{"one_1.txt", "two.txt", third, "two_1.txt"}));
        EXPECT_TRUE(exists(third));
    }
}

TEST_F(RenameFilesTest, AnEmptyBaseCannotBeRenamed) {
    RenameCommands removeAll;
    removeAll.remove = true;
    removeAll.number = 5;
    // With and without an extension; an empty new name is no name of the folder itself.
    for (const auto& [name, newName] : {std::pair<std::string, std::string>{"hello.txt", ".txt"}, {"short", ""}}) {
        results::ResultList single = files({name});
        prompter = {};
        rename(single, removeAll);
        EXPECT_EQ(prompter.messages, (std::vector<std::string>{"Error Renaming File: Cannot rename \"" +
                                                               (dir.path() / name).string() + "\" to \"" + newName +
                                                               "\""}));
        EXPECT_TRUE(exists(name));
        EXPECT_EQ(rowNames(single), (std::vector<std::string>{name}));
    }

    results::ResultList two = files({"abcde.txt", "xy.txt"});
    prompter = {};
    prompter.answers = {Answer::Skip};
    rename(two, removeAll);
    ASSERT_EQ(prompter.questions.size(), 2u);
    EXPECT_EQ(prompter.questions[0].lines[1].text, " to \".txt\"");
    EXPECT_TRUE(exists("abcde.txt") && exists("xy.txt"));
}

TEST_F(RenameFilesTest, AMissingFileEndsTheLoop) {
    results::ResultList list = files({"a.txt", "b.txt", "c.txt"});
    fs::remove(dir.path() / "b.txt");
    rename(list, extension("md"));
    EXPECT_EQ(prompter.messages, (std::vector<std::string>{"Error Renaming File: Cannot rename " +
                                                           (dir.path() / "b.txt").string() +
                                                           ": Cannot find the specified file."}));
    EXPECT_EQ(rowNames(list), (std::vector<std::string>{"a.md", "b.txt", "c.txt"}));
}

TEST_F(RenameFilesTest, ReadOnlyFilesAreConfirmedWithTheRenameTexts) {
    results::ResultList list = files({"ro.txt", "b.txt"});
    fs::permissions(dir.path() / "ro.txt", fs::perms::owner_read);
    prompter.answers = {Answer::Skip};
    rename(list, extension("md"));
    ASSERT_EQ(prompter.questions.size(), 1u);
    EXPECT_EQ(prompter.questions[0].caption, "Confirm File Rename");
    EXPECT_EQ(prompter.questions[0].lines.at(1).text, "Are you sure you want to rename it?");
    EXPECT_EQ(rowNames(list), (std::vector<std::string>{"ro.txt", "b.md"}));
}

TEST_F(RenameFilesTest, UnchangedNamesAreLeftAlone) {
    results::ResultList list = files({"readme"});
    rename(list, extension(""));
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(rowNames(list), (std::vector<std::string>{"readme"}));
}

}  // namespace
}  // namespace vsr::fileops
