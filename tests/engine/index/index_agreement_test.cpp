// Searches with a content index list exactly what searches without it list: over random trees
// and random queries of every type, before and after the tree changes under the index, and with
// the index file damaged.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <thread>

#include "engine/index/index_store.h"
#include "engine/search/index_keeper.h"
#include "engine/search/recording_host.h"
#include "engine/search/search_driver.h"
#include "platform/clock.h"
#include "platform/locale_formats.h"
#include "platform/posix_file_system.h"
#include "platform/tree_watch.h"
#include "platform/type_names.h"
#include "support/temp_dir.h"

namespace vsr::engine {
namespace {

namespace fs = std::filesystem;

// Words that share trigrams, differ in case and in characters whose folding is special.
const char* const kWords[] = {"alpha", "Alpha", "ALPHA", "alphabet", "beta", "betamax", "gamma", "gam",
                              "delta", "foo_bar", "foo", "bar9", "straße", "STRASSE", "ärger", "Ärger",
                              "привет", "ПРИВЕТ", "ıs", "İs", "kelvin", "\xE2\x84\xAA" "elvin", "x", "cat",
                              "cats", "my_cat", "a.b", "a+b", "(x)", "\"q\"", "-beta", "+alpha", "café"};

std::string randomWord(std::mt19937& rng) {
    return kWords[std::uniform_int_distribution<std::size_t>(0, std::size(kWords) - 1)(rng)];
}

std::string randomLine(std::mt19937& rng) {
    std::string line;
    const int words = std::uniform_int_distribution<int>(0, 6)(rng);
    if (rng() % 5 == 0) line += "  ";
    for (int w = 0; w < words; ++w) {
        if (w) line += rng() % 7 == 0 ? "\t" : " ";
        line += randomWord(rng);
    }
    if (rng() % 6 == 0) line += "   ";
    return line;
}

std::string randomText(std::mt19937& rng) {
    std::string text;
    const int lines = std::uniform_int_distribution<int>(0, 12)(rng);
    const char* ends[] = {"\n", "\r\n", "\r"};
    const char* end = ends[rng() % 3];
    for (int i = 0; i < lines; ++i) {
        text += randomLine(rng);
        if (rng() % 9 == 0) end = ends[rng() % 3];
        if (i + 1 < lines || rng() % 2) text += end;
    }
    switch (rng() % 14) {
        case 0: text.insert(text.size() / 2, 1, '\0'); break;                   // a NUL byte
        case 1: text = "\xEF\xBB\xBF" + text; break;                             // UTF-8 behind its mark
        case 2: text += " caf\xE9 stra\xDF" "e \xC4rger"; break;                  // not UTF-8: the fallback page
        case 3: {                                                                 // UTF-16 LE
            std::string wide = "\xFF\xFE";
            for (char c : text) wide += {c, '\0'};
            text = wide;
            break;
        }
        default: break;
    }
    return text;
}

SearchConditions randomQuery(std::mt19937& rng, const std::string& root) {
    SearchConditions c = formConditions(root);
    c.tab = Tab::Find;
    c.caseSensitive = rng() % 3 == 0;
    c.wholeWords = rng() % 3 == 0;
    const QueryType types[] = {QueryType::Phrase, QueryType::WordsOr, QueryType::WordsAnd, QueryType::SearchEngine,
                               QueryType::Multiline, QueryType::RegExpr};
    c.queryType = types[rng() % std::size(types)];
    const char* const expressions[] = {"alph\\w+", "(beta|gamma)max", "a.b", "foo_?bar", "^\\s*delta$", "stra(ß|ss)e",
                                       "ПРИВ.Т", "cat(s)?\\b", "x*", "\\d", "alpha.*beta", "(?s)gam.*del",
                                       "kelvin|elvin", "\\(x\\)", "[ab]eta"};
    switch (c.queryType) {
        case QueryType::Multiline: {
            const int lines = 1 + static_cast<int>(rng() % 2);
            for (int i = 0; i < lines; ++i) c.findLines.push_back(rng() % 4 ? randomLine(rng) : randomWord(rng));
            c.trimLeading = rng() % 2;
            c.trimTrailing = rng() % 2;
            break;
        }
        case QueryType::RegExpr:
            c.findLines = {expressions[rng() % std::size(expressions)]};
            c.dotMatchesAll = rng() % 4 == 0;
            c.eachLineSeparately = rng() % 4 == 0;
            break;
        default: {
            const int words = 1 + static_cast<int>(rng() % 3);
            for (int i = 0; i < words; ++i) {
                if (i) c.findText += " ";
                if (c.queryType == QueryType::SearchEngine && rng() % 3 == 0) c.findText += rng() % 2 ? "+" : "-";
                c.findText += randomWord(rng);
            }
            if (c.queryType == QueryType::Phrase && rng() % 4 == 0) c.findText = randomLine(rng);
            break;
        }
    }
    return c;
}

struct Outcome {
    std::vector<std::string> lines;
    bool operator==(const Outcome&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Outcome& o) {
    for (const std::string& l : o.lines) out << l << "\n";
    return out;
}

class IndexAgreement : public ::testing::Test {
protected:
    platform::PosixFileSystem fileSystem;
    platform::SteadyClock clock;
    platform::FakeLocaleFormats formats;
    platform::NoTypeNames types;
    test::TempDir dir;
    std::uint64_t passedOver = 0;

