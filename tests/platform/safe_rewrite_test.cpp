#include <gtest/gtest.h>

#include <filesystem>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_store.h"
#include "platform/safe_rewrite.h"
#include "support/temp_dir.h"

namespace vsr::platform {
namespace {

namespace fs = std::filesystem;
using vsr::test::readFile;
using vsr::test::TempDir;

unsigned modeOf(const fs::path& p) {
    struct stat st {};
    ::stat(p.c_str(), &st);
    return st.st_mode & 07777;
}

std::size_t entriesIn(const fs::path& dir) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) ++n;
    return n;
}

TEST(SafeRewrite, ReplacesContentsAndKeepsPermissionBits) {
    TempDir dir;
    fs::path file = dir.write("a.txt", "old contents");
    ::chmod(file.c_str(), 0640);
    EXPECT_EQ(rewriteFile(file.string(), std::string("new\0bytes", 9)), RewriteOutcome::Written);
    EXPECT_EQ(readFile(file), std::string("new\0bytes", 9));
    EXPECT_EQ(modeOf(file), 0640u);
    EXPECT_EQ(entriesIn(dir.path()), 1u);  // no temporary file is left behind
}

TEST(SafeRewrite, MissingFileIsNotCreated) {
    TempDir dir;
    EXPECT_EQ(rewriteFile((dir.path() / "gone.txt").string(), "x"), RewriteOutcome::Unchanged);
    EXPECT_FALSE(fs::exists(dir.path() / "gone.txt"));
}

// A full disk at any point of the write leaves the old bytes, through either path.
struct FullDiskCase {
    bool hardLinked;
    bool folderRefusesFiles;
    std::int64_t failAfter;
};

std::ostream& operator<<(std::ostream& os, const FullDiskCase& k) {
    return os << (k.hardLinked ? "hard link, " : "") << (k.folderRefusesFiles ? "refusing folder, " : "")
              << "full after " << k.failAfter;
}

class FullDisk : public ::testing::TestWithParam<FullDiskCase> {};

TEST_P(FullDisk, LeavesTheOldBytes) {
    const FullDiskCase& p = GetParam();
    TempDir dir;
    const std::string original(5000, 'o');
    fs::path file = dir.write("a.txt", original);
    if (p.hardLinked) fs::create_hard_link(file, dir.path() / "b.txt");
    RewriteFaults faults;
    faults.failWriteAfter = p.failAfter;
    faults.noTempFile = p.folderRefusesFiles;
    EXPECT_EQ(rewriteFile(file.string(), std::string(9000, 'n'), &faults), RewriteOutcome::Unchanged);
    EXPECT_EQ(readFile(file), original);
    EXPECT_EQ(entriesIn(dir.path()), p.hardLinked ? 2u : 1u);
    if (p.hardLinked) EXPECT_EQ(fs::hard_link_count(file), 2u);
}

INSTANTIATE_TEST_SUITE_P(Paths, FullDisk,
                         ::testing::Values(FullDiskCase{false, false, 0}, FullDiskCase{false, false, 4096},
                                           FullDiskCase{true, false, 0}, FullDiskCase{true, false, 7000},
                                           FullDiskCase{false, true, 100}));

TEST(SafeRewrite, FailedRestoreIsReportedAsDamage) {
    TempDir dir;
    fs::path file = dir.write("a.txt", "original");
    fs::create_hard_link(file, dir.path() / "b.txt");
    RewriteFaults faults;
    faults.failWriteAfter = 3;
    faults.failRestore = true;
    EXPECT_EQ(rewriteFile(file.string(), "replacement", &faults), RewriteOutcome::Damaged);
}

TEST(SafeRewrite, HardLinksStayOneFile) {
    TempDir dir;
    fs::path file = dir.write("a.txt", "long original text");
    fs::create_hard_link(file, dir.path() / "b.txt");
    EXPECT_EQ(rewriteFile(file.string(), "short"), RewriteOutcome::Written);
    EXPECT_EQ(readFile(dir.path() / "b.txt"), "short");
    EXPECT_EQ(fs::hard_link_count(file), 2u);
}

TEST(SafeRewrite, SymbolicLinkStaysALinkAndItsTargetIsRewritten) {
    TempDir dir;
    fs::path target = dir.write("sub/target.txt", "old");
    fs::create_symlink("sub/target.txt", dir.path() / "link.txt");
    EXPECT_EQ(rewriteFile((dir.path() / "link.txt").string(), "new"), RewriteOutcome::Written);
    EXPECT_TRUE(fs::is_symlink(dir.path() / "link.txt"));
    EXPECT_EQ(readFile(target), "new");
    EXPECT_EQ(entriesIn(dir.path() / "sub"), 1u);
}

TEST(SafeRewrite, FolderRefusingNewFilesIsWrittenInPlace) {
    TempDir dir;
    fs::path file = dir.write("a.txt", "old");
    RewriteFaults faults;
    faults.noTempFile = true;
    EXPECT_EQ(rewriteFile(file.string(), "new and longer", &faults), RewriteOutcome::Written);
    EXPECT_EQ(readFile(file), "new and longer");
}

TEST(SafeRewrite, ReadOnlyFolderForAnOrdinaryUser) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions don't bind the superuser";
    TempDir dir;
    fs::path file = dir.write("ro/a.txt", "old");
    ::chmod((dir.path() / "ro").c_str(), 0555);
    EXPECT_EQ(rewriteFile(file.string(), "new"), RewriteOutcome::Written);
    EXPECT_EQ(readFile(file), "new");
    ::chmod((dir.path() / "ro").c_str(), 0755);
}

TEST(SafeRewrite, UnwritableFileIsRefused) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions don't bind the superuser";
    TempDir dir;
    fs::path file = dir.write("a.txt", "old");
    ::chmod(file.c_str(), 0444);
    EXPECT_EQ(rewriteFile(file.string(), "new"), RewriteOutcome::Unchanged);
    EXPECT_EQ(readFile(file), "old");
}

TEST(FileStoreCopy, KeepsTimeAndModeAndReplacesTheTarget) {
    TempDir dir;
    fs::path from = dir.write("a.txt", std::string("x\0y", 3));
    ::chmod(from.c_str(), 0604);
    struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
    ::utimensat(AT_FDCWD, from.c_str(), times, 0);
    fs::path to = dir.write("a.txt.bak", "stale backup");
    PosixFileStore store;
    ASSERT_TRUE(store.copyFile(from.string(), to.string()));
    EXPECT_EQ(readFile(to), std::string("x\0y", 3));
    EXPECT_EQ(modeOf(to), 0604u);
    EXPECT_EQ(fs::last_write_time(to), fs::last_write_time(from));
}

TEST(FileStoreCopy, FullDiskKeepsTheOldTarget) {
    TempDir dir;
    fs::path from = dir.write("a.txt", "new backup contents");
    fs::path to = dir.write("a.txt.bak", "previous backup");
    PosixFileStore store;
    store.faults.failWriteAfter = 4;
    EXPECT_FALSE(store.copyFile(from.string(), to.string()));
    EXPECT_EQ(readFile(to), "previous backup");
    EXPECT_EQ(entriesIn(dir.path()), 2u);
}

}  // namespace
}  // namespace vsr::platform
