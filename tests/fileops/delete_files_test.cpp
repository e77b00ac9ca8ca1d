#include <gtest/gtest.h>

#include <filesystem>

#include "fileops/delete_files.h"
#include "scripted_prompter.h"
#include "support/temp_dir.h"

namespace vsr::fileops {
namespace {

namespace fs = std::filesystem;
using test::listOf;
using test::ScriptedPrompter;
using test::selection;

class DeleteFilesTest : public ::testing::Test {
protected:
    vsr::test::TempDir dir;
    ScriptedPrompter prompter;
    platform::FakeTrash trash;
    platform::FakeAttributeChanger attributes;

    results::ResultList files(const std::vector<std::string>& names, std::vector<bool> selected = {}) {
        for (const std::string& n : names) {
            dir.write(n, n);
            attributes.files[(dir.path() / n).string()] = {};
        }
        return listOf(dir.str(), names, std::move(selected));
    }
    void mark(const std::string& name, bool readOnly, bool system) {
        auto& a = attributes.files[(dir.path() / name).string()];
        a.readOnly = readOnly;
        a.system = system;
    }
    bool exists(const std::string& name) const { return fs::exists(dir.path() / name); }
};

TEST_F(DeleteFilesTest, ConfirmationNamesOneFileOrCountsSeveral) {
    results::ResultList one = files({"a.txt", "b.txt"}, {false, true});
    const Question q1 = deleteConfirmation(one);
    EXPECT_EQ(q1.caption, "Confirm File Delete");
    EXPECT_EQ(q1.lines, (std::vector<DialogLine>{{"Are you sure you want to send", 0, 0},
                                                 {(dir.path() / "b.txt").string(), 319, 3},
                                                 {"to the Trash?", 0, 0}}));
    results::ResultList two = files({"a.txt", "b.txt"});
    const Question q2 = deleteConfirmation(two);
    EXPECT_EQ(q2.caption, "Confirm Multiple File Delete");
    EXPECT_EQ(q2.lines.at(0).text, "Are you sure you want to send these 2 files to the Trash?");

    prompter.answers = {Answer::Cancel};
    const DeleteOutcome out = DeleteSelectedFiles(two, prompter, trash, attributes);
    EXPECT_FALSE(out.confirmed);
    EXPECT_TRUE(trash.sent.empty());
    EXPECT_EQ(selection(two), (std::vector<bool>{true, true}));
}

TEST_F(DeleteFilesTest, EveryAnswerToTheReadOnlyQuestion) {
    struct Case {
        Answer answer;
        std::vector<bool> stillSelected;  // rows of trashed files
        std::vector<bool> present;        // files on disk afterwards
    };
    const std::vector<Case> cases = {
        {Answer::Ok, {true, true, true}, {false, false, false}},
        {Answer::Skip, {true, false, true}, {false, true, false}},
        {Answer::YesToAll, {true, true, true}, {false, false, false}},
        {Answer::Cancel, {true, false, false}, {false, true, true}},
    };
    for (const Case& c : cases) {
        results::ResultList list = files({"a.txt", "ro.txt", "c.txt"});
        mark("ro.txt", true, false);
        ScriptedPrompter p;
        p.answers = {Answer::Ok, c.answer};
        const DeleteOutcome out = DeleteSelectedFiles(list, p, trash, attributes);
        EXPECT_EQ(selection(list), c.stillSelected) << int(c.answer);
        EXPECT_EQ((std::vector<bool>{exists("a.txt"), exists("ro.txt"), exists("c.txt")}), c.present) << int(c.answer);
        EXPECT_EQ(out.rowsToRemove, true);
        ASSERT_EQ(p.questions.size(), 2u);
        EXPECT_EQ(p.questions[1].caption, "Confirm File Delete");
        EXPECT_EQ(p.questions[1].lines,
                  (std::vector<DialogLine>{{"The file " + (dir.path() / "ro.txt").string() + " is a read-only file.",
                                            360, 12},
                                           {"Are you sure you want to delete it?", 0, 0}}));
        EXPECT_EQ(p.questions[1].buttons, Buttons::All);
    }
}

TEST_F(DeleteFilesTest, YesToAllHoldsForOneKindOfWarningOnly) {
    results::ResultList list = files({"sys.txt", "sysro.txt", "ro1.txt", "ro2.txt"});
    mark("sys.txt", false, true);
    mark("sysro.txt", true, true);
    mark("ro1.txt", true, false);
    mark("ro2.txt", true, false);
    prompter.answers = {Answer::Ok, Answer::YesToAll, Answer::YesToAll};
    DeleteSelectedFiles(list, prompter, trash, attributes);
    // System "Yes to All" leaves the read-only question of the next file; that answer covers the rest.
    EXPECT_EQ(prompter.firstLines(),
              (std::vector<std::string>{"Are you sure you want to send these 4 files to the Trash?",
                                        "The file " + (dir.path() / "sys.txt").string() + " is a system file.",
                                        "The file " + (dir.path() / "sysro.txt").string() + " is a read-only file."}));
    EXPECT_EQ(trash.sent.size(), 4u);
}

TEST_F(DeleteFilesTest, AVanishedFileStopsTheLoopAndKeepsLaterRows) {
    results::ResultList list = files({"a.txt", "gone.txt", "c.txt", "d.txt"}, {true, true, true, false});
    fs::remove(dir.path() / "gone.txt");
    const DeleteOutcome out = DeleteSelectedFiles(list, prompter, trash, attributes);
    EXPECT_EQ(prompter.messages, (std::vector<std::string>{"Error Deleting File: Cannot delete " +
                                                           (dir.path() / "gone.txt").string() +
                                                           ": Cannot find the specified file."}));
    EXPECT_EQ(selection(list), (std::vector<bool>{true, false, false, false}));
    EXPECT_TRUE(exists("c.txt"));
    EXPECT_EQ(out.deleted, 1u);
}

// A file the trash refuses (a name it can't take, a volume without a trash) stays; among
// several it is the user's choice whether the others still go.
TEST_F(DeleteFilesTest, AFileTheTrashRefusesStaysAndTheOthersMayStillGo) {
    struct Case {
        Answer answer;
        std::vector<bool> selectedAfter;
        std::vector<bool> existsAfter;
    };
    const Case cases[] = {
        {Answer::Skip, {true, false, true, true}, {false, true, false, false}},
        {Answer::Cancel, {true, false, false, false}, {false, true, true, true}},
    };
    const std::vector<std::string> names = {"a.txt", "inv\xFF" "alid.txt", "c.txt", "d.txt"};
    const std::string refused = (dir.path() / names[1]).string();
    for (const Case& c : cases) {
        results::ResultList list = files(names);
        trash = {};
        trash.refuse = {refused};
        prompter = {};
        prompter.answers = {Answer::Ok, c.answer};
        const DeleteOutcome out = DeleteSelectedFiles(list, prompter, trash, attributes);
        ASSERT_EQ(prompter.questions.size(), 2u);
        EXPECT_EQ(prompter.questions[1].caption, "Error Deleting File");
        EXPECT_EQ(prompter.questions[1].lines, (std::vector<DialogLine>{{"Cannot delete " + refused, 360, 17}}));
        EXPECT_EQ(prompter.questions[1].buttons, Buttons::SkipCancel);
        EXPECT_EQ(selection(list), c.selectedAfter);
        for (std::size_t i = 0; i < names.size(); ++i) EXPECT_EQ(exists(names[i]), c.existsAfter[i]) << names[i];
        EXPECT_TRUE(out.rowsToRemove);
    }

    // One file alone gets the message.
    results::ResultList one = files(names, {false, true, false, false});
    prompter = {};
    DeleteSelectedFiles(one, prompter, trash, attributes);
    EXPECT_EQ(prompter.messages, (std::vector<std::string>{"Error Deleting File: Cannot delete " + refused}));
    EXPECT_EQ(selection(one), (std::vector<bool>{false, false, false, false}));
    EXPECT_TRUE(exists(names[1]));
}

TEST_F(DeleteFilesTest, OneSelectedReadOnlyFileGetsOkAndCancel) {
    results::ResultList list = files({"a.txt", "ro.txt"}, {false, true});
    mark("ro.txt", true, false);
    prompter.answers = {Answer::Ok, Answer::Cancel};
    const DeleteOutcome out = DeleteSelectedFiles(list, prompter, trash, attributes);
    ASSERT_EQ(prompter.questions.size(), 2u);
    EXPECT_EQ(prompter.questions[1].buttons, Buttons::OkCancel);
    EXPECT_FALSE(out.rowsToRemove);
    EXPECT_TRUE(exists("ro.txt"));
}

}  // namespace
}  // namespace vsr::fileops
