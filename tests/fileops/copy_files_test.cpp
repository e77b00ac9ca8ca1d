#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "fileops/copy_files.h"
#include "scripted_prompter.h"
#include "support/temp_dir.h"

namespace vsr::fileops {
namespace {

namespace fs = std::filesystem;
using test::listOf;
using test::ScriptedPrompter;
using vsr::test::readFile;

class CopyFilesTest : public ::testing::Test {
protected:
    vsr::test::TempDir dir;
    fs::path src = dir.mkdir("src");
    fs::path dst = dir.mkdir("dst");
    ScriptedPrompter prompter;

    // Three source files; the target folder already holds the first two.
    void threeWithTwoInTheWay() {
        for (const char* n : {"a.txt", "b.txt", "c.txt"}) dir.write(std::string("src/") + n, std::string("new ") + n);
        for (const char* n : {"a.txt", "b.txt"}) dir.write(std::string("dst/") + n, "old");
    }
    std::vector<std::string> leftovers() const {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(dst))
            if (e.path().filename().string().find(".vsr-") != std::string::npos) out.push_back(e.path().string());
        return out;
    }
};

TEST_F(CopyFilesTest, EveryAnswerToTheReplaceQuestion) {
    struct Case {
        std::vector<Answer> answers;
        std::vector<const char*> contents;  // of dst/a.txt, dst/b.txt, dst/c.txt afterwards
        std::size_t questions;
        bool cancelled;
    };
    const std::vector<Case> cases = {
        {{Answer::Ok, Answer::Ok}, {"new a.txt", "new b.txt", "new c.txt"}, 2, false},
        {{Answer::Skip, Answer::Ok}, {"old", "new b.txt", "new c.txt"}, 2, false},
        {{Answer::YesToAll}, {"new a.txt", "new b.txt", "new c.txt"}, 1, false},
        {{Answer::Ok, Answer::Cancel}, {"new a.txt", "old", ""}, 2, true},
        {{Answer::Cancel}, {"old", "old", ""}, 1, true},
    };
    for (std::size_t k = 0; k < cases.size(); ++k) {
        fs::remove_all(dst);
        fs::create_directory(dst);
        threeWithTwoInTheWay();
        ScriptedPrompter p;
        p.answers.assign(cases[k].answers.begin(), cases[k].answers.end());
        const results::ResultList list = listOf(src.string(), {"a.txt", "b.txt", "c.txt"});
        const CopyOutcome out = CopySelectedFiles(list, dst.string(), p);
        std::vector<std::string> contents;
        for (const char* n : {"a.txt", "b.txt", "c.txt"}) contents.push_back(readFile(dst / n));
        EXPECT_EQ(contents, std::vector<std::string>(cases[k].contents.begin(), cases[k].contents.end())) << k;
        EXPECT_EQ(p.questions.size(), cases[k].questions) << k;
        EXPECT_EQ(out.cancelled, cases[k].cancelled) << k;
        EXPECT_TRUE(out.failures.empty()) << k;
    }
    // The question names the target and offers all four buttons for several files.
    ScriptedPrompter p;
    threeWithTwoInTheWay();
    CopySelectedFiles(listOf(src.string(), {"a.txt", "b.txt", "c.txt"}), dst.string(), p);
    ASSERT_FALSE(p.questions.empty());
    const Question& q = p.questions.front();
    EXPECT_EQ(q.caption, "Copy Files");
    EXPECT_EQ(q.buttons, Buttons::All);
    EXPECT_EQ(q.lines, (std::vector<DialogLine>{{(dst / "a.txt").string() + " already exists.", 360, 3},
                                                {"Do you want to replace it?", 0, 0}}));
}

TEST_F(CopyFilesTest, OneFileGetsOkAndCancelAndOnlySelectedRowsAreCopied) {
    threeWithTwoInTheWay();
    const CopyOutcome out =
        CopySelectedFiles(listOf(src.string(), {"a.txt", "b.txt", "c.txt"}, {false, true, false}), dst.string(), prompter);
    ASSERT_EQ(prompter.questions.size(), 1u);
    EXPECT_EQ(prompter.questions[0].buttons, Buttons::OkCancel);
    EXPECT_EQ(out.copied, 1u);
    EXPECT_EQ(readFile(dst / "a.txt"), "old");
    EXPECT_FALSE(fs::exists(dst / "c.txt"));
}

TEST_F(CopyFilesTest, TheSourceItselfIsNeverATarget) {
    dir.write("src/a.txt", "keep me");
    // The same folder by its own name, by a "." in the path and through a link to the folder.
    fs::create_directory_symlink(src, dir.path() / "alias");
    for (const fs::path& folder : {src, src / ".", dir.path() / "alias"}) {
        const CopyOutcome out = CopySelectedFiles(listOf(src.string(), {"a.txt"}), folder.string(), prompter);
        EXPECT_EQ(out.copied, 0u) << folder;
        EXPECT_TRUE(out.failures.empty()) << folder;
    }
    // A link in the target folder that points at the source counts as the source too.
    fs::create_symlink(src / "a.txt", dst / "a.txt");
    EXPECT_EQ(CopySelectedFiles(listOf(src.string(), {"a.txt"}), dst.string(), prompter).copied, 0u);
    EXPECT_TRUE(prompter.questions.empty());
    EXPECT_EQ(readFile(src / "a.txt"), "keep me");
}

TEST_F(CopyFilesTest, TwoFilesOfOneNameAskBeforeTheSecondReplacesTheFirst) {
    dir.write("src/one/same.txt", "first");
    dir.write("src/two/same.txt", "second");
    results::ResultList list = listOf((src / "one").string(), {"same.txt"});
    list.setSelected(list.AddResultItem(listOf((src / "two").string(), {"same.txt"}).row(0)), true);
    prompter.answers = {Answer::Skip};
    CopySelectedFiles(list, dst.string(), prompter);
    ASSERT_EQ(prompter.questions.size(), 1u);
    EXPECT_EQ(readFile(dst / "same.txt"), "first");
}

TEST_F(CopyFilesTest, TheCopyKeepsModeAndTimeButNoSetIdBits) {
    const fs::path a = dir.write("src/tool.sh", "#!/bin/sh\n");
    ASSERT_EQ(::chmod(a.c_str(), 06750), 0);
    const auto time = fs::last_write_time(a) - std::chrono::hours(50);
    fs::last_write_time(a, time);
    CopySelectedFiles(listOf(src.string(), {"tool.sh"}), dst.string(), prompter);
    struct stat st {};
    ASSERT_EQ(::stat((dst / "tool.sh").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0750u);
    EXPECT_EQ(fs::last_write_time(dst / "tool.sh"), time);
}

TEST_F(CopyFilesTest, AFailedCopyLeavesTheTargetAsItWasAndNoTemporaryFile) {
    dir.write("src/a.txt", std::string(300000, 'n'));
    dir.write("src/b.txt", "bbb");
    dir.write("dst/a.txt", "old contents");
    for (bool anonymous : {true, false}) {
        CopyFaults faults;
        faults.failWriteAfter = 100000;
        faults.noAnonymousFile = !anonymous;
        fs::remove(dst / "b.txt");
        ScriptedPrompter p;
        p.fallback = Answer::YesToAll;
        const CopyOutcome out = CopySelectedFiles(listOf(src.string(), {"a.txt", "b.txt"}), dst.string(), p, &faults);
        EXPECT_EQ(readFile(dst / "a.txt"), "old contents") << anonymous;
        // The next file is copied after the failure: small enough to fit.
        EXPECT_EQ(readFile(dst / "b.txt"), "bbb") << anonymous;
        ASSERT_EQ(out.failures.size(), 1u) << anonymous;
        EXPECT_EQ(out.failures[0], "Cannot copy " + (src / "a.txt").string() + " to " + (dst / "a.txt").string() +
                                       ": No space left on device");
        EXPECT_TRUE(leftovers().empty()) << anonymous;
    }
    // Without faults both ways of naming the copy work and clean up after themselves.
    for (bool anonymous : {true, false}) {
        CopyFaults faults;
        faults.noAnonymousFile = !anonymous;
        fs::remove(dst / "b.txt");
        ScriptedPrompter p;
        p.fallback = Answer::YesToAll;
        EXPECT_EQ(CopySelectedFiles(listOf(src.string(), {"a.txt", "b.txt"}), dst.string(), p, &faults).copied, 2u);
        EXPECT_EQ(readFile(dst / "a.txt").size(), 300000u);
        EXPECT_TRUE(leftovers().empty());
    }
}

TEST_F(CopyFilesTest, ReadOnlyTargetsFoldersAndVanishedSourcesAreReportedNotReplaced) {
    dir.write("src/ro.txt", "new");
    dir.write("src/dir.txt", "new");
    const fs::path ro = dir.write("dst/ro.txt", "old");
    fs::permissions(ro, fs::perms::owner_read);
    fs::create_directory(dst / "dir.txt");
    prompter.fallback = Answer::YesToAll;
    const CopyOutcome out =
        CopySelectedFiles(listOf(src.string(), {"ro.txt", "dir.txt", "gone.txt"}), dst.string(), prompter);
    EXPECT_EQ(readFile(ro), "old");
    EXPECT_TRUE(fs::is_directory(dst / "dir.txt"));
    ASSERT_EQ(out.failures.size(), 3u);
    EXPECT_NE(out.failures[0].find("read-only"), std::string::npos);
    EXPECT_NE(out.failures[2].find("Cannot find the specified file."), std::string::npos);
    EXPECT_NE(copyFailureText(out.failures).find(out.failures[1]), std::string::npos);
}

TEST_F(CopyFilesTest, AReplacedLinkIsReplacedNotWrittenThrough) {
    dir.write("src/a.txt", "new");
    const fs::path elsewhere = dir.write("elsewhere.txt", "precious");
    fs::create_symlink(elsewhere, dst / "a.txt");
    prompter.answers = {Answer::Ok};
    CopySelectedFiles(listOf(src.string(), {"a.txt"}), dst.string(), prompter);
    EXPECT_FALSE(fs::is_symlink(dst / "a.txt"));
    EXPECT_EQ(readFile(dst / "a.txt"), "new");
    EXPECT_EQ(readFile(elsewhere), "precious");
}

TEST_F(CopyFilesTest, AFileThatClaimsNoSizeIsStillCopiedWhole) {
    if (!fs::exists("/proc/version")) GTEST_SKIP() << "no /proc";
    const std::string expected = readFile("/proc/version");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(CopySelectedFiles(listOf("/proc", {"version"}), dst.string(), prompter).copied, 1u);
    EXPECT_EQ(readFile(dst / "version"), expected);
}

TEST(CopyFailureText, ListsTenAndCountsTheRest) {
    std::vector<std::string> failures;
    for (int i = 0; i < 12; ++i) failures.push_back("Cannot copy " + std::to_string(i));
    const std::string text = copyFailureText(failures);
    EXPECT_NE(text.find("Cannot copy 9"), std::string::npos);
    EXPECT_EQ(text.find("Cannot copy 10"), std::string::npos);
    EXPECT_NE(text.find("2 more files were not copied."), std::string::npos);
    EXPECT_EQ(copyFailureText({}), "");
}

}  // namespace
}  // namespace vsr::fileops