    std::size_t foldersTaken = 0;

    // `listings`: the file the indexed run keeps its folder listings in, saved after it.
    Outcome search(SearchConditions c, const index::IndexView* view, int threads, IndexSkip* prepared = nullptr,
                   const std::string* listings = nullptr) {
        RecordingHost host;
        SearchDriver driver({fileSystem, clock, formats, types}, host);
        driver.setThreads(threads);
        std::unique_ptr<IndexSkip> skip;
        if (view) {
            skip = std::make_unique<IndexSkip>(*view, c.path);
            if (listings) skip->useListings(*listings);
            driver.setIndexSkip(skip.get());
        }
        if (prepared) driver.setIndexSkip(prepared);
        driver.FindButtonClick(c);
        if (skip) {
            skip->saveListings();
            if (skip->folders()) foldersTaken += skip->folders()->foldersTaken();
        }
        if (skip) passedOver += skip->passedOver();
        if (prepared) passedOver += prepared->passedOver();
        Outcome o;
        for (const auto& r : host.list.rows()) o.lines.push_back(r.fullName() + "\t" + r.found);
        for (const auto& m : host.messages) o.lines.push_back("message " + m.caption + ": " + m.text);
        o.lines.push_back("status " + host.status[0]);
        return o;
    }

    // Every query agrees with and without the index as it is on disk now.
    void agree(std::mt19937& rng, const SearchConditions& encoding, int queries) {
        const auto store = index::IndexStore::forRoot(dir.str(), TextReading::of(encoding));
        ASSERT_TRUE(store);
        index::IndexState state;
        const std::unique_ptr<index::IndexReader> reader = store->open(state);
        for (int q = 0; q < queries; ++q) {
            SearchConditions c = randomQuery(rng, dir.str());
            c.textEncoding = encoding.textEncoding;
            c.fallbackEncoding = encoding.fallbackEncoding;
            const int threads = q % 2 ? 1 : 3;
            ASSERT_EQ(search(c, reader ? &reader->view() : nullptr, threads), search(c, nullptr, threads))
                << "type " << static_cast<int>(c.queryType) << " query [" << c.findText << "]"
                << (c.findLines.empty() ? "" : " lines [" + c.findLines[0] + "]") << " case " << c.caseSensitive
                << " whole " << c.wholeWords;
        }
    }

    void writeTree(std::mt19937& rng, int files) {
        for (int i = 0; i < files; ++i) {
            const std::string name = (i % 4 == 0 ? "sub/" : i % 7 == 0 ? "sub/deep/" : "") + std::to_string(i) +
                                     (i % 3 ? ".txt" : ".src");
            dir.write(name, randomText(rng));
        }
    }

