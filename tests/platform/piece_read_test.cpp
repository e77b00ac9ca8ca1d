// A listed file read piece by piece into a sink's own room: every byte once and in order,
// whatever the file's size against the room; Stop between two pieces; a sink that wants no
// more ends the read; the size limit, devices and FIFOs as in a whole read. The fallback of a
// file system without its own piece reads hands over the same bytes.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

#include "platform/fake_file_system.h"
#include "platform/posix_file_system.h"
#include "support/temp_dir.h"

namespace vsr::platform {
namespace {

// Takes the pieces into a room of `roomBytes`, keeping every byte; wants no more once it holds
// `wanted` bytes.
class Collector final : public PieceSink {
public:
    explicit Collector(std::size_t roomBytes) : room_(roomBytes) {}
    std::span<char> room() override { return room_; }
    bool arrived(std::size_t n) override {
        EXPECT_GT(n, 0u);
        EXPECT_LE(n, room_.size());
        bytes.append(room_.data(), n);
        ++pieces;
        return bytes.size() < wanted;
    }

    std::string bytes;
    int pieces = 0;
    std::size_t wanted = SIZE_MAX;

private:
    std::vector<char> room_;
};

std::string patterned(std::size_t size) {
    std::string text(size, 'x');
    for (std::size_t i = 0; i < size; ++i) text[i] = static_cast<char>('a' + (i * 7 + i / 4096) % 26);
    return text;
}

ReadStatus stream(FileSystem& fs, const std::string& path, PieceSink& sink, ReadRequest request = {}) {
    const std::size_t slash = path.rfind('/');
    return fs.streamListed({path, slash + 1, nullptr}, sink, request);
}

TEST(PieceReads, HandOverEveryByteOnceAndInOrder) {
    vsr::test::TempDir dir;
    PosixFileSystem posix;
    FakeFileSystem fake;
    fake.addDirectory("/t");
    constexpr std::size_t kRoom = 4096;
    int n = 0;
    for (std::size_t size : {std::size_t{0}, std::size_t{1}, kRoom - 1, kRoom, kRoom + 1, 5 * kRoom + 3}) {
        const std::string text = patterned(size);
        const std::string name = "f" + std::to_string(n++);
        const std::string path = dir.write(name, text).string();
        fake.addFile("/t/" + name, text);
        for (bool listedRegular : {true, false}) {
            ReadRequest request;
            request.listedRegular = listedRegular;
            Collector real(kRoom);
            ASSERT_EQ(stream(posix, path, real, request), ReadStatus::Ok) << size;
            EXPECT_TRUE(real.bytes == text) << size;
            Collector fallback(kRoom);
            ASSERT_EQ(stream(fake, "/t/" + name, fallback, request), ReadStatus::Ok) << size;
            EXPECT_TRUE(fallback.bytes == text) << size;
            EXPECT_EQ(fallback.pieces, real.pieces) << size;
        }
    }
    Collector none(kRoom);
    EXPECT_EQ(stream(posix, (dir.path() / "missing").string(), none), ReadStatus::Failed);
    // A sink without room is refused rather than taken for the end of the file.
    Collector noRoom(0);
    EXPECT_EQ(stream(posix, dir.write("some", "bytes").string(), noRoom), ReadStatus::Failed);
    fake.addFile("/t/some", "bytes");
    EXPECT_EQ(stream(fake, "/t/some", noRoom), ReadStatus::Failed);
}

TEST(PieceReads, StopAndASatisfiedSinkEndTheReadBetweenPieces) {
    vsr::test::TempDir dir;
    PosixFileSystem fs;
    const std::string text = patterned(40 * 1024);
    const std::string path = dir.write("big.txt", text).string();
    int asked = 0;
    std::uint64_t lastAsked = 0;
    const std::function<bool(std::uint64_t)> goOn = [&](std::uint64_t got) {
        ++asked;
        lastAsked = got;
        return got < 3 * 1024;
    };
    ReadRequest request;
    request.listedRegular = true;
    request.goOn = &goOn;
    Collector stopped(1024);
    EXPECT_EQ(stream(fs, path, stopped, request), ReadStatus::Stopped);
    EXPECT_EQ(stopped.pieces, 3);  // asked before every read after the first
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(lastAsked, 3u * 1024);

    Collector satisfied(1024);
    satisfied.wanted = 2048;
    EXPECT_EQ(stream(fs, path, satisfied), ReadStatus::Ok);
    EXPECT_EQ(satisfied.pieces, 2);
}

// The limit holds though the size was never asked, and a device or FIFO in a listed file's
// place is never read without end.
TEST(PieceReads, RefuseWhatAWholeReadRefuses) {
    vsr::test::TempDir dir;
    PosixFileSystem fs;
    for (bool listedRegular : {true, false}) {
        ReadRequest request;
        request.listedRegular = listedRegular;
        request.maxSize = 1000;
        Collector over(256);
        EXPECT_EQ(stream(fs, dir.write("over", std::string(5000, 'o')).string(), over, request), ReadStatus::TooLarge);
        EXPECT_LE(over.bytes.size(), 1000u);
        Collector at(256);
        EXPECT_EQ(stream(fs, dir.write("at", std::string(1000, 'o')).string(), at, request), ReadStatus::Ok);
        EXPECT_EQ(at.bytes.size(), 1000u);
        // Under the limit with a room larger than the file: one piece and the read that finds the end.
        Collector fits(4096);
        EXPECT_EQ(stream(fs, dir.write("fits", std::string(999, 'o')).string(), fits, request), ReadStatus::Ok);
        EXPECT_EQ(fits.pieces, 1);
    }

    ReadRequest listed;
    listed.listedRegular = true;
    Collector zero(4096);
    EXPECT_EQ(stream(fs, "/dev/zero", zero, listed), ReadStatus::Failed);
    EXPECT_EQ(zero.pieces, 0);  // looked at once it filled the room, before the sink saw anything
    const std::string fifo = (dir.path() / "fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    Collector fromFifo(4096);
    stream(fs, fifo, fromFifo, listed);  // a FIFO without a writer gives nothing, at once
    EXPECT_TRUE(fromFifo.bytes.empty());
    EXPECT_EQ(stream(fs, fifo, fromFifo, ReadRequest{}), ReadStatus::Failed);
}

// Streams `name` of a folder listed through `fs`, as the search does: by its name in the
// folder's handle, listed as itself. Empty when the folder has no such regular file.
std::optional<std::string> streamListedAsSearchDoes(PosixFileSystem& fs, const std::string& folder,
                                                    const std::string& name, std::size_t roomBytes,
                                                    int* pieces = nullptr) {
    std::vector<DirEntry> entries;
    FolderRef handle;
    if (!fs.listFolder(folder, entries, handle) || !handle) return std::nullopt;
    const auto it = std::find_if(entries.begin(), entries.end(), [&](const DirEntry& e) { return e.name == name; });
    if (it == entries.end() || it->kind != EntryKind::File) return std::nullopt;
    ReadRequest request;
    request.listedRegular = true;
    request.listedPlain = !it->viaLink;
    Collector sink(roomBytes);
    const std::string path = folder + "/" + name;
    if (fs.streamListed({path, folder.size() + 1, handle.get()}, sink, request) != ReadStatus::Ok) return std::nullopt;
    if (pieces) *pieces = sink.pieces;
    return sink.bytes;
}

// On a local disk a short read is taken for the end of a file listed as itself (no read that
// returns nothing), and every size still comes whole; a link is listed as one. Where reads come
// short before the end (/proc), the whole file is still read.
TEST(PieceReads, AShortReadEndsOnlyAFileOnALocalDisk) {
    vsr::test::TempDir dir;
    PosixFileSystem fs;
    constexpr std::size_t kRoom = 4096;
    const std::vector<std::size_t> sizes{0, 1, kRoom - 1, kRoom, kRoom + 1, 3 * kRoom, 7 * kRoom + 5};
    for (std::size_t i = 0; i < sizes.size(); ++i) dir.write("f" + std::to_string(i), patterned(sizes[i]));
    ASSERT_EQ(::symlink("f4", (dir.path() / "link").c_str()), 0);
    const std::string folder = dir.path().string();
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        int pieces = 0;
        const auto bytes = streamListedAsSearchDoes(fs, folder, "f" + std::to_string(i), kRoom, &pieces);
        ASSERT_TRUE(bytes) << sizes[i];
        EXPECT_TRUE(*bytes == patterned(sizes[i])) << sizes[i];
        EXPECT_EQ(pieces, static_cast<int>((sizes[i] + kRoom - 1) / kRoom)) << sizes[i];
    }
    const auto linked = streamListedAsSearchDoes(fs, folder, "link", kRoom);
    ASSERT_TRUE(linked);
    EXPECT_TRUE(*linked == patterned(kRoom + 1));
    std::vector<DirEntry> entries;
    FolderRef handle;
    ASSERT_TRUE(fs.listFolder(folder, entries, handle));
    for (const DirEntry& e : entries) EXPECT_EQ(e.viaLink, e.name == "link") << e.name;

    // The kernel hands this file over a page or so per read, though more is asked for.
    const auto smaps = streamListedAsSearchDoes(fs, "/proc/self", "smaps", 64 * 1024);
    if (!smaps) GTEST_SKIP() << "no /proc/self/smaps here";
    EXPECT_GT(smaps->size(), 3 * kRoom);
    EXPECT_EQ(smaps->back(), '\n');
}

TEST(PieceReads, FillTheEntryFromTheOpenedFile) {
    vsr::test::TempDir dir;
    PosixFileSystem fs;
    const std::string path = dir.write("a.txt", "twelve bytes").string();
    DirEntry entry{"a.txt", EntryKind::File, false, {}};
    ReadRequest request;
    request.entry = &entry;
    request.listedRegular = true;
    Collector sink(4);
    ASSERT_EQ(stream(fs, path, sink, request), ReadStatus::Ok);
    EXPECT_EQ(sink.bytes, "twelve bytes");
    ASSERT_TRUE(entry.infoLoaded);
    EXPECT_EQ(entry.info.size, 12u);
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(entry.info.inode, static_cast<std::uint64_t>(st.st_ino));
}

// A reader that wants the information only of the files it keeps is asked once the whole file
// came, and the entry is filled then, from the file as it stands; a file it does not want, or a
// read that failed, leaves the entry as it was. The fallback of a file system without piece
// reads of its own behaves alike.
TEST(PieceReads, TakeTheEntryOnceReadWhenTheReaderWantsIt) {
    vsr::test::TempDir dir;
    PosixFileSystem posix;
    FakeFileSystem fake;
    fake.addDirectory("/t");
    const std::string text = patterned(3 * 4096 + 5);
    const std::string path = dir.write("a.txt", text).string();
    fake.addFile("/t/a.txt", text);
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    for (FileSystem* fs : {static_cast<FileSystem*>(&posix), static_cast<FileSystem*>(&fake)}) {
        const std::string name = fs == &posix ? path : "/t/a.txt";
        for (bool wanted : {false, true}) {
            SCOPED_TRACE(std::string(fs == &posix ? "posix" : "fallback") + (wanted ? ", wanted" : ", not wanted"));
            DirEntry entry{"a.txt", EntryKind::File, false, {}};
            Collector sink(64 * 1024);  // larger than the file: nothing is looked at before its end
            int asked = 0;
            const std::function<bool()> infoAfter = [&] {
                ++asked;
                EXPECT_EQ(sink.bytes.size(), text.size()) << "asked before the file was read";
                EXPECT_FALSE(entry.infoLoaded) << "filled before it was wanted";
                return wanted;
            };
            ReadRequest request;
            request.entry = &entry;
            request.listedRegular = true;
            request.infoAfter = &infoAfter;
            ASSERT_EQ(stream(*fs, name, sink, request), ReadStatus::Ok);
            EXPECT_EQ(sink.bytes, text);
            EXPECT_EQ(asked, 1);
            EXPECT_EQ(entry.infoLoaded, wanted);
            if (wanted) {
                EXPECT_EQ(entry.info.size, text.size());
                if (fs == &posix) {
                    EXPECT_EQ(entry.info.inode, static_cast<std::uint64_t>(st.st_ino));
                }
            }
        }
        // A file that can't be read is never asked about.
        DirEntry gone{"gone.txt", EntryKind::File, false, {}};
        int asked = 0;
        const std::function<bool()> infoAfter = [&] { return ++asked > 0; };
        ReadRequest request;
        request.entry = &gone;
        request.listedRegular = true;
        request.infoAfter = &infoAfter;
        Collector sink(4096);
        EXPECT_EQ(stream(*fs, fs == &posix ? dir.str() + "/gone.txt" : "/t/gone.txt", sink, request), ReadStatus::Failed);
        EXPECT_EQ(asked, 0);
        EXPECT_FALSE(gone.infoLoaded);
    }
}

}  // namespace
}  // namespace vsr::platform
