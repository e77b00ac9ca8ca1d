#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sys/stat.h>

#include "engine/backup/backup_erase.h"
#include "modify_fixture.h"
#include "platform/posix_file_system.h"

namespace vsr::engine {
namespace {

namespace fs = std::filesystem;
using test::ModifyFixture;
using test::modeOf;

// The real store, with undo refused for chosen files, as a failing rename would.
struct RefusingStore : durable::PosixFileStore {
    bool restoreBackupAt(const platform::FilePlace& name, const platform::FilePlace& file,
                         const platform::FilePlace& backup) override {
        if (refuse.count(name.path())) return false;
        return PosixFileStore::restoreBackupAt(name, file, backup);
    }
    std::set<std::string> refuse;
};

std::set<std::string> namesIn(const fs::path& dir) {
    std::set<std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(dir)) out.insert(fs::relative(e.path(), dir).string());
    return out;
}

TEST(Backup, CopyKeepsTheFileTime) {
    ModifyFixture f;
    f.phrase("a", "b");
    f.c.createBackups = true;
    f.add("a.txt", "a\n");
    const auto before = fs::last_write_time(f.path("a.txt"));
    f.modifyAll();
    EXPECT_EQ(f.read("a.txt.bak"), "a\n");
    EXPECT_EQ(fs::last_write_time(f.path("a.txt.bak")), before);
}

TEST(Backup, BackupsOffLeaveNoBackupAndNoUndo) {
    ModifyFixture f;
    f.phrase("a", "b");
    f.add("a.txt", "a\n");
    f.modifyAll();
    EXPECT_FALSE(f.exists("a.txt.bak"));
    EXPECT_TRUE(f.driver.undoList().empty());
    EXPECT_FALSE(f.views.undoEnabled);
}

TEST(Undo, RestoresByteIdenticalFiles) {
    ModifyFixture f;
    f.phrase("a", "b");
    f.c.createBackups = true;
    f.options.separator = LineSeparator::Windows;
    const std::string original = std::string("a\r\na\nno final\0 separator", 25);
    std::size_t row = f.add("a.txt", original);
    ::chmod(f.path("a.txt").c_str(), 0600);
    f.modifyAll();
    ASSERT_TRUE(f.views.undoEnabled);
    ASSERT_NE(f.read("a.txt"), original);
    f.driver.UndoReplaceBitClick();
    EXPECT_EQ(f.read("a.txt"), original);
    EXPECT_EQ(modeOf(f.path("a.txt")), 0600u);
    EXPECT_EQ(f.result(row), "Undid");
    EXPECT_EQ(namesIn(f.dir.path()), std::set<std::string>{"a.txt"});
    EXPECT_TRUE(f.driver.undoList().empty());
    EXPECT_FALSE(f.views.undoEnabled);
}

TEST(Undo, ReadOnlyFileStaysReadOnly) {
    ModifyFixture f;
    f.phrase("a", "b");
    f.c.createBackups = true;
    f.options.replaceReadOnly = true;
    f.add("a.txt", "a\n");
    ::chmod(f.path("a.txt").c_str(), 0444);
    f.modifyAll();
    EXPECT_EQ(modeOf(f.path("a.txt")), 0444u);
    f.driver.UndoReplaceBitClick();
    EXPECT_EQ(f.read("a.txt"), "a\n");
    EXPECT_EQ(modeOf(f.path("a.txt")), 0444u);
}

struct Owner {
    unsigned uid, gid, mode;
    bool operator==(const Owner&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Owner& o) {
    return os << o.uid << ":" << o.gid << " " << std::oct << o.mode << std::dec;
}
Owner ownerOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return {st.st_uid, st.st_gid, st.st_mode & 07777};
}

TEST(Undo, AsTheSuperuserKeepsOwnerGroupModeAndSetIdBits) {
    if (::geteuid() != 0) GTEST_SKIP() << "only the superuser can give files to other users";
    ModifyFixture f;
    f.phrase("a", "b");
    f.c.createBackups = true;
    std::size_t user = f.add("user.txt", "a\n");
    std::size_t prog = f.add("prog", "a\n");
    ASSERT_EQ(::chown(f.path("user.txt").c_str(), 1000, 1000), 0);
    ::chmod(f.path("user.txt").c_str(), 0600);
    ASSERT_EQ(::chown(f.path("prog").c_str(), 1000, 1001), 0);
    ::chmod(f.path("prog").c_str(), 04755);
    f.modifyAll();
    EXPECT_EQ(f.result(user), "Modified");
    EXPECT_EQ(f.result(prog), "Modified");
    EXPECT_EQ(ownerOf(f.path("user.txt")), (Owner{1000, 1000, 0600}));
    EXPECT_EQ(ownerOf(f.path("user.txt.bak")), (Owner{1000, 1000, 0600}));
    EXPECT_EQ(ownerOf(f.path("prog")), (Owner{1000, 1001, 04755}));
    EXPECT_EQ(ownerOf(f.path("prog.bak")), (Owner{1000, 1001, 04755}));
    f.driver.UndoReplaceBitClick();
    EXPECT_EQ(f.result(user), "Undid");
    EXPECT_EQ(f.read("user.txt"), "a\n");
    EXPECT_EQ(ownerOf(f.path("user.txt")), (Owner{1000, 1000, 0600}));
    EXPECT_EQ(ownerOf(f.path("prog")), (Owner{1000, 1001, 04755}));
    EXPECT_EQ(namesIn(f.dir.path()), (std::set<std::string>{"prog", "user.txt"}));
}

TEST(Undo, HardLinkedFileIsRestoredInPlace) {
    ModifyFixture f;
    f.phrase("a", "b");
    f.c.createBackups = true;
    std::size_t row = f.add("a.txt", "a\n");
    fs::create_hard_link(f.dir.path() / "a.txt", f.dir.path() / "other");
    f.modifyAll();
    EXPECT_EQ(f.read("other"), "b\n");
    EXPECT_EQ(f.read("a.txt.bak"), "a\n");
    f.driver.UndoReplaceBitClick();
    EXPECT_EQ(f.result(row), "Undid");
    EXPECT_EQ(f.read("other"), "a\n");
    EXPECT_EQ(fs::hard_link_count(f.dir.path() / "a.txt"), 2u);
    EXPECT_FALSE(f.exists("a.txt.bak"));
}

TEST(Undo, AfterASecondRunBringsBackTheFirstRunsState) {
    ModifyFixture f;
    f.c.createBackups = true;
    f.add("a.txt", "one\n");
    f.phrase("one", "two");
    f.modifyAll();
    f.phrase("two", "three");
    f.modifyAll();
    EXPECT_EQ(f.read("a.txt"), "three\n");
    f.driver.UndoReplaceBitClick();
    EXPECT_EQ(f.read("a.txt"), "two\n");
    EXPECT_FALSE(f.exists("a.txt.bak"));
}

TEST(Undo, MissingBackupFailsThatRowOnly) {
    ModifyFixture f;
    f.phrase("a", "b");
    f.c.createBackups = true;
    std::size_t r0 = f.add("0.txt", "a\n");
    std::size_t r1 = f.add("1.txt", "a\n");
    f.modifyAll();
    fs::remove(f.path("0.txt.bak"));
    f.driver.UndoReplaceBitClick();
    EXPECT_EQ(f.result(r0), "Failed Undo");
    EXPECT_EQ(f.read("0.txt"), "b\n");
    EXPECT_EQ(f.result(r1), "Undid");
    EXPECT_EQ(f.read("1.txt"), "a\n");
    EXPECT_EQ(f.views.widened, 1);
}

TEST(Undo, RefusedRestoreKeepsTheModifiedFile) {
    ModifyFixture f;
    RefusingStore store;
    ModifyDriver driver({store, f.attributes, f.clock}, f.host, &f.views);
    f.phrase("a", "b");
    f.c.createBackups = true;
    std::size_t row = f.add("a.txt", "a\n");
    driver.Modify(ModifyScope::All, f.c, f.options);
    store.refuse.insert(f.path("a.txt"));
    driver.UndoReplaceBitClick();
    EXPECT_EQ(f.result(row), "Failed Undo");
    EXPECT_EQ(f.read("a.txt"), "b\n");
    EXPECT_EQ(f.read("a.txt.bak"), "a\n");
}

TEST(Undo, StopLeavesTheRestForLaterButDisablesUndo) {
    ModifyFixture f;
    f.phrase("a", "b");
    f.c.createBackups = true;
    std::size_t r0 = f.add("0.txt", "a\n");
    std::size_t r1 = f.add("1.txt", "a\n");
    f.modifyAll();
    f.clock.setStepPerRead(100);
    f.host.onPump = [&] { f.host.state.stop = true; };
    f.driver.UndoReplaceBitClick();
    EXPECT_EQ(f.result(r0), "Undid");
    EXPECT_EQ(f.result(r1), "Modified");
    EXPECT_EQ(f.read("1.txt"), "b\n");
    EXPECT_EQ(f.driver.undoList().size(), 2u);
    EXPECT_FALSE(f.driver.undoEnabled());
}

TEST(Backup, FileWhoseBackupCantBeMadeIsLeftAlone) {
    // A user who asked for backups never gets a change without one; an old ".bak" from some
    // earlier work stays as it was.
    ModifyFixture f;
    f.phrase("a", "b");
    f.c.createBackups = true;
    std::size_t row = f.add("a.txt", "a\n");
    std::size_t other = f.add("b.txt", "a\n");
    f.dir.write("a.txt.bak", "ancient\n");
    f.files.faults.noBackup = true;
    f.modifyAll();
    EXPECT_EQ(f.read("a.txt"), "a\n");
    EXPECT_EQ(f.result(row), "Failed Modification");
    EXPECT_EQ(f.result(other), "Failed Modification");
    EXPECT_EQ(f.read("a.txt.bak"), "ancient\n");
    EXPECT_TRUE(f.driver.undoList().empty());
    EXPECT_FALSE(f.views.undoEnabled);
}

struct EraseCase {
    const char* name;
    bool includeSubfolders;
    std::vector<std::string> ignoreList;
    bool ignoreSubfoldersToo;
    std::set<std::string> left;
    // Keeps CTest's test names readable instead of a dump of the case's bytes.
    friend void PrintTo(const EraseCase& k, std::ostream* os) { *os << k.name; }
};

class EraseBackups : public ::testing::TestWithParam<EraseCase> {};

TEST_P(EraseBackups, DeletesTheBakFilesItMay) {
    const EraseCase& k = GetParam();
    vsr::test::TempDir dir;
    for (const char* n : {"a.txt", "a.txt.bak", "notes.BAK", "sub/b.bak", "sub/deep/c.bak", "skip/d.bak",
                          "skip/inner/e.bak"})
        dir.write(n, "x");
    RecordingHost host;
    platform::PosixFileSystem fs;
    durable::PosixFileStore files;
    platform::FakeClock clock;
    SearchConditions c;
    c.path = "  " + dir.str() + "  ";
    c.includeSubfolders = k.includeSubfolders;
    c.ignoreDirectories = !k.ignoreList.empty();
    c.directoryIgnoreList = k.ignoreList;
    for (std::string& p : c.directoryIgnoreList) p = dir.str() + "/" + p;
    c.ignoreSubfoldersToo = k.ignoreSubfoldersToo;
    BackupEraser eraser(fs, files, clock, host);
    eraser.EraseBackupBit1Click(c);
    EXPECT_EQ(c.path, dir.str());
    std::set<std::string> files_left;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir.path()))
        if (e.is_regular_file()) files_left.insert(std::filesystem::relative(e.path(), dir.path()).string());
    EXPECT_EQ(files_left, k.left);
}

