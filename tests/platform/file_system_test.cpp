#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "platform/civil_date.h"
#include "platform/fake_file_system.h"
#include "platform/posix_file_system.h"
#include "support/temp_dir.h"

namespace vsr::platform {
namespace {

std::vector<std::string> names(const std::vector<DirEntry>& entries, EntryKind kind) {
    std::vector<std::string> out;
    for (const DirEntry& e : entries)
        if (e.kind == kind) out.push_back(e.name);
    std::sort(out.begin(), out.end());
    return out;
}

TEST(Paths, JoinAndSplitWithoutDoubleSlashes) {
    EXPECT_EQ(joinPath("/", "a"), "/a");
    EXPECT_EQ(joinPath("/x", "a"), "/x/a");
    EXPECT_EQ(joinPath("/x/", "a"), "/x/a");
    EXPECT_EQ(parentPath("/x/a"), "/x");
    EXPECT_EQ(parentPath("/a"), "/");
    EXPECT_EQ(fileNamePart("/x/a.txt"), "a.txt");
}

TEST(PosixFileSystem, ListsKindsAndNeverFollowsFolderLinks) {
    vsr::test::TempDir dir;
    dir.write("file.txt", "abc");
    dir.write(".hidden", "h");
    dir.mkdir("sub");
    std::filesystem::create_symlink(dir.path() / "file.txt", dir.path() / "link-to-file");
    std::filesystem::create_symlink(dir.path(), dir.path() / "sub" / "loop");
    std::filesystem::create_symlink(dir.path() / "missing", dir.path() / "dangling");
    ASSERT_EQ(::mkfifo((dir.path() / "fifo").c_str(), 0600), 0);

    PosixFileSystem fs;
    std::vector<DirEntry> entries;
    ASSERT_TRUE(fs.listDirectory(dir.str(), entries));
    EXPECT_EQ(names(entries, EntryKind::File), (std::vector<std::string>{".hidden", "file.txt", "link-to-file"}));
    EXPECT_EQ(names(entries, EntryKind::Directory), (std::vector<std::string>{"sub"}));
    EXPECT_EQ(names(entries, EntryKind::Other), (std::vector<std::string>{"dangling", "fifo"}));
    ASSERT_TRUE(fs.listDirectory(dir.str() + "/sub", entries));
    EXPECT_EQ(names(entries, EntryKind::Other), (std::vector<std::string>{"loop"}));
    EXPECT_FALSE(fs.listDirectory(dir.str() + "/nope", entries));
    EXPECT_TRUE(entries.empty());

    // A FIFO is never read, even when asked directly: no hang.
    FileBuffer buf;
    EXPECT_EQ(fs.readFile(dir.str() + "/fifo", buf, kMaxReadableFileSize), ReadStatus::Failed);
    EXPECT_EQ(fs.readFile(dir.str() + "/link-to-file", buf, kMaxReadableFileSize), ReadStatus::Ok);
    EXPECT_EQ(buf.view(), "abc");
}

TEST(PosixFileSystem, AttributesFollowTheLinuxMapping) {
    vsr::test::TempDir dir;
    // The write time lies between two readings of the clock (with slack for coarse file times),
    // which holds at any hour, midnight included.
    const auto before = std::chrono::system_clock::now() - std::chrono::seconds(2);
    auto ro = dir.write("ro.txt", "12345");
    dir.write(".hid", "");
    ::chmod(ro.c_str(), 0444);
    PosixFileSystem fs;
    FileInfo info;
    ASSERT_TRUE(fs.stat(ro.string(), info));
    EXPECT_EQ(info.size, 5u);
    EXPECT_TRUE(info.attributes.readOnly);
    EXPECT_FALSE(info.attributes.hidden);
    ASSERT_TRUE(fs.stat(dir.str() + "/.hid", info));
    EXPECT_TRUE(info.attributes.hidden);
    EXPECT_FALSE(info.attributes.readOnly);
    EXPECT_FALSE(info.attributes.system || info.attributes.archive);
    EXPECT_GE(info.lastWrite, before);
    EXPECT_LE(info.lastWrite, std::chrono::system_clock::now() + std::chrono::seconds(2));
}

TEST(PosixFileSystem, ReadsIntoOneGrowingBuffer) {
    vsr::test::TempDir dir;
    std::string big(3 << 20, 'x');
    big[12345] = '\0';
    dir.write("big", big);
    dir.write("small", "tiny");
    dir.write("empty", "");
    PosixFileSystem fs;
    FileBuffer buf;
    ASSERT_EQ(fs.readFile(dir.str() + "/big", buf, kMaxReadableFileSize), ReadStatus::Ok);
    EXPECT_EQ(buf.size(), big.size());  // NUL bytes are the matchers' business
    ASSERT_EQ(fs.readFile(dir.str() + "/small", buf, kMaxReadableFileSize), ReadStatus::Ok);
    EXPECT_EQ(buf.view(), "tiny");
    EXPECT_EQ(buf.data()[4], '\0');
    ASSERT_EQ(fs.readFile(dir.str() + "/empty", buf, kMaxReadableFileSize), ReadStatus::Ok);
    EXPECT_EQ(buf.size(), 0u);
    EXPECT_EQ(fs.readFile(dir.str() + "/big", buf, 1000), ReadStatus::TooLarge);
    EXPECT_EQ(fs.readFile(dir.str() + "/missing", buf, kMaxReadableFileSize), ReadStatus::Failed);
    EXPECT_EQ(fs.readFile(dir.str(), buf, kMaxReadableFileSize), ReadStatus::Failed);
}

// A large file is read piece by piece: between the pieces the caller may end the read, and a
// read that stops at the first NUL byte reads no further than the piece that holds it. Sparse
// files stand in for huge ones without taking the disk space.
TEST(PosixFileSystem, LargeReadsGoPieceByPiece) {
    vsr::test::TempDir dir;
    const std::uint64_t huge = 64u * kReadPieceBytes + 17;
    const std::string hugePath = dir.write("huge", "head").string();
    ASSERT_EQ(::truncate(hugePath.c_str(), static_cast<off_t>(huge)), 0);
    PosixFileSystem fs;
    FileBuffer buf;
    std::vector<std::uint64_t> asked;
    std::function<bool(std::uint64_t)> goOn = [&](std::uint64_t got) {
        asked.push_back(got);
        return asked.size() < 3;
    };
    DirEntry entry{"huge", EntryKind::File, false, {}};
    ReadRequest request;
    request.entry = &entry;
    request.goOn = &goOn;
    EXPECT_EQ(fs.readListed({hugePath, hugePath.size() - 4, nullptr}, buf, request), ReadStatus::Stopped);
    EXPECT_EQ(buf.size(), 0u);
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_EQ(asked.front(), kReadPieceBytes);
    EXPECT_LT(asked.back(), huge);
    EXPECT_TRUE(std::is_sorted(asked.begin(), asked.end()));
    EXPECT_EQ(entry.info.size, huge);  // the row's information came with the open

    // Carried on to the end, the pieces make the whole file.
    asked.clear();
    goOn = [&](std::uint64_t got) {
        asked.push_back(got);
        return true;
    };
    ASSERT_EQ(fs.readListed({hugePath, hugePath.size() - 4, nullptr}, buf, request), ReadStatus::Ok);
    EXPECT_EQ(buf.size(), huge);
    EXPECT_EQ(buf.view().substr(0, 4), "head");
    EXPECT_EQ(buf.data()[huge], '\0');
    EXPECT_EQ(asked.size(), 64u);

    // Stopping at the first NUL: the hole of zeros after "head" ends the read in its first piece.
    asked.clear();
    request.stopAtNul = true;
    ASSERT_EQ(fs.readListed({hugePath, hugePath.size() - 4, nullptr}, buf, request), ReadStatus::Ok);
    EXPECT_EQ(buf.view(), "head");
    EXPECT_TRUE(asked.empty());

    // A NUL in a later piece cuts there; one in a small file cuts it as well.
    std::string text(3 * kReadPieceBytes + 100, 'x');
    text[2 * kReadPieceBytes + 5] = '\0';
    const std::string textPath = dir.write("text", text).string();
    ASSERT_EQ(fs.readListed({textPath, textPath.size() - 4, nullptr}, buf, request), ReadStatus::Ok);
    EXPECT_EQ(buf.size(), 2 * kReadPieceBytes + 5);
    EXPECT_EQ(asked, (std::vector<std::uint64_t>{kReadPieceBytes, 2 * kReadPieceBytes}));
    const std::string smallPath = dir.write("small", std::string("ab\0cd", 5)).string();
    ASSERT_EQ(fs.readListed({smallPath, smallPath.size() - 5, nullptr}, buf, request), ReadStatus::Ok);
    EXPECT_EQ(buf.view(), "ab");
    request.stopAtNul = false;
    ASSERT_EQ(fs.readListed({smallPath, smallPath.size() - 5, nullptr}, buf, request), ReadStatus::Ok);
    EXPECT_EQ(buf.size(), 5u);
}

// A file the walk listed as a regular one is read without asking its size first: whatever its
// size against the buffer's room (the buffer large from an earlier file, or new), the read
// holds the whole file and nothing more; a file over the limit is refused rather than read
// whole; and a device or FIFO put in a listed file's place is never read without end.
TEST(PosixFileSystem, ListedRegularFilesAreReadWholeWithoutAskingTheirSize) {
    vsr::test::TempDir dir;
    PosixFileSystem fs;
    FileBuffer buf;
    ReadRequest request;
    request.listedRegular = true;
    const std::size_t sizes[] = {0, 1, kFirstReadRoom - 1, kFirstReadRoom, kFirstReadRoom + 1,
                                 3 * kReadPieceBytes + 7, 100, 2 * kFirstReadRoom};
    int n = 0;
    for (std::size_t size : sizes) {
        std::string text(size, 'x');
        for (std::size_t i = 0; i < size; ++i) text[i] = static_cast<char>('a' + (i * 7 + i / 4096) % 26);
        const std::string name = "f" + std::to_string(n++);
        const std::string path = dir.write(name, text).string();
        ASSERT_EQ(fs.readListed({path, path.size() - name.size(), nullptr}, buf, request), ReadStatus::Ok) << size;
        EXPECT_EQ(buf.size(), size);
        EXPECT_TRUE(buf.view() == text) << size;
        EXPECT_EQ(buf.data()[size], '\0');
    }

    // The limit holds though the size was never asked: refused when the file fills the room.
    request.maxSize = 1000;
    const std::string over = dir.write("over", std::string(5000, 'o')).string();
    EXPECT_EQ(fs.readListed({over, over.size() - 4, nullptr}, buf, request), ReadStatus::TooLarge);
    EXPECT_EQ(buf.size(), 0u);
    const std::string at = dir.write("at", std::string(1000, 'o')).string();
    ASSERT_EQ(fs.readListed({at, at.size() - 2, nullptr}, buf, request), ReadStatus::Ok);
    EXPECT_EQ(buf.size(), 1000u);
    request.maxSize = kMaxReadableFileSize;

    // A device that never ends is looked at once it fills the room, and refused.
    const std::string zero = "/dev/zero";
    EXPECT_EQ(fs.readListed({zero, 5, nullptr}, buf, request), ReadStatus::Failed);
    EXPECT_EQ(buf.size(), 0u);
    // A FIFO without a writer neither blocks the open nor the read, and gives no bytes.
    const std::string fifo = (dir.path() / "fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs.readListed({fifo, fifo.size() - 4, nullptr}, buf, request);
    EXPECT_EQ(buf.size(), 0u);
}

// Without `listedRegular` the read asks first, as before: a FIFO is refused outright, and an
// entry whose information is wanted gets the opened file's.
TEST(PosixFileSystem, AReadThatAsksFirstRefusesWhatIsNotARegularFile) {
    vsr::test::TempDir dir;
    PosixFileSystem fs;
    FileBuffer buf;
    const std::string fifo = (dir.path() / "fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ReadRequest request;
    EXPECT_EQ(fs.readListed({fifo, fifo.size() - 4, nullptr}, buf, request), ReadStatus::Failed);
    const std::string path = dir.write("a.txt", "twelve bytes").string();
    DirEntry entry{"a.txt", EntryKind::File, false, {}};
    request.entry = &entry;
    request.listedRegular = true;  // ignored: the information is wanted
    ASSERT_EQ(fs.readListed({path, path.size() - 5, nullptr}, buf, request), ReadStatus::Ok);
    EXPECT_TRUE(entry.infoLoaded);
    EXPECT_EQ(entry.info.size, 12u);
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(entry.info.inode, static_cast<std::uint64_t>(st.st_ino));
}

TEST(PosixFileSystem, AFolderReplacedBetweenRunsIsFoundAgain) {
    vsr::test::TempDir dir;
    dir.write("f/a.txt", "one");
    dir.write("g/b.txt", "two");
    PosixFileSystem fs;
    FileBuffer buf;
    std::vector<DirEntry> entries;
    ASSERT_TRUE(fs.listDirectory(dir.str() + "/f", entries));
    ASSERT_EQ(fs.readFile(dir.str() + "/f/a.txt", buf, kMaxReadableFileSize), ReadStatus::Ok);
    // Alternating folders must not mix up the folder each name is looked up in.
    ASSERT_EQ(fs.readFile(dir.str() + "/g/b.txt", buf, kMaxReadableFileSize), ReadStatus::Ok);
    EXPECT_EQ(buf.view(), "two");
    ASSERT_EQ(fs.readFile(dir.str() + "/f/a.txt", buf, kMaxReadableFileSize), ReadStatus::Ok);
    EXPECT_EQ(buf.view(), "one");
    std::filesystem::remove_all(dir.path() / "f");
    dir.write("f/a.txt", "new");
    fs.releaseCaches();
    ASSERT_EQ(fs.readFile(dir.str() + "/f/a.txt", buf, kMaxReadableFileSize), ReadStatus::Ok);
    EXPECT_EQ(buf.view(), "new");
    FileInfo info;
    ASSERT_TRUE(fs.stat(dir.str() + "/f/a.txt", info));
    EXPECT_EQ(info.size, 3u);
}

// A listed folder's handle reads its files by name from any thread, fills the information of
// the entry from the opened file exactly as a stat would, and keeps no folder open once let go.
TEST(PosixFileSystem, FolderHandlesReadByNameAndFillTheEntry) {
    vsr::test::TempDir dir;
    dir.write("f/a.txt", "alpha");
    dir.write("f/.b", "");
    std::filesystem::create_symlink(dir.path() / "f" / "a.txt", dir.path() / "f" / "link");
    ASSERT_EQ(::chmod((dir.path() / "f" / "a.txt").c_str(), 0444), 0);
    PosixFileSystem fs;
    std::vector<DirEntry> entries;
    FolderRef folder;
    ASSERT_TRUE(fs.listFolder(dir.str() + "/f", entries, folder));
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(names(entries, EntryKind::File), (std::vector<std::string>{".b", "a.txt", "link"}));
    FileBuffer buf;
    for (DirEntry& e : entries) {
        const std::string path = dir.str() + "/f/" + e.name;
        ASSERT_EQ(fs.readFileAt({path, path.size() - e.name.size(), folder.get()}, buf, kMaxReadableFileSize, &e),
                  ReadStatus::Ok);
        EXPECT_EQ(buf.view(), e.name == ".b" ? "" : "alpha");
        ASSERT_TRUE(e.infoLoaded);
        FileInfo byName;
        ASSERT_TRUE(fs.stat(path, byName));
        EXPECT_EQ(e.info.size, byName.size);
        EXPECT_EQ(e.info.lastWrite, byName.lastWrite);
        EXPECT_EQ(e.info.attributes, byName.attributes) << e.name;
        // Which file it is: the link's target, as stat(2) names it.
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(e.info.device, static_cast<std::uint64_t>(st.st_dev)) << e.name;
        EXPECT_EQ(e.info.inode, static_cast<std::uint64_t>(st.st_ino)) << e.name;
        EXPECT_EQ(byName.inode, e.info.inode) << e.name;
    }
    // Information already loaded (by a size filter) is left as it was.
    DirEntry loaded{"a.txt", EntryKind::File, true, {}};
    loaded.info.size = 77;
    const std::string a = dir.str() + "/f/a.txt";
    ASSERT_EQ(fs.readFileAt({a, a.size() - 5, folder.get()}, buf, kMaxReadableFileSize, &loaded), ReadStatus::Ok);
    EXPECT_EQ(loaded.info.size, 77u);
    EXPECT_EQ(fs.readFileAt({a, a.size() - 5, folder.get()}, buf, 3, nullptr), ReadStatus::TooLarge);
    const std::string gone = dir.str() + "/f/gone";
    EXPECT_EQ(fs.readFileAt({gone, gone.size() - 4, folder.get()}, buf, kMaxReadableFileSize), ReadStatus::Failed);

    // Handles are counted: past the limit a listing hands out none, and reading by the full
    // name still works; letting go of the handles closes the folders.
    std::vector<FolderRef> held;
    for (int i = 0; i < fs.maxHeldFolders() + 8; ++i) {
        FolderRef h;
        ASSERT_TRUE(fs.listFolder(dir.str() + "/f", entries, h));
        if (h) held.push_back(std::move(h));
    }
    EXPECT_LT(static_cast<int>(held.size()), fs.maxHeldFolders());
    FolderRef none;
    ASSERT_TRUE(fs.listFolder(dir.str() + "/f", entries, none));
    EXPECT_EQ(none, nullptr);
    ASSERT_EQ(fs.readFileAt({a, a.size() - 5, none.get()}, buf, kMaxReadableFileSize), ReadStatus::Ok);
    EXPECT_EQ(buf.view(), "alpha");
    held.clear();
    folder.reset();
    fs.releaseCaches();
    FolderRef again;
    ASSERT_TRUE(fs.listFolder(dir.str() + "/f", entries, again));
    EXPECT_NE(again, nullptr);
}

// A listed file's information is looked up by its name in the folder's handle: the same as a
// stat by the full name, and still right once the folder has moved (the handle follows it),
// while without a handle the full name is used.
TEST(PosixFileSystem, StatAtLooksUpTheNameInTheFolderHandle) {
    vsr::test::TempDir dir;
    dir.write("f/a.txt", "alpha");
    dir.write("f/.hidden", "xy");
    std::filesystem::create_symlink(dir.path() / "f" / "a.txt", dir.path() / "f" / "link");
    PosixFileSystem fs;
    std::vector<DirEntry> entries;
    FolderRef folder;
    ASSERT_TRUE(fs.listFolder(dir.str() + "/f", entries, folder));
    ASSERT_NE(folder, nullptr);
    for (const std::string name : {"a.txt", ".hidden", "link"}) {
        const std::string path = dir.str() + "/f/" + name;
        FileInfo at, byName;
        ASSERT_TRUE(fs.statAt({path, path.size() - std::string(name).size(), folder.get()}, at)) << name;
        ASSERT_TRUE(fs.stat(path, byName));
        EXPECT_EQ(at.kind, EntryKind::File);
        EXPECT_EQ(at.size, byName.size) << name;
        EXPECT_EQ(at.lastWrite, byName.lastWrite);
        EXPECT_EQ(at.attributes, byName.attributes) << name;
    }
    std::filesystem::rename(dir.path() / "f", dir.path() / "moved");
    const std::string old = dir.str() + "/f/a.txt";
    FileInfo info;
    ASSERT_TRUE(fs.statAt({old, old.size() - 5, folder.get()}, info));
    EXPECT_EQ(info.size, 5u);
    fs.releaseCaches();  // the look-up by full name may not find the old folder among the recent ones
    EXPECT_FALSE(fs.statAt({old, old.size() - 5, nullptr}, info));
    const std::string gone = dir.str() + "/f/gone";
    EXPECT_FALSE(fs.statAt({gone, gone.size() - 4, folder.get()}, info));
    // loadInfo fills an entry once, through the handle.
    DirEntry entry{"a.txt", EntryKind::File, false, {}};
    ASSERT_TRUE(fs.loadInfo(FileRef{old, old.size() - 5, folder.get()}, entry));
    EXPECT_TRUE(entry.infoLoaded);
    EXPECT_EQ(entry.info.size, 5u);
}

// A subfolder is listed by its name in its parent's handle, which follows the parent when it
// moves, and never through a link put in its place; the run's own folder may be a link.
TEST(PosixFileSystem, SubfoldersAreListedByNameAndNeverThroughALink) {
    vsr::test::TempDir dir;
    dir.write("p/s/a.txt", "a");
    dir.write("other/b.txt", "b");
    std::filesystem::create_directory_symlink(dir.path() / "other", dir.path() / "lnk");
    PosixFileSystem fs;
    std::vector<DirEntry> entries;
    FolderRef parent;
    ASSERT_TRUE(fs.listFolder(dir.str() + "/p", entries, parent));
    ASSERT_NE(parent, nullptr);
    std::filesystem::rename(dir.path() / "p", dir.path() / "moved");
    const std::string sub = dir.str() + "/p/s";
    FolderRef handle;
    ASSERT_TRUE(fs.listSubfolder({sub, sub.size() - 1, parent.get()}, entries, handle));
    EXPECT_EQ(names(entries, EntryKind::File), (std::vector<std::string>{"a.txt"}));
    EXPECT_NE(handle, nullptr);
    EXPECT_FALSE(fs.listSubfolder({sub, sub.size() - 1, nullptr}, entries, handle));  // by the old full name

    std::filesystem::remove_all(dir.path() / "moved" / "s");
    std::filesystem::create_directory_symlink(dir.path() / "other", dir.path() / "moved" / "s");
    EXPECT_FALSE(fs.listSubfolder({sub, sub.size() - 1, parent.get()}, entries, handle));
    EXPECT_TRUE(entries.empty());
    EXPECT_EQ(handle, nullptr);
    const std::string now = dir.str() + "/moved/s";
    EXPECT_FALSE(fs.listSubfolder({now, now.size() - 1, nullptr}, entries, handle));
    ASSERT_TRUE(fs.listFolder(dir.str() + "/lnk", entries, handle));
    EXPECT_EQ(names(entries, EntryKind::File), (std::vector<std::string>{"b.txt"}));
}

// A listing larger than one batch of kernel entries lists every name once.
TEST(PosixFileSystem, ListsLargeFoldersWhole) {
    vsr::test::TempDir dir;
    const int n = 3000;  // names of ~40 bytes: several reads of the entry buffer
    for (int i = 0; i < n; ++i) dir.write("many/file-with-a-rather-long-name-" + std::to_string(i), "");
    PosixFileSystem fs;
    std::vector<DirEntry> entries;
    ASSERT_TRUE(fs.listDirectory(dir.str() + "/many", entries));
    std::vector<std::string> got = names(entries, EntryKind::File);
    EXPECT_EQ(got.size(), static_cast<std::size_t>(n));
    EXPECT_EQ(std::adjacent_find(got.begin(), got.end()), got.end());
}

TEST(FakeFileSystem, BehavesLikeTheRealOne) {
    FakeFileSystem fs;
    fs.addFile("/a/b/c.txt", "abc");
    fs.addSizedFile("/a/huge", 5'000'000'000ULL);
    fs.addDirectory("/a/locked", false);
    std::vector<DirEntry> entries;
    ASSERT_TRUE(fs.listDirectory("/a", entries));
    EXPECT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].name, "b");
    EXPECT_EQ(entries[0].kind, EntryKind::Directory);
    EXPECT_FALSE(fs.listDirectory("/a/locked", entries));
    FileBuffer buf;
    EXPECT_EQ(fs.readFile("/a/huge", buf, kMaxReadableFileSize), ReadStatus::TooLarge);
    EXPECT_EQ(fs.readFile("/a/b/c.txt", buf, kMaxReadableFileSize), ReadStatus::Ok);
    EXPECT_EQ(buf.view(), "abc");
    DirEntry e{"c.txt", EntryKind::File, false, {}};
    ASSERT_TRUE(fs.loadInfo("/a/b", e));
    EXPECT_EQ(e.info.size, 3u);
    fs.remove("/a/b/c.txt");
    EXPECT_FALSE(fs.readFile("/a/b/c.txt", buf, kMaxReadableFileSize) == ReadStatus::Ok);
}

TEST(CivilDate, AddMonthsClampsTheDay) {
    EXPECT_EQ(addMonths({2024, 3, 31}, -1), (CivilDate{2024, 2, 29}));
    EXPECT_EQ(addMonths({2023, 3, 31}, -1), (CivilDate{2023, 2, 28}));
    EXPECT_EQ(addMonths({2024, 1, 15}, -12), (CivilDate{2023, 1, 15}));
    EXPECT_EQ(addMonths({2024, 12, 1}, 1), (CivilDate{2025, 1, 1}));
}

}  // namespace
}  // namespace vsr::platform
