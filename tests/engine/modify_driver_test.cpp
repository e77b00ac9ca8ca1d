#include <gtest/gtest.h>

#include <functional>

#include <filesystem>
#include <sys/stat.h>

#include "backtrack_limit_guard.h"
#include "modify_fixture.h"

namespace vsr::engine {
namespace {

namespace fs = std::filesystem;
using test::ModifyFixture;
using test::modeOf;

TEST(ModifyChecks, RefuseWithoutTouchingAnyFile) {
    struct Case {
        SearchType type;
        std::string text;
        std::vector<std::string> lines;
        ModifyScope scope;
        const char* message;
    };
    for (const Case& k : {Case{SearchType::Phrase, "", {"x"}, ModifyScope::All, kNoSearchString},
                          Case{SearchType::RegExpr, "x", {}, ModifyScope::All, kNoSearchText},
                          Case{SearchType::Multiline, "x", {""}, ModifyScope::All, kNoSearchText},
                          Case{SearchType::Phrase, "a", {"a"}, ModifyScope::Selected, kNoSelection}}) {
        ModifyFixture f;
        f.c.searchType = k.type;
        f.c.searchText = k.text;
        f.c.searchLines = k.lines;
        f.c.replaceText = "b";
        std::size_t row = f.add("a.txt", "a\n");
        f.driver.Modify(k.scope, f.c, f.options);
        EXPECT_EQ(f.messages(), std::vector<std::string>{std::string("Modify: ") + k.message});
        EXPECT_EQ(f.read("a.txt"), "a\n");
        EXPECT_EQ(f.result(row), "Found");
        EXPECT_EQ(f.host.begins, 0);
    }
}

TEST(ModifyRun, SelectedScopeTouchesOnlySelectedRowsAndRecordsHistory) {
    ModifyFixture f;
    f.phrase("a", "b");
    std::size_t r0 = f.add("0.txt", "a\n");
    std::size_t r1 = f.add("1.txt", "a\n");
    std::size_t r2 = f.add("2.txt", "a\n");
    f.host.list.setSelected(r1, true);
    f.modifySelected();
    EXPECT_EQ(f.read("0.txt"), "a\n");
    EXPECT_EQ(f.read("1.txt"), "b\n");
    EXPECT_EQ(f.read("2.txt"), "a\n");
    EXPECT_EQ(f.result(r0), "Found");
    EXPECT_EQ(f.result(r1), "Modified");
    EXPECT_EQ(f.result(r2), "Found");
    EXPECT_EQ(f.host.history[static_cast<int>(HistoryField::ReplaceText)], std::vector<std::string>{"b"});
    // The modified row is refilled, then the first selected row once more at the end.
    EXPECT_EQ(f.views.fills, (std::vector<std::size_t>{r1, r1}));
    EXPECT_EQ(f.host.begins, 1);
    EXPECT_EQ(f.host.ends, 1);
}

TEST(ModifyRun, PhraseIntervalsLimitTheLines) {
    ModifyFixture f;
    f.phrase("x", "y");
    f.c.phraseIntervals = true;
    f.host.list.intervalDisplay = true;
    std::size_t row = f.add("a.txt", "x\nx\nx\nx\nx\nx\n");
    f.host.list.setInterval(row, {3, 5});
    f.modifyAll();
    EXPECT_EQ(f.read("a.txt"), "x\nx\ny\ny\ny\nx\n");
    EXPECT_EQ(f.result(row), "Modified    \\3 - 5");
}

TEST(ModifyRun, IntervalsBeyondTheFile) {
    struct Case {
        results::ModificationInterval interval;
        SearchType type;
        std::string after;
        const char* result;
    };
    // A To past the end means the file changed since marking: a phrase run leaves it alone.
    // In line-by-line Reg Expr mode the missing lines are simply absent.
    for (const Case& k : {Case{{2, 9}, SearchType::Phrase, "x\nx\nx\n", "Failed Modification"},
                          Case{{7, 0}, SearchType::Phrase, "x\nx\nx\n", "Modified"},
                          Case{{2, 9}, SearchType::RegExpr, "x\ny\ny\n", "Modified"}}) {
        ModifyFixture f;
        if (k.type == SearchType::Phrase) {
            f.phrase("x", "y");
            f.c.phraseIntervals = true;
        } else {
            f.regex({"x"}, {"y"});
            f.c.eachLineSeparately = true;
            f.c.regExprIntervals = true;
        }
        std::size_t row = f.add("a.txt", "x\nx\nx\n");
        f.host.list.setInterval(row, k.interval);
        f.modifyAll();
        EXPECT_EQ(f.read("a.txt"), k.after);
        EXPECT_EQ(f.result(row), k.result);
    }
}

TEST(ModifyRun, NilRowIsPassedOver) {
    ModifyFixture f;
    f.phrase("x", "y");
    f.c.phraseIntervals = true;
    std::size_t nil = f.add("a.txt", "x\n");
    std::size_t all = f.add("b.txt", "x\n");
    f.host.list.setInterval(nil, {-1, -1});
    f.host.list.ShowRowInterval(nil);
    f.modifyAll();
    EXPECT_EQ(f.read("a.txt"), "x\n");
    EXPECT_EQ(f.result(nil), "Found       Nil");
    EXPECT_EQ(f.read("b.txt"), "y\n");
    EXPECT_EQ(f.result(all).substr(0, 8), "Modified");
}

TEST(ModifyRun, TooLongReplacementStopsBeforeWriting) {
    ModifyFixture f;
    f.phrase("a", std::string(4001, 'r'));
    std::size_t row = f.add("a.txt", "a\n");
    f.add("b.txt", "a\n");
    f.modifyAll();
    EXPECT_EQ(f.messages(), std::vector<std::string>{
                                "Vantix Search & Replace: The string is too long for the To Replace or Insert field"});
    EXPECT_EQ(f.read("a.txt"), "a\n");
    EXPECT_EQ(f.read("b.txt"), "a\n");
    EXPECT_EQ(f.result(row), "Found");

    ModifyFixture g;
    g.regex({"a"}, {"ok", std::string(1001, 'r')});
    g.add("a.txt", "a\n");
    g.modifyAll();
    EXPECT_EQ(g.messages(), std::vector<std::string>{
                                "Vantix Search & Replace: The lines are too long for the To Replace or Insert field"});
    EXPECT_EQ(g.read("a.txt"), "a\n");
}

TEST(ModifyRun, ExpressionErrorIsReportedOnceAndNoFileChanges) {
    ModifyFixture f;
    f.regex({"(a"}, {"b"});
    f.add("a.txt", "a\n");
    f.add("b.txt", "a\n");
    f.modifyAll();
    ASSERT_EQ(f.host.messages.size(), 1u);
    EXPECT_EQ(f.host.messages[0].caption, "Regular Expression");
    EXPECT_EQ(f.host.messages[0].text.rfind("Error: ", 0), 0u);
    EXPECT_EQ(f.read("a.txt"), "a\n");
    EXPECT_EQ(f.read("b.txt"), "a\n");
}

TEST(ModifyRun, ExpressionTooComplexForATextIsReportedAndEndsTheRun) {
    test::BacktrackLimitGuard budget(100000);
    ModifyFixture f;
    f.regex({"^(a+)+$"}, {"b"});
    f.add("a.txt", "aaa\n");
    f.add("b.txt", std::string(30, 'a') + "!\n");
    f.add("c.txt", "aa\n");
    f.modifyAll();
    EXPECT_EQ(f.messages(), std::vector<std::string>{"Regular Expression: Error: Expression Too Complex For This Text"});
    EXPECT_TRUE(f.host.state.stop);
    EXPECT_EQ(f.read("a.txt"), "b\n");
    EXPECT_EQ(f.read("b.txt"), std::string(30, 'a') + "!\n");
    EXPECT_EQ(f.read("c.txt"), "aa\n");
    EXPECT_NE(f.host.list.row(1).result, "Modified");
}

TEST(ModifyFailures, ReadOnlyAndHiddenFilesFollowTheOptions) {
    struct Case {
        const char* name;
        bool readOnly;
        bool backups;
        bool replaceReadOnly;
        bool replaceHidden;
        bool modified;
    };
    for (const Case& k : {Case{"r.txt", true, false, true, true, false},  // no backups: no attribute changes
                          Case{"r.txt", true, true, false, true, false},
                          Case{"r.txt", true, true, true, false, true},
                          Case{".h.txt", false, true, true, false, false},
                          Case{".h.txt", false, true, false, true, true},
                          Case{".rh.txt", true, true, true, false, false},
                          Case{".rh.txt", true, true, true, true, true}}) {
        SCOPED_TRACE(std::string(k.name) + (k.backups ? " backups" : "") + (k.replaceReadOnly ? " R" : "") +
                     (k.replaceHidden ? " H" : ""));
        ModifyFixture f;
        f.phrase("a", "b");
        f.c.createBackups = k.backups;
        f.options.replaceReadOnly = k.replaceReadOnly;
        f.options.replaceHidden = k.replaceHidden;
        std::size_t row = f.add(k.name, "a\n");
        const unsigned mode = k.readOnly ? 0444 : 0644;
        ::chmod(f.path(k.name).c_str(), mode);
        f.modifyAll();
        EXPECT_EQ(f.read(k.name), k.modified ? "b\n" : "a\n");
        EXPECT_EQ(f.result(row), k.modified ? "Modified" : "Failed Modification");
        EXPECT_EQ(modeOf(f.path(k.name)), mode);
        // A backup is left only beside a file that was rewritten.
        EXPECT_EQ(f.exists(std::string(k.name) + ".bak"), k.modified);
    }
}

TEST(ModifyFailures, FileDeletedSinceTheSearchIsNotCreated) {
    ModifyFixture f;
    f.phrase("a", "b");
    f.c.createBackups = true;
    std::size_t gone = f.add("gone.txt", "a\n");
    std::size_t kept = f.add("kept.txt", "a\n");
    fs::remove(f.path("gone.txt"));
    f.modifyAll();
    EXPECT_EQ(f.result(gone), "Failed Modification");
    EXPECT_FALSE(f.exists("gone.txt"));
    EXPECT_FALSE(f.exists("gone.txt.bak"));
    EXPECT_EQ(f.result(kept), "Modified");
    EXPECT_EQ(f.driver.undoList().size(), 1u);
}

TEST(ModifyFailures, FullDiskLeavesTheFileAndDropsItsBackup) {
    ModifyFixture f;
    f.phrase("a", "bbbb");
    f.c.createBackups = true;
    const std::string original(3000, 'a');
    std::size_t row = f.add("a.txt", original);
    // The backup copy goes through first; the disk fills up during the rewrite.
    f.files.faults.failWriteAfter = 3000 + 100;
    f.modifyAll();
    EXPECT_EQ(f.result(row), "Failed Modification");
    EXPECT_EQ(f.read("a.txt"), original);
    EXPECT_FALSE(f.exists("a.txt.bak"));
    EXPECT_TRUE(f.driver.undoList().empty());
    EXPECT_EQ(std::distance(fs::directory_iterator(f.dir.path()), fs::directory_iterator()), 1);
}

TEST(ModifyFailures, DamagedRewriteKeepsTheBackup) {
    ModifyFixture f;
    f.phrase("a", "bb");
    f.c.createBackups = true;
    std::size_t row = f.add("a.txt", "aaaa");
    fs::create_hard_link(f.path("a.txt"), f.path("twin.txt"));
    f.files.faults.failWriteAfter = 4 + 2;  // the backup, then two bytes of the in-place write
    f.files.faults.failRestore = true;
    f.modifyAll();
    EXPECT_EQ(f.result(row), "Failed Modification");
    EXPECT_EQ(f.read("a.txt.bak"), "aaaa");
}

// Each failed row keeps why it failed, and the reason names the actual cause; a row that was
// modified has none.
TEST(ModifyFailures, EachFailedRowKnowsWhy) {
    struct Case {
        const char* what;
        std::function<void(ModifyFixture&)> arrange;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {"read-only, no backups", [](ModifyFixture& f) { ::chmod(f.path("a.txt").c_str(), 0444); },
         "it is read-only, which only a run with backups may modify"},
        {"full disk", [](ModifyFixture& f) { f.files.faults.failWriteAfter = 1; },
         "writing the new contents failed: No space left on device"},
        {"failed flush", [](ModifyFixture& f) { f.files.faults.failFlush = true; },
         "the disk did not confirm the new contents were stored: Input/output error"},
        {"deleted since the search", [](ModifyFixture& f) { fs::remove(f.path("a.txt")); }, "it can't be found"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        ModifyFixture f;
        f.phrase("a", "b");
        std::size_t row = f.add("a.txt", "a\n");
        std::size_t fine = f.add("fine.txt", "a\n");
        k.arrange(f);
        f.modifyAll();
        EXPECT_EQ(f.result(row), "Failed Modification");
        EXPECT_EQ(f.driver.failureOf(row), k.reason);
        // The faults of the disk reach the other file too; a file that was modified has no reason.
        EXPECT_EQ(f.driver.failureOf(fine), f.result(fine) == "Modified" ? "" : k.reason);
    }
}

TEST(ModifyFailures, RefusingFolderIsWrittenInPlace) {
    ModifyFixture f;
    f.phrase("a", "b");
    std::size_t row = f.add("a.txt", "a\n");
    f.files.faults.noTempFile = true;
    f.modifyAll();
    EXPECT_EQ(f.result(row), "Modified");
    EXPECT_EQ(f.read("a.txt"), "b\n");
}

TEST(ModifyLinks, SymbolicLinkStaysALink) {
    ModifyFixture f;
    f.phrase("a", "b");
    f.c.createBackups = true;
    f.dir.write("real.txt", "a\n");
    fs::create_symlink("real.txt", f.dir.path() / "link.txt");
    std::size_t row = f.list("link.txt");
    f.modifyAll();
    EXPECT_EQ(f.result(row), "Modified");
    EXPECT_TRUE(fs::is_symlink(f.dir.path() / "link.txt"));
    EXPECT_EQ(f.read("real.txt"), "b\n");
    EXPECT_EQ(f.read("link.txt.bak"), "a\n");

    f.driver.UndoReplaceBitClick();
    EXPECT_EQ(f.result(row), "Undid");
    EXPECT_TRUE(fs::is_symlink(f.dir.path() / "link.txt"));
    EXPECT_EQ(f.read("real.txt"), "a\n");
    EXPECT_FALSE(f.exists("link.txt.bak"));
}

TEST(ModifyLinks, HardLinkedFileStaysOneFile) {
    ModifyFixture f;
    f.phrase("a", "b");
    f.c.createBackups = true;
    std::size_t row = f.add("a.txt", "a\n");
    fs::create_hard_link(f.path("a.txt"), f.path("other.txt"));
    f.modifyAll();
    EXPECT_EQ(f.read("other.txt"), "b\n");
    f.driver.UndoReplaceBitClick();
    EXPECT_EQ(f.result(row), "Undid");
    EXPECT_EQ(f.read("other.txt"), "a\n");
    EXPECT_EQ(fs::hard_link_count(f.path("a.txt")), 2u);
}

TEST(ModifyLinks, FileListedUnderTwoNamesIsModifiedOnceAndUndoneWhole) {
    ModifyFixture f;
    f.phrase("a", "aa");
    f.c.createBackups = true;
    fs::create_symlink("real.txt", f.dir.path() / "link.txt");
    std::size_t viaLink = f.list("link.txt");
    std::size_t direct = f.add("real.txt", "a\n");
    f.modifyAll();
    EXPECT_EQ(f.read("real.txt"), "aa\n");
    EXPECT_EQ(f.result(viaLink), "Modified");
    EXPECT_EQ(f.result(direct), "Modified");
    EXPECT_FALSE(f.exists("real.txt.bak"));
    f.driver.UndoReplaceBitClick();
    EXPECT_EQ(f.read("real.txt"), "a\n");
    EXPECT_TRUE(fs::is_symlink(f.dir.path() / "link.txt"));
    EXPECT_EQ(f.result(viaLink), "Undid");
    EXPECT_EQ(f.result(direct), "Undid");
}

// Undo puts a backup back into the file the run rewrote, never into another file its name was
// made to lead to since (a link, or another name of someone else's file); a name merely replaced
// by a new file gets the backup as before.
TEST(ModifyLinks, UndoWritesIntoNoFileTheRunDidNotRewrite) {
    ModifyFixture f;
    f.phrase("a", "b");
    f.c.createBackups = true;
    std::size_t linked = f.add("linked.txt", "a\n");
    std::size_t twinned = f.add("twinned.txt", "a\n");
    std::size_t replaced = f.add("replaced.txt", "a\n");
    f.dir.write("victim.txt", "someone else's\n");
    f.dir.write("other.txt", "another one's\n");
    f.modifyAll();
    ASSERT_EQ(f.driver.undoList().size(), 3u);
    fs::remove(f.path("linked.txt"));
    fs::create_symlink("victim.txt", f.path("linked.txt"));
    fs::remove(f.path("twinned.txt"));
    fs::create_hard_link(f.path("other.txt"), f.path("twinned.txt"));
    f.dir.write("new.txt", "edited since\n");
    fs::rename(f.path("new.txt"), f.path("replaced.txt"));
    f.driver.UndoReplaceBitClick();
    EXPECT_EQ(f.result(linked), "Failed Undo");
    EXPECT_EQ(f.read("victim.txt"), "someone else's\n");
    EXPECT_TRUE(fs::is_symlink(f.path("linked.txt")));
    EXPECT_EQ(f.read("linked.txt.bak"), "a\n");
    EXPECT_EQ(f.result(twinned), "Failed Undo");
    EXPECT_EQ(f.read("other.txt"), "another one's\n");
    EXPECT_EQ(f.read("twinned.txt.bak"), "a\n");
    EXPECT_EQ(f.result(replaced), "Undid");
    EXPECT_EQ(f.read("replaced.txt"), "a\n");
}

// The disk, but one name leads to a file another program made during the run, which the system
// gave the inode number a rewritten file had left free.
struct ReusedInode : durable::PosixFileStore {
    std::string name;
    durable::FileLinks given;
    durable::FileLinks links(const std::string& path) override {
        if (path == name) return given;
        return PosixFileStore::links(path);
    }
};

TEST(ModifyLinks, AFileGivenTheFreedInodeOfARewrittenOneIsModifiedItself) {
    ModifyFixture f;
    f.phrase("a", "b");
    std::size_t first = f.add("first.txt", "a\n");
    std::size_t later = f.add("later.txt", "a\n");
    ReusedInode store;
    store.name = f.path("later.txt");
    store.given = store.links(f.path("first.txt"));
    f.clock.setStepPerRead(1000);  // every rewrite is published before the next row
    ModifyDriver driver({store, f.attributes, f.clock}, f.host, &f.views);
    driver.Modify(ModifyScope::All, f.c, f.options);
    EXPECT_EQ(f.result(first), "Modified");
    EXPECT_EQ(f.read("first.txt"), "b\n");
    EXPECT_EQ(f.result(later), "Modified");
    EXPECT_EQ(f.read("later.txt"), "b\n");
}

// The same, while the rewrite that freed the number is still on its way when the other file's
// row comes: the run learns the number is free only once that rewrite is published.
TEST(ModifyLinks, AFileGivenTheInodeOfARewriteStillOnItsWayIsModifiedItself) {
    for (const bool backups : {false, true}) {
        SCOPED_TRACE(backups);
        ModifyFixture f;
        f.phrase("a", "b");
        f.c.createBackups = backups;
        std::size_t first = f.add("first.txt", "a\n");
        std::size_t later = f.add("later.txt", "a\n");
        ReusedInode store;
        store.name = f.path("later.txt");
        store.given = store.links(f.path("first.txt"));
        ModifyDriver driver({store, f.attributes, f.clock}, f.host, &f.views);
        driver.Modify(ModifyScope::All, f.c, f.options);
        EXPECT_EQ(f.result(first), "Modified");
        EXPECT_EQ(f.read("first.txt"), "b\n");
        EXPECT_EQ(f.result(later), "Modified");
        EXPECT_EQ(f.read("later.txt"), "b\n");
    }
}

TEST(ModifyLinks, TargetListedBeforeItsLinkIsModifiedOnce) {
    ModifyFixture f;
    f.phrase("a", "aa");
    std::size_t direct = f.add("real.txt", "a\n");
    fs::create_symlink("real.txt", f.dir.path() / "link.txt");
    std::size_t viaLink = f.list("link.txt");
    f.modifyAll();
    EXPECT_EQ(f.read("real.txt"), "aa\n");
    EXPECT_EQ(f.result(direct), "Modified");
    EXPECT_EQ(f.result(viaLink), "Modified");
}

// A store that publishes every file the moment it is sent but tells the run only when asked to
// wait: a publishing thread quicker than the run.
class QuickPublisher : public durable::FileStore {
public:
    explicit QuickPublisher(durable::PosixFileStore& real) : real_(real) {}
    bool exists(const std::string& path) override { return real_.exists(path); }
    durable::FileLinks links(const std::string& path) override { return real_.links(path); }
    std::optional<std::string> read(const std::string& path, platform::FileStamp* stamp) override {
        return real_.read(path, stamp);
    }
    durable::RewriteBatch::Staged stageRewrite(const durable::RewriteRequest& request, std::size_t tag) override {
        return real_.stageRewrite(request, tag);
    }
    bool lastBackupMade() const override { return real_.lastBackupMade(); }
    bool rewritesFull() const override { return true; }
    std::vector<durable::RewriteBatch::Published> commitRewrites() override {
        sendRewrites();
        return takePublished(true);
    }
    void sendRewrites() override {
        std::vector<durable::RewriteBatch::Published> done = real_.commitRewrites();
        held_.insert(held_.end(), done.begin(), done.end());
    }
    std::vector<durable::RewriteBatch::Published> takePublished(bool wait) override {
        return wait ? std::exchange(held_, {}) : std::vector<durable::RewriteBatch::Published>{};
    }
    durable::FileId lastStaged() const override { return real_.lastStaged(); }
    bool restoreBackup(const std::string& path, const std::string& backup) override {
        return real_.restoreBackup(path, backup);
    }
    bool removeFile(const std::string& path) override { return real_.removeFile(path); }

private:
    durable::PosixFileStore& real_;
    std::vector<durable::RewriteBatch::Published> held_;
};

// The target's new file already has its name when its link's row comes, before the target's row
// was told: the link must still be known as the same file.
TEST(ModifyLinks, LinkReachedAfterItsTargetWasPublishedButBeforeItsRowWasToldIsModifiedOnce) {
    ModifyFixture f;
    QuickPublisher quick(f.files);
    ModifyDriver driver({quick, f.attributes, f.clock}, f.host, &f.views);
    f.phrase("a", "aa");
    f.c.createBackups = true;
    std::size_t direct = f.add("real.txt", "a\n");
    fs::create_symlink("real.txt", f.dir.path() / "link.txt");
    std::size_t viaLink = f.list("link.txt");
    std::size_t other = f.add("other.txt", "a\n");
    driver.Modify(ModifyScope::All, f.c, f.options);
    EXPECT_EQ(f.read("real.txt"), "aa\n");
    EXPECT_EQ(f.read("other.txt"), "aa\n");
    EXPECT_EQ(f.read("real.txt.bak"), "a\n");
    EXPECT_FALSE(f.exists("link.txt.bak"));
    EXPECT_EQ(f.result(direct), "Modified");
    EXPECT_EQ(f.result(viaLink), "Modified");
    EXPECT_EQ(f.result(other), "Modified");
    driver.UndoReplaceBitClick();
    EXPECT_EQ(f.read("real.txt"), "a\n");
    EXPECT_EQ(f.read("other.txt"), "a\n");
}

TEST(ModifyLarge, HundredMegabyteSingleLine) {
    ModifyFixture f;
    f.phrase("needle", "pin");
    std::string big(100'000'000, 'h');
    for (std::size_t at = 7; at + 6 < big.size(); at += 9'999'991) big.replace(at, 6, "needle");
    big[50'000'000] = '\0';
    std::size_t row = f.add("big.txt", big);
    f.modifyAll();
    EXPECT_EQ(f.result(row), "Modified");
    const std::string after = f.read("big.txt");
    // Six needles lie before the NUL byte and are replaced; the five after it stay.
    EXPECT_EQ(after.size(), big.size() - 3 * 6);
    const std::size_t nul = after.find('\0');
    ASSERT_EQ(nul, 50'000'000u - 3 * 6);
    EXPECT_EQ(after.substr(0, nul).find("needle"), std::string::npos);
    EXPECT_EQ(after.substr(nul), big.substr(50'000'000));
    EXPECT_EQ(after.substr(7, 3), "pin");
}

TEST(ModifyLarge, FileGrownPastTheReadableSizeSinceTheSearchIsLeftAlone) {
    ModifyFixture f;
    f.phrase("a", "b");
    f.c.createBackups = true;
    std::size_t grown = f.add("grown.txt", "a\n");
    std::size_t small = f.add("small.txt", "a\n");
    fs::resize_file(f.path("grown.txt"), platform::kMaxReadableFileSize + 1);  // sparse
    f.modifyAll();
    EXPECT_EQ(f.result(grown), "Failed Modification");
    EXPECT_EQ(fs::file_size(f.path("grown.txt")), platform::kMaxReadableFileSize + 1);
    EXPECT_FALSE(f.exists("grown.txt.bak"));
    EXPECT_EQ(f.result(small), "Modified");
}

TEST(ModifyNames, AFileIsModifiedUnderANameTheRunMayUse) {
    ModifyFixture f;
    f.phrase("a", "b");
    f.dir.write("x.txt", "a\n");
    fs::create_hard_link(f.dir.path() / "x.txt", f.dir.path() / ".x.txt");
    std::size_t hidden = f.list(".x.txt");
    std::size_t plain = f.list("x.txt");
    f.modifyAll();
    EXPECT_EQ(f.result(hidden), "Failed Modification");
    EXPECT_EQ(f.result(plain), "Modified");
    EXPECT_EQ(f.read(".x.txt"), "b\n");
    EXPECT_EQ(fs::hard_link_count(f.dir.path() / "x.txt"), 2u);
}

TEST(ModifyNames, FifoPutInAFilesPlaceFailsWithoutBlocking) {
    ModifyFixture f;
    f.phrase("a", "b");
    f.c.createBackups = true;
    std::size_t row = f.list("pipe.txt");
    ASSERT_EQ(::mkfifo(f.path("pipe.txt").c_str(), 0600), 0);
    std::size_t after = f.add("z.txt", "a\n");
    f.modifyAll();
    EXPECT_EQ(f.result(row), "Failed Modification");
    EXPECT_EQ(f.result(after), "Modified");
    EXPECT_FALSE(f.exists("pipe.txt.bak"));
}

TEST(ModifyStop, BetweenFilesKeepsTheRest) {
    ModifyFixture f;
    f.phrase("a", "b");
    f.c.createBackups = true;
    std::size_t r0 = f.add("0.txt", "a\n");
    std::size_t r1 = f.add("1.txt", "a\n");
    f.clock.setStepPerRead(100);
    // Stop is pressed once the first file is done, as the driver pumps between rows; the
    // finished file is still published.
    f.host.onPump = [&] {
        if (f.result(r1) == "Found") f.host.state.stop = f.host.state.modificationStop = true;
    };
    f.modifyAll();
    EXPECT_EQ(f.result(r0), "Modified");
    EXPECT_EQ(f.result(r1), "Found");
    EXPECT_EQ(f.read("1.txt"), "a\n");
    EXPECT_TRUE(f.views.undoEnabled);
    EXPECT_EQ(f.host.ends, 1);
}

TEST(ModifyStop, InsideALongFileLeavesItUnwritten) {
    for (SearchType type : {SearchType::Phrase, SearchType::RegExpr, SearchType::Multiline}) {
        ModifyFixture f;
        if (type == SearchType::Phrase) f.phrase("a", "b");
        else if (type == SearchType::RegExpr) f.regex({"a"}, {"b"});
        else f.block({"a"}, {"b"});
        std::string text;
        for (int i = 0; i < 5000; ++i) text += "a\n";
        std::size_t row = f.add("a.txt", text);
        f.c.createBackups = true;
        f.clock.setStepPerRead(5);
        int pumps = 0;
        f.host.onPump = [&] {
            if (++pumps == 3) f.host.state.stop = true;
        };
        f.modifyAll();
        EXPECT_EQ(f.read("a.txt"), text);
        EXPECT_EQ(f.result(row), "Found");
        // The folder is as it was: no backup of a file the run did not change.
        EXPECT_FALSE(f.exists("a.txt.bak"));
        EXPECT_FALSE(f.views.undoEnabled);
    }
}

}  // namespace
}  // namespace vsr::engine