    // Until their times are older than the settling time, files are not passed over.
    static void settle() { std::this_thread::sleep_for(std::chrono::nanoseconds(index::kSettleNs + 100'000'000)); }
};

TEST_F(IndexAgreement, RandomTreesAndQueriesListTheSameRowsWithTheIndexAsWithout) {
    std::mt19937 rng(20261211);
    writeTree(rng, 80);
    settle();
    SearchConditions utf8, page;
    utf8.textEncoding = platform::CodePageId::Utf8;
    utf8.fallbackEncoding = platform::CodePageId::Windows1252;
    page.textEncoding = platform::CodePageId::Windows1251;
    SearchConditions bytes = utf8;
    bytes.fallbackEncoding.reset();
    for (const SearchConditions* encoding : {&utf8, &page, &bytes}) {
        const auto store = index::IndexStore::forRoot(dir.str(), TextReading::of(*encoding));
        ASSERT_TRUE(store->rebuild(fileSystem, clock, dir.str()));
        agree(rng, *encoding, 120);
    }
    // The index passed over files at all: otherwise the agreement says nothing.
    EXPECT_GT(passedOver, 500u);
}

TEST_F(IndexAgreement, FilesChangedUnderTheIndexAreSearchedAsTheyAreNow) {
    std::mt19937 rng(7);
    writeTree(rng, 40);
    // Files that hold words most queries ask for, so a change shows in the rows.
    for (int i = 0; i < 8; ++i) dir.write("hit" + std::to_string(i) + ".txt", "alpha beta gamma delta straße\n");
    settle();
    SearchConditions utf8;
    utf8.fallbackEncoding = platform::CodePageId::Windows1252;
    const auto store = index::IndexStore::forRoot(dir.str(), TextReading::of(utf8));
    ASSERT_TRUE(store->rebuild(fileSystem, clock, dir.str()));
    // Edited in place with the size kept, replaced by a new file, renamed, truncated,
    // made unreadable, deleted, and a new file where none was.
    const fs::path root = dir.path();
    {
        std::fstream f(root / "hit0.txt", std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(0);
        f << "ALPHA";
    }
    dir.write("hit1.tmp", "cats and my_cat\n");
    fs::rename(root / "hit1.tmp", root / "hit1.txt");
    fs::rename(root / "hit2.txt", root / "sub" / "moved.txt");
    fs::resize_file(root / "hit3.txt", 3);
    fs::remove(root / "hit4.txt");
    dir.write("hit5.txt", "");
    dir.write("new.txt", "alpha beta kelvin\n");
    const bool root_user = ::geteuid() == 0;
    if (!root_user) ::chmod((root / "hit6.txt").c_str(), 0);
    std::uint64_t before = passedOver;
    agree(rng, utf8, 150);
    EXPECT_GT(passedOver, before);
    if (root_user) GTEST_LOG_(INFO) << "running as root: an unreadable file is still read, that part is left out";
    else ::chmod((root / "hit6.txt").c_str(), 0644);
}

TEST_F(IndexAgreement, ADamagedOrTruncatedIndexChangesNoRow) {
    std::mt19937 rng(99);
    writeTree(rng, 30);
    settle();
    SearchConditions utf8;
    utf8.fallbackEncoding = platform::CodePageId::Windows1252;
    const auto store = index::IndexStore::forRoot(dir.str(), TextReading::of(utf8));
    ASSERT_TRUE(store->rebuild(fileSystem, clock, dir.str()));
    const std::string good = test::readFile(store->file());
    ASSERT_GT(good.size(), 200u);
    for (int round = 0; round < 12; ++round) {
        std::string bad = good;
        if (round % 3 == 0) bad.resize(rng() % bad.size());
        else bad[rng() % bad.size()] ^= static_cast<char>(1 + rng() % 255);
        std::ofstream(store->file(), std::ios::binary | std::ios::trunc) << bad;
        agree(rng, utf8, 15);
    }
}


// Folder listings taken from beside the index: between the runs folders gain, lose and rename
// files, files are edited in place within unchanged folders, folders are deleted, made anew,
// swapped for links and links for folders, settled or not; every run lists what a run without
// the index lists, and most folders are taken as stored.
TEST_F(IndexAgreement, StoredFolderListingsChangeNoRow) {
    std::mt19937 rng(1511);
    writeTree(rng, 60);
    for (int i = 0; i < 6; ++i) dir.write("sub/deep/d" + std::to_string(i) + "/hit.txt", "alpha beta gamma\n");
    settle();
    SearchConditions utf8;
    utf8.fallbackEncoding = platform::CodePageId::Windows1252;
    const auto store = index::IndexStore::forRoot(dir.str(), TextReading::of(utf8));
    ASSERT_TRUE(store->rebuild(fileSystem, clock, dir.str()));
    const std::string listings = dir.str() + "/../" + dir.path().filename().string() + ".dirs";
    const fs::path root = dir.path();
    auto anyFolder = [&] {
        std::vector<fs::path> folders{root};
        for (const auto& e : fs::recursive_directory_iterator(root))
            if (e.is_directory() && !e.is_symlink()) folders.push_back(e.path());
        std::sort(folders.begin(), folders.end());
        return folders[rng() % folders.size()];
    };
    auto anyFile = [&]() -> std::optional<fs::path> {
        std::vector<fs::path> files;
        for (const auto& e : fs::recursive_directory_iterator(root))
            if (e.is_regular_file() && !e.is_symlink()) files.push_back(e.path());
        std::sort(files.begin(), files.end());
        if (files.empty()) return std::nullopt;
        return files[rng() % files.size()];
    };
    int made = 0;
    for (int round = 0; round < 10; ++round) {
        index::IndexState state;
        const std::unique_ptr<index::IndexReader> reader = store->open(state);
        ASSERT_TRUE(reader);
        for (int q = 0; q < 6; ++q) {
            SearchConditions c = randomQuery(rng, dir.str());
            c.fallbackEncoding = utf8.fallbackEncoding;
            const int threads = q % 2 ? 1 : 3;
            ASSERT_EQ(search(c, &reader->view(), threads, nullptr, &listings), search(c, nullptr, threads))
                << "round " << round << " query " << q;
        }
        const std::string tag = std::to_string(++made);
        // Files edited in place, their folders untouched: found only by their own identities.
        for (int e = 0; e < 3; ++e)
            if (auto f = anyFile()) {
                std::fstream out(*f, std::ios::in | std::ios::out | std::ios::binary);
                out << "alpha Beta gamma delta straße cats my_cat foo_bar kelvin x ";
            }
        const fs::path folder = anyFolder();
        switch (round % 7) {
            case 0: dir.write(fs::relative(folder, root).string() + "/new" + tag + ".txt", "alpha beta gamma\n"); break;
            case 1:
                if (auto f = anyFile()) {
                    // Edited in place with its folder untouched.
                    std::fstream out(*f, std::ios::in | std::ios::out | std::ios::binary);
                    out << "ALPHA beta gamma";
                }
                break;
            case 2:
                if (auto f = anyFile()) fs::rename(*f, f->parent_path() / ("renamed" + tag + ".txt"));
                break;
            case 3:
                if (folder != root) fs::remove_all(folder);
                break;
            case 4:
                // A folder swapped for a link to another folder that holds matches.
                if (folder != root) {
                    fs::remove_all(folder);
                    fs::create_directory_symlink(root / "sub" / "deep", folder);
                }
                break;
            case 5:
                // A new folder where a file was, and one with files of its own.
                if (auto f = anyFile()) {
                    fs::remove(*f);
                    dir.write(fs::relative(*f, root).string() + "/inner.txt", "alpha beta gamma\n");
                }
                break;
            default:
                for (const auto& e : fs::recursive_directory_iterator(root))
                    if (e.is_symlink()) {
                        // A link swapped back for a folder.
                        const fs::path link = e.path();
                        fs::remove(link);
                        dir.write(fs::relative(link, root).string() + "/back.txt", "alpha beta gamma\n");
                        break;
                    }
                break;
        }
        if (round % 3 == 2) settle();
        if (round == 5) {
            ASSERT_TRUE(store->refresh(fileSystem, clock, dir.str()));
        }
        if (round == 8) {
            // A damaged listings file is read as none.
            std::string bytes = test::readFile(listings);
            bytes[bytes.size() / 2] ^= 0x21;
            std::ofstream(listings, std::ios::binary | std::ios::trunc) << bytes;
        }
    }
    // The stored listings were used at all: otherwise the agreement says nothing.
    EXPECT_GT(foldersTaken, 100u);
    EXPECT_GT(passedOver, 100u);
    fs::remove(listings);
}

// A refresh reads only what changed, and what it writes is byte for byte the index a build
// from nothing writes: over rounds of random edits, renames, truncations, deletions and new
// files, settled and not, and from an index with a damaged posting list.
TEST_F(IndexAgreement, ARefreshedIndexIsTheIndexBuiltAfresh) {
    std::mt19937 rng(3737);
    writeTree(rng, 50);
    settle();
    SearchConditions utf8;
    utf8.fallbackEncoding = platform::CodePageId::Windows1252;
    const TextReading reading = TextReading::of(utf8);
    const auto store = index::IndexStore::forRoot(dir.str(), reading);
    ASSERT_TRUE(store->rebuild(fileSystem, clock, dir.str()));
    const fs::path root = dir.path();
    auto someFile = [&] {
        std::vector<fs::path> files;
        for (const auto& e : fs::recursive_directory_iterator(root))
            if (e.is_regular_file()) files.push_back(e.path());
        std::sort(files.begin(), files.end());
        return files[rng() % files.size()];
    };
    for (int round = 0; round < 6; ++round) {
        const int edits = 1 + static_cast<int>(rng() % 6);
        for (int e = 0; e < edits; ++e) {
            const fs::path f = someFile();
            switch (rng() % 6) {
                case 0: {
                    std::fstream out(f, std::ios::in | std::ios::out | std::ios::binary);
                    out.seekp(0);
                    out << "ALPHA";
                    break;
                }
                case 1: fs::resize_file(f, fs::file_size(f) / 2); break;
                case 2: fs::rename(f, root / ("renamed" + std::to_string(round * 10 + e) + ".txt")); break;
                case 3: fs::remove(f); break;
                case 4: dir.write("added" + std::to_string(round * 10 + e) + ".txt", randomText(rng)); break;
                default: {
                    const std::string tmp = f.string() + ".new";
                    std::ofstream(tmp, std::ios::binary) << randomText(rng);
                    fs::rename(tmp, f);
                    break;
                }
            }
        }
        if (round % 2) settle();
        if (round == 4) {
            // A posting list damaged where only its own hash can tell: the refresh builds anew.
            std::string bytes = test::readFile(store->file());
            bytes[bytes.size() - 1 - rng() % 4] ^= 0x5A;
            std::ofstream(store->file(), std::ios::binary | std::ios::trunc) << bytes;
        }
        index::BuildCounts refreshed;
        ASSERT_TRUE(store->refresh(fileSystem, clock, dir.str(), &refreshed));
        index::BuildCounts built;
        const std::string fresh = index::buildIndex(fileSystem, clock, dir.str(), store->scope(), reading, &built);
        ASSERT_EQ(test::readFile(store->file()), fresh) << "round " << round;
        EXPECT_EQ(refreshed.files, built.files);
        if (round != 4) EXPECT_GT(refreshed.kept, built.files / 2) << "round " << round;
        else EXPECT_EQ(refreshed.kept, 0u);
        agree(rng, utf8, 10);
    }
}


// The keeper of a window's index: built after the first search, then kept fresh by the watch
// alone under a stream of edits; every search through it lists what a search without an index
// lists, and once the tree has settled its index is the one a build from nothing makes.
TEST_F(IndexAgreement, TheWatchedIndexFollowsAStreamOfEdits) {
    std::mt19937 rng(4242);
    writeTree(rng, 40);
    settle();
    platform::PosixFileSystem refreshFs;
    IndexKeeper keeper(refreshFs, clock, platform::makeSystemTreeWatch());
    SearchConditions utf8 = formConditions(dir.str());
    utf8.fallbackEncoding = platform::CodePageId::Windows1252;
    EXPECT_EQ(keeper.beforeRun(utf8), nullptr);
    keeper.afterRun();
    keeper.waitForRefresh();
    EXPECT_EQ(keeper.takeStatus(), "Index built: 40 files");
    const fs::path root = dir.path();
    int refreshes = 0;
    for (int round = 0; round < 5; ++round) {
        // A burst of edits, one every few milliseconds, in new folders too.
        for (int e = 0; e < 8; ++e) {
            const std::string name = (e % 3 == 0 ? "burst" + std::to_string(round) + "/" : "") + "f" +
                                     std::to_string(rng() % 12) + ".txt";
            switch (rng() % 4) {
                case 0: fs::remove(root / name); break;
                case 1: {
                    std::ofstream(root / name, std::ios::app) << randomLine(rng) << "\n";
                    break;
                }
                default: dir.write(name, randomText(rng)); break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        // The watch starts the refresh once the edits have settled, without a search.
        const std::uint64_t done = keeper.refreshes();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (keeper.refreshes() == done && std::chrono::steady_clock::now() < deadline) {
            keeper.poll();
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        ASSERT_GT(keeper.refreshes(), done) << "round " << round << ": the watch started no refresh";
        keeper.waitForRefresh();
        ++refreshes;
        for (int q = 0; q < 12; ++q) {
            SearchConditions c = randomQuery(rng, dir.str());
            c.fallbackEncoding = utf8.fallbackEncoding;
            IndexSkip* skip = keeper.beforeRun(c);
            ASSERT_NE(skip, nullptr);
            ASSERT_EQ(search(c, nullptr, 2, skip), search(c, nullptr, 2)) << "round " << round << " query " << q;
            keeper.afterRun();
            keeper.waitForRefresh();
        }
    }
    EXPECT_EQ(refreshes, 5);
    EXPECT_GT(passedOver, 50u);
    // Settled, the index is the one built from nothing.
    settle();
    keeper.poll();
    keeper.waitForRefresh();
    const auto store = index::IndexStore::forRoot(dir.str(), TextReading::of(utf8));
    SearchConditions first = randomQuery(rng, dir.str());
    first.fallbackEncoding = utf8.fallbackEncoding;
    keeper.beforeRun(first);
    keeper.afterRun();
    keeper.waitForRefresh();
    EXPECT_EQ(test::readFile(store->file()),
              index::buildIndex(fileSystem, clock, dir.str(), store->scope(), TextReading::of(utf8)));
}

}  // namespace
}  // namespace vsr::engine