INSTANTIATE_TEST_SUITE_P(
    Walks, EraseBackups,
    ::testing::Values(
        EraseCase{"TopOnly", false, {}, false, {"a.txt", "sub/b.bak", "sub/deep/c.bak", "skip/d.bak", "skip/inner/e.bak"}},
        EraseCase{"Recursive", true, {}, false, {"a.txt"}},
        EraseCase{"IgnoredFolderKeepsItsFiles", true, {"skip"}, false, {"a.txt", "skip/d.bak"}},
        EraseCase{"IgnoredFolderAndBelow", true, {"skip"}, true, {"a.txt", "skip/d.bak", "skip/inner/e.bak"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EraseBackupsReadOnly, ReadOnlyBackupsArePassedOver) {
    vsr::test::TempDir dir;
    dir.write("a.txt.bak", "x");
    fs::path kept = dir.write("b.txt.bak", "x");
    ::chmod(kept.c_str(), 0444);
    RecordingHost host;
    platform::PosixFileSystem fs;
    durable::PosixFileStore files;
    platform::FakeClock clock;
    SearchConditions c;
    c.path = dir.str();
    BackupEraser(fs, files, clock, host).EraseBackupBit1Click(c);
    EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"b.txt.bak"});
}

TEST(EraseBackupsPath, EmptyPathIsRefused) {
    RecordingHost host;
    platform::PosixFileSystem fs;
    durable::PosixFileStore files;
    platform::FakeClock clock;
    SearchConditions c;
    c.path = "   ";
    BackupEraser(fs, files, clock, host).EraseBackupBit1Click(c);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].caption, "Erase Backup");
    EXPECT_EQ(host.messages[0].text, "Please specify the Path");
    EXPECT_EQ(host.begins, 0);
}

}  // namespace
}  // namespace vsr::engine
