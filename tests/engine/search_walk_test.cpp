// The walk over a tree on disk opens each folder by its name in its parent's handle: its rows
// must be those of a walk that opens every folder by its full name, in the same order and with
// the same texts, with links to folders still not followed, also in a tree deeper than the
// handles kept open and in a process allowed only a few open descriptors.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "engine/search/recording_host.h"
#include "engine/search/search_driver.h"
#include "platform/clock.h"
#include "platform/locale_formats.h"
#include "platform/posix_file_system.h"
#include "platform/type_names.h"
#include "support/deep_tree.h"
#include "support/temp_dir.h"

namespace vsr::engine {
namespace {

namespace fs = std::filesystem;
using Rows = std::vector<std::string>;

// Every file below `dir` as a walk that opens folders by their full names finds them, in the
// order the folders list them.
void referenceWalk(platform::FileSystem& files, const std::string& dir, Rows& out) {
    std::vector<platform::DirEntry> entries;
    if (!files.listDirectory(dir, entries)) return;
    for (const platform::DirEntry& e : entries) {
        const std::string full = platform::joinPath(dir, e.name);
        if (e.kind == platform::EntryKind::File) out.push_back(full);
        if (e.kind == platform::EntryKind::Directory) referenceWalk(files, full, out);
    }
}

// The files below the folder the search lists (every file when `query` is empty), as
// "full name|size|time".
Rows listEveryFile(const std::string& dir, int threads, Rows* names = nullptr, const std::string& query = {}) {
    platform::PosixFileSystem posix;
    platform::FakeClock clock;
    platform::FakeLocaleFormats formats;
    platform::FakeTypeNames types;
    RecordingHost host;
    SearchDriver driver{{posix, clock, formats, types}, host};
    driver.setThreads(threads);
    SearchConditions c = formConditions(dir);  // masks "*.*": every file
    c.findText = query;
    driver.FindButtonClick(c);
    EXPECT_FALSE(host.summary.stopped);
    for (const RecordingHost::Message& m : host.messages) ADD_FAILURE() << m.caption << ": " << m.text;
    Rows rows;
    for (const results::ResultItem& r : host.list.rows()) {
        rows.push_back(r.fullName() + "|" + r.size + "|" + r.time);
        if (names) names->push_back(r.fullName());
    }
    return rows;
}

void writeFile(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

// A chain of `depth` nested folders "d" below `top`, with a file in every tenth and at the bottom.
void deepChain(const fs::path& top, int depth) {
    fs::create_directories(top);
    fs::path p = top;
    for (int i = 1; i <= depth; ++i) {
        p /= "d";
        fs::create_directory(p);
        if (i % 10 == 0 || i == depth) writeFile(p / ("at" + std::to_string(i) + ".txt"), "x");
    }
}

int countAt(const Rows& rows) {
    int n = 0;
    for (const std::string& r : rows) n += r.find("/at") != std::string::npos;
    return n;
}

TEST(SearchWalk, ListsWhatAWalkByFullNamesListsInTheSameOrder) {
    vsr::test::TempDir dir;
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> kind(0, 9), count(2, 9);
    std::vector<fs::path> folders{dir.path(), dir.path() / "a", dir.path() / "b c", dir.path() / "a" / "d"};
    for (const fs::path& f : folders) fs::create_directories(f);
    writeFile(dir.path() / "target.txt", "t");
    // Nested folders of files, with links to files (listed as files), links to folders (never
    // walked, also when they point above themselves), dangling links and FIFOs.
    for (std::size_t f = 0; f < folders.size() && f < 40; ++f) {
        const int n = count(rng);
        for (int i = 0; i < n; ++i) {
            const fs::path name = folders[f] / ("e" + std::to_string(i) + (i % 3 ? ".txt" : ".c"));
            switch (kind(rng)) {
                case 0:
                case 1:
                case 2: fs::create_directory(name.string() + "_dir"); folders.push_back(name.string() + "_dir"); break;
                case 3: fs::create_directory_symlink(dir.path(), name.string() + "_up"); break;
                case 4: fs::create_symlink(dir.path() / "target.txt", name); break;
                case 5: fs::create_symlink(folders[f] / "missing", name); break;
                case 6: ASSERT_EQ(::mkfifo(name.c_str(), 0600), 0); break;
                default: writeFile(name, std::string(static_cast<std::size_t>(kind(rng)) * 300, 'a'));
            }
        }
    }
    deepChain(dir.path() / "deep", 40);

    platform::PosixFileSystem posix;
    Rows expected;
    referenceWalk(posix, dir.str(), expected);
    ASSERT_GT(expected.size(), 40u);
    for (int threads : {1, 2, 4}) {
        Rows names;
        const Rows rows = listEveryFile(dir.str(), threads, &names);
        EXPECT_EQ(names, expected) << threads << " threads";
        if (threads == 1) continue;
        EXPECT_EQ(rows, listEveryFile(dir.str(), 1)) << threads << " threads";
    }
}

// Deeper than the folder handles a run keeps open: the deeper folders are opened by their
// full names and every file is found.
// A content search reads its files without asking their sizes; the rows of the files it lists
// still show their sizes and times, as a listing of every file shows them.
TEST(SearchWalk, RowsOfAContentSearchShowSizesAndTimes) {
    vsr::test::TempDir dir;
    const std::size_t sizes[] = {0, 6, 4000, 300000, 1500000, 90};
    int n = 0;
    for (std::size_t size : sizes) {
        std::string text(size, 'y');
        if (size >= 6) text.replace(size / 2 - 3, 6, "needle");
        const fs::path file = dir.path() / ("s" + std::to_string(n++)) / "f.txt";
        fs::create_directories(file.parent_path());
        writeFile(file, text);
    }
    const Rows every = listEveryFile(dir.str(), 1);
    ASSERT_EQ(every.size(), std::size(sizes));
    for (int threads : {1, 2}) {
        const Rows found = listEveryFile(dir.str(), threads, nullptr, "needle");
        EXPECT_EQ(found.size(), std::size(sizes) - 1) << threads;
        for (const std::string& row : found)
            EXPECT_NE(std::find(every.begin(), every.end(), row), every.end()) << row;
    }
}

TEST(SearchWalk, WalksATreeDeeperThanTheHandlesKeptOpen) {
    vsr::test::TempDir dir;
    const int depth = platform::PosixFileSystem::kMaxHeldFolders + 60;
    deepChain(dir.path(), depth);
    platform::PosixFileSystem posix;
    Rows expected;
    referenceWalk(posix, dir.str(), expected);
    ASSERT_EQ(static_cast<int>(expected.size()), depth / 10 + 1);
    for (int threads : {1, 2}) {
        Rows names;
        listEveryFile(dir.str(), threads, &names);
        EXPECT_EQ(names, expected) << threads << " threads";
    }
}

// A process allowed few open descriptors keeps fewer handles: the folders of a deep tree are
// all listed rather than passed over once the descriptors run out.
TEST(SearchWalk, FewDescriptorsAllowedStillWalksADeepTreeWhole) {
    vsr::test::TempDir dir;
    deepChain(dir.path(), 150);
    struct rlimit saved;
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    struct rlimit low = saved;
    low.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
    Rows names;
    listEveryFile(dir.str(), 2, &names);
    EXPECT_EQ(platform::PosixFileSystem().maxHeldFolders(), 16);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &saved), 0);
    EXPECT_EQ(countAt(names), 15);
}

// Folders nested past the length of a full name the system takes, and deeper than the handles
// kept open, also in a process allowed few descriptors: every file is found, and its full name
// opens and reads again for the steps after the search (the Lines Viewer, a search in the results).
TEST(SearchWalk, FindsFilesNestedPastTheLongestFullName) {
    vsr::test::TempDir dir;
    const vsr::test::DeepTreeCleanup cleanup{dir.path()};
    const int depth = platform::PosixFileSystem::kMaxHeldFolders + 44;
    ASSERT_TRUE(vsr::test::makeLongChain(dir.path(), depth, std::string(30, 'f'), "x needle\n"));
    struct rlimit saved;
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    for (int threads : {1, 2, -2}) {
        if (threads < 0) {
            struct rlimit low = saved;
            low.rlim_cur = 64;
            ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
            threads = -threads;
        }
        Rows names;
        listEveryFile(dir.str(), threads, &names, "needle");
        ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &saved), 0);
        EXPECT_EQ(countAt(names), depth / 10) << threads << " threads";
        std::size_t longest = 0;
        for (const std::string& name : names) longest = std::max(longest, name.size());
        EXPECT_GT(longest, 2 * platform::kLongestFullName);
        platform::PosixFileSystem again;
        for (const std::string& name : names) {
            platform::FileBuffer buf;
            EXPECT_EQ(again.readFile(name, buf, platform::kMaxReadableFileSize), platform::ReadStatus::Ok) << name.size();
            EXPECT_EQ(buf.view(), "x needle\n");
            platform::FileInfo info;
            EXPECT_TRUE(again.stat(name, info));
            EXPECT_EQ(info.size, 9u);
        }
    }
}

}  // namespace
}  // namespace vsr::engine
