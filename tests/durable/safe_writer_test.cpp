#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "durable/file_store.h"
#include "platform/file_system.h"
#include "durable/recovery_journal.h"
#include "durable/safe_writer.h"
#include "support/temp_dir.h"

namespace vsr::durable {
namespace {

using namespace vsr::platform;

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

std::size_t recoveryNotes() {
    const std::string folder = recoveryFolder();
    return folder.empty() ? 0 : entriesIn(folder);
}

// Reads the file, stages its rewrite and commits, as a modification run does for one file.
RewriteOutcome rewrite(const fs::path& file, std::string_view bytes, const RewriteFaults* faults = nullptr,
                       bool backup = false, bool* backupMade = nullptr) {
    FileStamp stamp;
    std::optional<std::string> old = readWholeFile(file.string(), &stamp);
    if (!old) return RewriteOutcome::Unchanged;
    RewriteBatch batch(faults);
    RewriteRequest r;
    r.path = file.string();
    r.bytes = bytes;
    r.oldBytes = *old;
    r.readAs = stamp;
    r.makeBackup = backup;
    r.backupPath = file.string() + ".bak";
    if (backupMade) *backupMade = false;
    switch (batch.stage(r, 7)) {
        case RewriteBatch::Staged::Written:
            if (backupMade) *backupMade = batch.lastBackupMade();
            return RewriteOutcome::Written;
        case RewriteBatch::Staged::Refused: return RewriteOutcome::Unchanged;
        case RewriteBatch::Staged::Damaged: return RewriteOutcome::Damaged;
        case RewriteBatch::Staged::Pending: break;
    }
    std::vector<RewriteBatch::Published> done = batch.commit();
    EXPECT_EQ(done.size(), 1u);
    EXPECT_EQ(done.at(0).tag, 7u);
    if (backupMade) *backupMade = done.at(0).backupMade;
    return done.at(0).outcome;
}

TEST(SafeWriter, ReplacesContentsAndKeepsModeWithoutLeavingAnything) {
    TempDir dir;
    fs::path file = dir.write("a.txt", "old contents");
    ::chmod(file.c_str(), 0640);
    EXPECT_EQ(rewrite(file, std::string("new\0bytes", 9)), RewriteOutcome::Written);
    EXPECT_EQ(readFile(file), std::string("new\0bytes", 9));
    EXPECT_EQ(modeOf(file), 0640u);
    EXPECT_EQ(entriesIn(dir.path()), 1u);
    EXPECT_EQ(recoveryNotes(), 0u);
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
    EXPECT_EQ(rewrite(file, std::string(9000, 'n'), &faults), RewriteOutcome::Unchanged);
    EXPECT_EQ(readFile(file), original);
    EXPECT_EQ(entriesIn(dir.path()), p.hardLinked ? 2u : 1u);
    if (p.hardLinked) {
        EXPECT_EQ(fs::hard_link_count(file), 2u);
    }
    EXPECT_EQ(recoveryNotes(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Paths, FullDisk,
                         ::testing::Values(FullDiskCase{false, false, 0}, FullDiskCase{false, false, 4096},
                                           FullDiskCase{true, false, 0}, FullDiskCase{true, false, 7000},
                                           FullDiskCase{false, true, 100}));

TEST(SafeWriter, HalfWrittenFileInPlaceIsPutBackAtTheNextStart) {
    TempDir dir;
    fs::path file = dir.write("a.txt", "original");
    fs::create_hard_link(file, dir.path() / "b.txt");
    RewriteFaults faults;
    faults.failWriteAfter = 3;
    faults.failRestore = true;
    EXPECT_EQ(rewrite(file, "replacement", &faults), RewriteOutcome::Damaged);
    ASSERT_NE(readFile(file), "original");
    // What a killed run leaves is what this failure leaves: the note and the old bytes.
    RecoveryReport report = recoverInterruptedWrites();
    EXPECT_EQ(report.restored, std::vector<std::string>{file.string()});
    EXPECT_EQ(readFile(dir.path() / "b.txt"), "original");
    EXPECT_NE(recoveryMessage(report).find(file.string()), std::string::npos);
    EXPECT_EQ(recoveryNotes(), 0u);
    EXPECT_TRUE(recoverInterruptedWrites().empty());
}

// The working folder of the next start is anyone's: a run given relative names must leave
// notes and logged temporaries that still name its files from elsewhere.
TEST(SafeWriter, RunWithRelativeNamesIsRecoveredFromAnotherWorkingFolder) {
    TempDir dir, elsewhere;
    fs::path file = dir.write("a.txt", "original");
    fs::create_hard_link(file, dir.path() / "b.txt");
    fs::path stray = dir.write(".a.txt.vsr-Zz9Yy8Xx", "stray new copy");
    elsewhere.write("a.txt", "a namesake");
    const fs::path before = fs::current_path();
    fs::current_path(dir.path());
    RewriteFaults faults;
    faults.failWriteAfter = 3;
    faults.failRestore = true;
    EXPECT_EQ(rewrite("a.txt", "replacement", &faults), RewriteOutcome::Damaged);
    {
        TempNameLog log;
        ASSERT_TRUE(log.add(stray.filename().string()));
        std::string folder = recoveryFolder();
        for (const auto& e : fs::directory_iterator(folder))
            if (e.path().extension() == ".tmp") fs::copy_file(e.path(), folder + "/999999998-1.tmp");
    }
    fs::current_path(elsewhere.path());
    RecoveryReport report = recoverInterruptedWrites();
    fs::current_path(before);
    EXPECT_EQ(report.restored, std::vector<std::string>{file.string()});
    EXPECT_TRUE(report.leftAlone.empty());
    EXPECT_EQ(readFile(dir.path() / "b.txt"), "original");
    EXPECT_FALSE(fs::exists(stray));
    EXPECT_EQ(readFile(elsewhere.path() / "a.txt"), "a namesake");
    EXPECT_EQ(recoveryNotes(), 0u);
}

TEST(SafeWriter, RecoveryLeavesAFileChangedAfterTheKillAndKeepsItsOldBytes) {
    for (const bool replaced : {false, true}) {
        TempDir dir;
        fs::path file = dir.write("a.txt", "original");
        fs::create_hard_link(file, dir.path() / "b.txt");
        RewriteFaults faults;
        faults.failWriteAfter = 3;
        faults.failRestore = true;
        ASSERT_EQ(rewrite(file, "replacement", &faults), RewriteOutcome::Damaged);
        // Before the next start the user mends the file by hand: in place, or as an editor
        // that saves a new file under the name.
        if (replaced) {
            dir.write("new.txt", "mended by hand");
            fs::rename(dir.path() / "new.txt", file);
        } else {
            std::ofstream(file, std::ios::binary | std::ios::in | std::ios::out) << "mended by hand";
        }
        RecoveryReport report = recoverInterruptedWrites();
        EXPECT_TRUE(report.restored.empty());
        ASSERT_EQ(report.leftAlone.size(), 1u);
        EXPECT_EQ(report.leftAlone[0].first, file.string());
        EXPECT_EQ(readFile(report.leftAlone[0].second), "original");
        EXPECT_EQ(readFile(file).substr(0, 14), "mended by hand");
        const std::string message = recoveryMessage(report);
        EXPECT_NE(message.find(file.string()), std::string::npos);
        EXPECT_NE(message.find(report.leftAlone[0].second), std::string::npos);
        // Said once: the next start neither restores nor deletes the kept copy.
        EXPECT_TRUE(recoverInterruptedWrites().empty());
        EXPECT_EQ(readFile(report.leftAlone[0].second), "original");
        fs::remove(report.leftAlone[0].second);
    }
}

TEST(SafeWriter, RecoveryKeepsARewriteThatEndedBeforeItsNoteWentAndRestoresOneThatDidNot) {
    TempDir dir;
    fs::path done = dir.write("done.txt", "old contents");
    fs::path cut = dir.write("cut.txt", std::string(3 * 4096, 'o'));
    {
        RecoveryRecord a;
        ASSERT_TRUE(a.beginWithCopy(done.string(), "old contents", "new contents, longer", 0644));
        std::ofstream(done, std::ios::binary) << "new contents, longer";
        RecoveryRecord b;
        const std::string longer(5 * 4096, 'n');
        ASSERT_TRUE(b.beginWithCopy(cut.string(), std::string(3 * 4096, 'o'), longer, 0644));
        // Grown with zeros, then two pages written: the rest is old or zeros.
        std::string half = longer.substr(0, 2 * 4096) + std::string(4096, 'o') + std::string(2 * 4096, '\0');
        std::ofstream(cut, std::ios::binary) << half;
    }  // killed: neither note is finished
    RecoveryReport report = recoverInterruptedWrites();
    EXPECT_EQ(report.restored, std::vector<std::string>{cut.string()});
    EXPECT_TRUE(report.leftAlone.empty());
    EXPECT_EQ(readFile(done), "new contents, longer");
    EXPECT_EQ(readFile(cut), std::string(3 * 4096, 'o'));
    EXPECT_EQ(recoveryNotes(), 0u);
}

// A kill while a note is being written leaves it cut at any byte; its file was not touched yet,
// so the next start removes the note and the copy of the old bytes made for it, and changes
// nothing else.
TEST(SafeWriter, RecoveryRemovesANoteCutAtAnyByteWithItsCopy) {
    TempDir dir;
    const std::string old(2 * 4096, 'o');
    fs::path file = dir.write("file.txt", old);
    std::size_t noteSize = 0;
    for (std::size_t cut = 0;; cut += 7) {
        {
            RecoveryRecord r;
            ASSERT_TRUE(r.beginWithCopy(file.string(), old, std::string(3 * 4096, 'n'), 0644));
        }  // killed before the rewrite began
        fs::path note;
        for (const auto& e : fs::directory_iterator(recoveryFolder()))
            if (e.path().extension() == ".rec") note = e.path();
        ASSERT_FALSE(note.empty());
        noteSize = fs::file_size(note);
        if (cut >= noteSize) {
            fs::remove(note);
            fs::remove(fs::path(note).replace_extension(".old"));
            break;
        }
        fs::resize_file(note, cut);
        const RecoveryReport report = recoverInterruptedWrites();
        EXPECT_TRUE(report.empty()) << "cut at " << cut;
        EXPECT_EQ(readFile(file), old) << "cut at " << cut;
        EXPECT_EQ(recoveryNotes(), 0u) << "cut at " << cut << " of " << noteSize;
        if (::testing::Test::HasFailure()) return;
    }
    EXPECT_GT(noteSize, 20u);
}

TEST(SafeWriter, RecoveryPutsBackTheBackupOfAnInPlaceRewriteAndRemovesLoggedTemporaries) {
    TempDir dir;
    // Killed after the file was grown to the new length, before a byte was written.
    fs::path file = dir.write("a.txt", std::string("old") + std::string(15, '\0'));
    fs::path bak = dir.write("a.txt.bak", "old");
    fs::path stray = dir.write(".a.txt.vsr-AbCd1234", "stray new copy");
    fs::path innocent = dir.write("a.txt.vsr-note", "user file");
    {
        RecoveryRecord record;
        ASSERT_TRUE(record.beginWithSource(file.string(), bak.string(), false, "old", "new contents here.", 0600));
        TempNameLog log;
        ASSERT_TRUE(log.add(stray.string()));
        ASSERT_TRUE(log.add(innocent.string()));
        // Both are left as a kill would leave them: the log is cleared only by a finished batch.
        std::string copy = recoveryFolder();
        for (const auto& e : fs::directory_iterator(copy))
            if (e.path().extension() == ".tmp") fs::copy_file(e.path(), copy + "/999999999-1.tmp");
    }
    RecoveryReport report = recoverInterruptedWrites();
    EXPECT_EQ(report.restored, std::vector<std::string>{file.string()});
    EXPECT_EQ(readFile(file), "old");
    EXPECT_EQ(modeOf(file), 0600u);
    EXPECT_EQ(readFile(bak), "old");  // a backup stays a backup
    EXPECT_FALSE(fs::exists(stray));
    EXPECT_TRUE(fs::exists(innocent));  // not of the writer's form: never deleted
}

TEST(SafeWriter, WithoutUnnamedFilesNamedTemporariesAreLoggedAndNeverLeftBehind) {
    TempDir dir;
    fs::path file = dir.write("a.txt", "old");
    dir.write("a.txt.bak", "older");
    RewriteFaults faults;
    faults.noUnnamedFiles = true;
    bool made = false;
    EXPECT_EQ(rewrite(file, "new", &faults, true, &made), RewriteOutcome::Written);
    EXPECT_TRUE(made);
    EXPECT_EQ(readFile(file), "new");
    EXPECT_EQ(readFile(dir.path() / "a.txt.bak"), "old");
    EXPECT_EQ(entriesIn(dir.path()), 2u);
    EXPECT_EQ(recoveryNotes(), 0u);

    // A batch dropped before its commit, as a stop would: its named files go with it.
    FileStamp stamp;
    std::optional<std::string> old = readWholeFile(file.string(), &stamp);
    {
        RewriteBatch batch(&faults);
        RewriteRequest r{file.string(), "newer", *old, stamp, true, file.string() + ".bak", false, {}, {}};
        ASSERT_EQ(batch.stage(r, 0), RewriteBatch::Staged::Pending);
        EXPECT_EQ(entriesIn(dir.path()), 3u);  // the new contents' named temporary exists meanwhile
    }
    EXPECT_EQ(entriesIn(dir.path()), 2u);
    EXPECT_EQ(readFile(file), "new");
}

TEST(SafeWriter, HardLinksStayOneFile) {
    TempDir dir;
    fs::path file = dir.write("a.txt", "long original text");
    fs::create_hard_link(file, dir.path() / "b.txt");
    EXPECT_EQ(rewrite(file, "short"), RewriteOutcome::Written);
    EXPECT_EQ(readFile(dir.path() / "b.txt"), "short");
    EXPECT_EQ(fs::hard_link_count(file), 2u);
    EXPECT_EQ(recoveryNotes(), 0u);
}

TEST(SafeWriter, SymbolicLinkStaysALinkAndItsTargetIsRewritten) {
    TempDir dir;
    fs::path target = dir.write("sub/target.txt", "old");
    fs::create_symlink("sub/target.txt", dir.path() / "link.txt");
    EXPECT_EQ(rewrite(dir.path() / "link.txt", "new"), RewriteOutcome::Written);
    EXPECT_TRUE(fs::is_symlink(dir.path() / "link.txt"));
    EXPECT_EQ(readFile(target), "new");
    EXPECT_EQ(entriesIn(dir.path() / "sub"), 1u);
}

TEST(SafeWriter, FolderRefusingNewFilesIsWrittenInPlace) {
    TempDir dir;
    fs::path file = dir.write("a.txt", "old");
    RewriteFaults faults;
    faults.noTempFile = true;
    EXPECT_EQ(rewrite(file, "new and longer", &faults), RewriteOutcome::Written);
    EXPECT_EQ(readFile(file), "new and longer");
    EXPECT_EQ(recoveryNotes(), 0u);
}

TEST(SafeWriter, AnotherProgramsWriteIsNeverReplaced) {
    TempDir dir;
    fs::path file = dir.write("a.txt", "read\n");
    FileStamp stamp;
    std::optional<std::string> old = readWholeFile(file.string(), &stamp);
    ASSERT_TRUE(old);
    RewriteRequest r;
    r.path = file.string();
    r.bytes = "rewritten\n";
    r.oldBytes = *old;
    r.readAs = stamp;
    r.makeBackup = true;
    r.backupPath = file.string() + ".bak";
    {
        // Appended between the read and the staging.
        RewriteBatch batch;
        dir.write("a.txt", "read\nappended\n");
        EXPECT_EQ(batch.stage(r, 0), RewriteBatch::Staged::Refused);
    }
    dir.write("a.txt", "read\n");
    ASSERT_TRUE(readWholeFile(file.string(), &r.readAs));
    {
        // Appended between the staging and the publishing.
        RewriteBatch batch;
        ASSERT_EQ(batch.stage(r, 0), RewriteBatch::Staged::Pending);
        std::FILE* f = std::fopen(file.c_str(), "ab");
        std::fputs("appended\n", f);
        std::fclose(f);
        std::vector<RewriteBatch::Published> done = batch.commit();
        ASSERT_EQ(done.size(), 1u);
        EXPECT_EQ(done[0].outcome, RewriteOutcome::Unchanged);
        EXPECT_FALSE(done[0].backupMade);
    }
    EXPECT_EQ(readFile(file), "read\nappended\n");
    EXPECT_EQ(entriesIn(dir.path()), 1u);  // no backup of a file the run left alone
}

TEST(SafeWriter, BackupKeepsTimeModeAndExtendedAttributesAndIsRefusedWhenImpossible) {
    TempDir dir;
    fs::path file = dir.write("a.txt", std::string("x\0y", 3));
    ::chmod(file.c_str(), 0604);
    const bool xattrs = ::setxattr(file.c_str(), "user.origin", "kept", 4, 0) == 0;
    struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
    ::utimensat(AT_FDCWD, file.c_str(), times, 0);
    dir.write("a.txt.bak", "stale backup");
    bool made = false;
    ASSERT_EQ(rewrite(file, "new", nullptr, true, &made), RewriteOutcome::Written);
    EXPECT_TRUE(made);
    fs::path bak = dir.path() / "a.txt.bak";
    EXPECT_EQ(readFile(bak), std::string("x\0y", 3));
    EXPECT_EQ(modeOf(bak), 0604u);
    EXPECT_EQ(modeOf(file), 0604u);
    EXPECT_EQ(fs::last_write_time(bak).time_since_epoch(),
              std::chrono::duration_cast<fs::file_time_type::duration>(std::chrono::seconds(1000000000)) +
                  (fs::file_time_type::clock::from_sys(std::chrono::system_clock::time_point{}).time_since_epoch()));
    if (xattrs) {
        char value[16] = {};
        EXPECT_EQ(::getxattr(file.c_str(), "user.origin", value, sizeof value), 4);
        EXPECT_EQ(std::string(value), "kept");
        EXPECT_EQ(::getxattr(bak.c_str(), "user.origin", value, sizeof value), 4);
    }

    RewriteFaults faults;
    faults.noBackup = true;
    EXPECT_EQ(rewrite(file, "newer", &faults, true), RewriteOutcome::Unchanged);
    EXPECT_EQ(readFile(file), "new");
}

std::uint64_t fileInode(const fs::path& p) {
    struct stat st {};
    ::stat(p.c_str(), &st);
    return st.st_ino;
}

// The backup is the file as it was read, by a second name or, where links are impossible, by a
// copy: either way the same bytes, mode, time and owner, and nothing else is left in the folder.
TEST(SafeWriter, BackupIsTheOldFileByLinkOrCopy) {
    for (const bool links : {true, false}) {
        SCOPED_TRACE(links ? "hard link" : "copy");
        TempDir dir;
        fs::path file = dir.write("a.txt", "old\r\nbytes");
        ::chmod(file.c_str(), 0640);
        struct timespec times[2] = {{1200000000, 0}, {1200000000, 5000}};
        ::utimensat(AT_FDCWD, file.c_str(), times, 0);
        const std::uint64_t before = fileInode(file);
        RewriteFaults faults;
        faults.noHardLinks = !links;
        bool made = false;
        ASSERT_EQ(rewrite(file, "new", &faults, true, &made), RewriteOutcome::Written);
        EXPECT_TRUE(made);
        fs::path bak = dir.path() / "a.txt.bak";
        EXPECT_EQ(readFile(file), "new");
        EXPECT_EQ(readFile(bak), "old\r\nbytes");
        EXPECT_EQ(modeOf(bak), 0640u);
        struct stat st {};
        ASSERT_EQ(::stat(bak.c_str(), &st), 0);
        EXPECT_EQ(st.st_mtim.tv_sec, 1200000000);
        EXPECT_EQ(st.st_mtim.tv_nsec, 5000);
        EXPECT_EQ(st.st_nlink, 1u);
        EXPECT_EQ(fileInode(bak) == before, links);
        EXPECT_NE(fileInode(file), before);
        EXPECT_EQ(entriesIn(dir.path()), 2u);

        // The next run's backup replaces this one, and a file changed after it was read gets
        // neither a new backup nor new contents: the older backup stays.
        FileStamp stamp;
        std::optional<std::string> old = readWholeFile(file.string(), &stamp);
        ASSERT_TRUE(old);
        RewriteBatch batch(&faults);
        RewriteRequest r{file.string(), "newer", *old, stamp, true, bak.string(), false, {}, {}};
        ASSERT_EQ(batch.stage(r, 0), RewriteBatch::Staged::Pending);
        dir.write("a.txt", "edited");
        std::vector<RewriteBatch::Published> done = batch.commit();
        ASSERT_EQ(done.size(), 1u);
        EXPECT_EQ(done[0].outcome, RewriteOutcome::Unchanged);
        EXPECT_FALSE(done[0].backupMade);
        EXPECT_EQ(readFile(file), "edited");
        EXPECT_EQ(readFile(bak), "old\r\nbytes");

        ASSERT_TRUE(readWholeFile(file.string(), &stamp));
        r = RewriteRequest{file.string(), "newest", "edited", stamp, true, bak.string(), false, {}, {}};
        ASSERT_EQ(batch.stage(r, 0), RewriteBatch::Staged::Pending);
        done = batch.commit();
        ASSERT_EQ(done.size(), 1u);
        EXPECT_EQ(done[0].outcome, RewriteOutcome::Written);
        EXPECT_TRUE(done[0].backupMade);
        EXPECT_EQ(readFile(file), "newest");
        EXPECT_EQ(readFile(bak), "edited");
        EXPECT_EQ(entriesIn(dir.path()), 2u);
        EXPECT_EQ(recoveryNotes(), 0u);
    }
}

TEST(SafeWriter, BackupNameTooLongLeavesTheFileAlone) {
    TempDir dir;
    const std::string name(253, 'n');  // fits, but name + ".bak" does not
    fs::path file = dir.write(name, "old");
    bool made = true;
    EXPECT_EQ(rewrite(file, "new", nullptr, true, &made), RewriteOutcome::Unchanged);
    EXPECT_FALSE(made);
    EXPECT_EQ(readFile(file), "old");
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST(SafeWriter, ReadOnlyFolderForAnOrdinaryUser) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions don't bind the superuser";
    TempDir dir;
    fs::path file = dir.write("ro/a.txt", "old");
    ::chmod((dir.path() / "ro").c_str(), 0555);
    EXPECT_EQ(rewrite(file, "new"), RewriteOutcome::Written);
    EXPECT_EQ(readFile(file), "new");
    ::chmod((dir.path() / "ro").c_str(), 0755);
}

TEST(SafeWriter, UnwritableFileIsRefusedUnlessItsOwnerAllowsIt) {
    TempDir dir;
    fs::path file = dir.write("a.txt", "old");
    ::chmod(file.c_str(), 0444);
    if (::geteuid() != 0) {
        EXPECT_EQ(rewrite(file, "new"), RewriteOutcome::Unchanged);
        EXPECT_EQ(readFile(file), "old");
    }
    // Allowed: the new file takes the read-only mode at once; no moment is it writable.
    FileStamp stamp;
    std::optional<std::string> old = readWholeFile(file.string(), &stamp);
    RewriteBatch batch;
    RewriteRequest r{file.string(), "new", *old, stamp, false, {}, true, {}, {}};
    ASSERT_EQ(batch.stage(r, 0), RewriteBatch::Staged::Pending);
    EXPECT_EQ(modeOf(file), 0444u);
    EXPECT_EQ(batch.commit().at(0).outcome, RewriteOutcome::Written);
    EXPECT_EQ(readFile(file), "new");
    EXPECT_EQ(modeOf(file), 0444u);
}

RewriteRequest requestFor(const fs::path& file, std::string_view bytes, std::string& old, bool backup = false) {
    RewriteRequest r;
    FileStamp stamp;
    old = readWholeFile(file.string(), &stamp).value_or("");
    r.path = file.string();
    r.bytes = bytes;
    r.oldBytes = old;
    r.readAs = stamp;
    r.makeBackup = backup;
    r.backupPath = file.string() + ".bak";
    return r;
}

// A flush that fails (one file alone, or a batch through the file system's flush) publishes
// nothing of the batch: every file keeps its bytes, gets no backup and nothing is left over.
TEST(SafeWriter, FailedFlushPublishesNoFileOfItsBatch) {
    for (const std::size_t files : {1u, 3u}) {
        SCOPED_TRACE(files);
        TempDir dir;
        RewriteFaults faults;
        faults.failFlush = true;
        RewriteBatch batch(&faults);
        std::vector<std::string> olds(files);
        for (std::size_t i = 0; i < files; ++i) {
            fs::path file = dir.write("f" + std::to_string(i), "old " + std::to_string(i));
            ASSERT_EQ(batch.stage(requestFor(file, "new", olds[i], i % 2 == 0), i), RewriteBatch::Staged::Pending);
        }
        std::vector<RewriteBatch::Published> done = batch.commit();
        ASSERT_EQ(done.size(), files);
        for (std::size_t i = 0; i < files; ++i) {
            EXPECT_EQ(done[i].tag, i);
            EXPECT_EQ(done[i].outcome, RewriteOutcome::Unchanged);
            EXPECT_FALSE(done[i].backupMade);
            EXPECT_EQ(readFile(dir.path() / ("f" + std::to_string(i))), "old " + std::to_string(i));
        }
        EXPECT_EQ(entriesIn(dir.path()), files);
        EXPECT_EQ(recoveryNotes(), 0u);
    }
}

// While one batch is published the next is staged; outcomes come back in the order the files
// were staged, each new file under the identity given when it was staged, and files staged but
// never sent stay as they were.
TEST(SafeWriter, BatchesArePublishedInOrderWhileTheNextIsStaged) {
    TempDir dir;
    std::vector<std::string> olds(7);
    std::vector<FileId> staged(7);
    std::vector<RewriteBatch::Published> done;
    {
        RewriteBatch batch;
        for (std::size_t i = 0; i < 7; ++i) {
            fs::path file = dir.write("f" + std::to_string(i), "old");
            ASSERT_EQ(batch.stage(requestFor(file, "new " + std::to_string(i), olds[i], i == 4), 10 + i),
                      RewriteBatch::Staged::Pending);
            staged[i] = batch.lastStaged();
            EXPECT_NE(staged[i].inode, 0u);
            if (i == 2 || i == 5) batch.send();
            if (i == 3) {
                std::vector<RewriteBatch::Published> some = batch.takePublished(false);
                done.insert(done.end(), some.begin(), some.end());
            }
        }
        std::vector<RewriteBatch::Published> rest = batch.takePublished(true);
        done.insert(done.end(), rest.begin(), rest.end());
        EXPECT_TRUE(batch.takePublished(true).empty());
    }  // f6 was never sent
    ASSERT_EQ(done.size(), 6u);
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(done[i].tag, 10 + i);
        EXPECT_EQ(done[i].outcome, RewriteOutcome::Written);
        EXPECT_EQ(done[i].backupMade, i == 4);
        const fs::path file = dir.path() / ("f" + std::to_string(i));
        EXPECT_EQ(readFile(file), "new " + std::to_string(i));
        EXPECT_EQ(fileInode(file), staged[i].inode);
    }
    EXPECT_EQ(readFile(dir.path() / "f4.bak"), "old");
    EXPECT_EQ(readFile(dir.path() / "f6"), "old");
    EXPECT_EQ(entriesIn(dir.path()), 8u);
    EXPECT_EQ(recoveryNotes(), 0u);
}

TEST(WriteFileAtomically, CreatesReplacesAndKeepsHardLinks) {
    TempDir dir;
    fs::path file = dir.path() / "new.ini";
    ASSERT_TRUE(writeFileAtomically(file.string(), "first"));
    EXPECT_EQ(readFile(file), "first");
    ASSERT_TRUE(writeFileAtomically(file.string(), "second"));
    EXPECT_EQ(readFile(file), "second");
    fs::create_hard_link(file, dir.path() / "other.ini");
    ASSERT_TRUE(writeFileAtomically(file.string(), "third"));
    EXPECT_EQ(readFile(dir.path() / "other.ini"), "third");
    EXPECT_EQ(entriesIn(dir.path()), 2u);
}

// A file above the readable size (grown since a search, or named by the user) is refused before
// a byte is read: never gigabytes of memory for a file no search could list.
// A sparse file keeps its holes through every way of rewriting it, and so does its backup: a file
// of a few blocks does not come back filling its whole size on disk.
TEST(SafeWriter, SparseFileAndItsBackupKeepTheirHoles) {
    constexpr off_t kSize = 8 << 20;
    struct Case {
        const char* what;
        bool hardLinked;  // rewritten in place
        bool backup;
        bool noHardLinks;  // the backup is a copy
    };
    for (const Case& k : {Case{"new file", false, false, false}, Case{"in place", true, false, false},
                          Case{"backup by a second name", false, true, false},
                          Case{"backup copy", false, true, true}, Case{"in place with backup", true, true, false}}) {
        SCOPED_TRACE(k.what);
        TempDir dir;
        fs::path file = dir.write("sparse.dat", "needle");
        {
            const int fd = ::open(file.c_str(), O_WRONLY);
            ASSERT_EQ(::pwrite(fd, "needle", 6, kSize / 2), 6);
            ASSERT_EQ(::ftruncate(fd, kSize), 0);
            ::close(fd);
        }
        if (k.hardLinked) fs::create_hard_link(file, dir.path() / "twin.dat");
        std::string bytes = readFile(file);
        ASSERT_EQ(bytes.size(), static_cast<std::size_t>(kSize));
        const std::string before = bytes;
        bytes.replace(0, 6, "NEEDLE").replace(kSize / 2, 6, "NEEDLE");
        bytes.append(5000, 'x');  // a tail that is not a whole block
        RewriteFaults faults;
        faults.noHardLinks = k.noHardLinks;
        EXPECT_EQ(rewrite(file, bytes, &faults, k.backup), RewriteOutcome::Written);
        EXPECT_EQ(readFile(file), bytes);
        auto allocated = [](const fs::path& p) {
            struct stat st {};
            ::stat(p.c_str(), &st);
            return static_cast<long long>(st.st_blocks) * 512;
        };
        EXPECT_LT(allocated(file), 1 << 20);
        if (k.backup) {
            EXPECT_EQ(readFile(dir.path() / "sparse.dat.bak"), before);
            EXPECT_LT(allocated(dir.path() / "sparse.dat.bak"), 1 << 20);
        }
    }
}

TEST(ReadWholeFile, FileAboveTheReadableSizeIsRefusedUnread) {
    TempDir dir;
    fs::path file = dir.write("huge.txt", "a\n");
    fs::resize_file(file, kMaxReadableFileSize + 1);  // sparse: no disk space taken
    FileStamp stamp;
    EXPECT_FALSE(readWholeFile(file.string(), &stamp).has_value());
    EXPECT_FALSE(PosixFileStore().read(file.string()).has_value());
    fs::resize_file(file, 4);
    EXPECT_EQ(readWholeFile(file.string()), std::string("a\n\0\0", 4));
}

TEST(ReadWholeFile, FifoIsRefusedWithoutBlocking) {
    TempDir dir;
    fs::path fifo = dir.path() / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(readWholeFile(fifo.string()));
    EXPECT_FALSE(readWholeFile(dir.str()));
}

}  // namespace
}  // namespace vsr::durable
