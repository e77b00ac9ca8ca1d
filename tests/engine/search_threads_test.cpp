// A search shared out over several threads must tell its host exactly what a single-threaded
// run tells it: the same rows in the same order with the same texts, the same messages and the
// same closing state, on random trees and every query type; and a stopped run keeps a prefix
// of the single-threaded rows.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <random>
#include <set>
#include <sstream>
#include <thread>

#include "backtrack_limit_guard.h"
#include "search_fixture.h"

namespace vsr::engine {
namespace {

using test::SearchFixture;

// Files named "*gone*" were listed but are gone when read or looked at, as when another
// program deletes them during the run.
class VanishingFileSystem final : public platform::FileSystem {
public:
    explicit VanishingFileSystem(platform::FileSystem& inner) : inner_(inner) {}
    bool listDirectory(const std::string& dir, std::vector<platform::DirEntry>& out) override {
        return inner_.listDirectory(dir, out);
    }
    bool stat(const std::string& path, platform::FileInfo& out) override {
        return !gone(path) && inner_.stat(path, out);
    }
    platform::ReadStatus readFile(const std::string& path, platform::FileBuffer& buffer, std::uint64_t maxSize) override {
        if (gone(path)) return platform::ReadStatus::Failed;
        return inner_.readFile(path, buffer, maxSize);
    }

private:
    static bool gone(const std::string& path) { return platform::fileNamePart(path).find("gone") != std::string::npos; }
    platform::FileSystem& inner_;
};

const char* const kWords[] = {"alpha", "beta", "Gamma", "delta", "alphabet", "be", "ta", "x=1;", "y = 2;"};

std::string randomText(std::mt19937& rng) {
    std::uniform_int_distribution<int> lines(0, 12), words(0, 6), pick(0, std::size(kWords) - 1), sep(0, 9);
    std::string text;
    const int n = lines(rng);
    for (int l = 0; l < n; ++l) {
        const int w = words(rng);
        for (int i = 0; i < w; ++i) {
            if (i) text += sep(rng) == 0 ? "\t" : " ";
            text += kWords[pick(rng)];
        }
        const int end = sep(rng);
        text += end == 0 ? "\r\n" : end == 1 ? "\r" : "\n";
        if (sep(rng) == 0) text.push_back('\0');  // reading stops here
    }
    return text;
}

// A random tree of nested folders: text files, empty files, files that can't be read or vanish,
// folders that can't be listed and entries that are neither (links to folders, FIFOs).
void buildTree(platform::FakeFileSystem& fs, std::mt19937& rng, const std::string& dir, int depth) {
    std::uniform_int_distribution<int> entries(0, 14), kind(0, 19);
    const int n = entries(rng);
    for (int i = 0; i < n; ++i) {
        const std::string name = dir + "/e" + std::to_string(i);
        const int k = kind(rng);
        if (k < 3 && depth < 4) {
            fs.addDirectory(name, kind(rng) != 0);
            buildTree(fs, rng, name, depth + 1);
        } else if (k == 3) {
            fs.addFile(name + ".txt", "");
        } else if (k == 4) {
            fs.addSizedFile(name + ".txt", 100);  // listed, but reading fails
        } else if (k == 5) {
            fs.addFile(name + "gone.txt", "alpha beta");
        } else if (k == 6) {
            fs.addOther(name + ".lnk");
        } else if (k == 7) {
            fs.addFile(name + ".bin", randomText(rng));
        } else {
            fs.addFile(name + ".txt", randomText(rng));
        }
    }
}

struct Query {
    QueryType type;
    std::vector<std::string> lines;
    bool wholeWords = false;
    bool caseSensitive = false;
    bool dotAll = false;
};

std::vector<Query> queries() {
    return {
        {QueryType::Phrase, {"alpha"}},
        {QueryType::Phrase, {"beta"}, true},
        {QueryType::Phrase, {""}},
        {QueryType::WordsOr, {"alpha beta ta"}},
        {QueryType::WordsAnd, {"alpha Gamma"}, false, true},
        {QueryType::SearchEngine, {"+alpha -delta \"be ta\""}},
        {QueryType::SearchEngine, {"-delta"}},
        {QueryType::Multiline, {"alpha", "beta"}},
        {QueryType::RegExpr, {"(\\w+)\\s*=\\s*(\\w+);"}},
        {QueryType::RegExpr, {"a.*?a"}},
        {QueryType::RegExpr, {"beta", "Gamma"}, false, false, true},
        {QueryType::RegExpr, {"ab(c"}},  // refused at the first file that reaches the matcher
    };
}

// Everything the host was told, as text.
std::string transcript(const SearchFixture& f) {
    std::ostringstream out;
    for (const results::ResultItem& r : f.host.list.rows())
        out << r.fullName() << '|' << r.found << '|' << r.size << '|' << r.time << '|' << r.attributes << '|'
            << r.result << '\n';
    for (const auto& m : f.host.messages) out << "message " << m.caption << ": " << m.text << '\n';
    for (const std::string& s : f.host.status) out << "status " << s << '\n';
    out << "found " << f.host.state.foundFiles << " stopped " << f.host.summary.stopped << " foundColumn "
        << !f.host.list.foundColumnAbsent() << " selected " << f.host.selectedCharacter << '\n';
    return out.str();
}

struct ThreadedSearch : SearchFixture {
    VanishingFileSystem vanishing{fs};
    SearchDriver threaded{{vanishing, clock, formats, types}, host};

    void set(const Query& q) {
        conditions.queryType = q.type;
        conditions.findText = q.lines.front();
        conditions.findLines = q.lines;
        conditions.wholeWords = q.wholeWords;
        conditions.caseSensitive = q.caseSensitive;
        conditions.dotMatchesAll = q.dotAll;
    }
    // Threads 0 here: one thread, working on the caller's, as a run without a window does.
    std::string runWith(int threads) {
        host.windowless = threads == 0;
        threaded.setThreads(threads == 0 ? 1 : threads);
        host.messages.clear();
        host.selectedCharacter = 0;
        SearchConditions c = conditions;
        threaded.FindButtonClick(c);
        return transcript(*this);
    }
};

TEST(SearchThreads, EveryThreadCountTellsTheHostWhatOneThreadDoes) {
    for (unsigned seed = 1; seed <= 12; ++seed) {
        ThreadedSearch f;
        std::mt19937 rng(seed);
        buildTree(f.fs, rng, "/data", 0);
        f.conditions.masks = seed % 3 == 0 ? "*.txt" : "*.*";
        f.conditions.sizeFilter = seed % 4 == 0;
        f.conditions.sizeValue = 1;
        for (const Query& q : queries()) {
            f.set(q);
            const std::string single = f.runWith(1);
            for (int threads : {0, 2, 4, 8})
                EXPECT_EQ(f.runWith(threads), single) << "seed " << seed << " query " << q.lines.front() << " threads "
                                                       << threads;
        }
        // Search in Results walks the rows of the last run.
        f.set({QueryType::WordsOr, {"beta delta"}});
        f.runWith(1);
        f.conditions.searchInResults = true;
        f.set({QueryType::Phrase, {"alpha"}});
        const std::string single = f.runWith(1);
        for (int threads : {0, 2, 8}) {
            f.set({QueryType::WordsOr, {"beta delta"}});
            f.conditions.searchInResults = false;
            f.runWith(threads);
            f.conditions.searchInResults = true;
            f.set({QueryType::Phrase, {"alpha"}});
            EXPECT_EQ(f.runWith(threads), single) << "seed " << seed << " in results, threads " << threads;
        }
    }
}

TEST(SearchThreads, AFileThatEndsTheRunEndsItAtTheSamePlace) {
    test::BacktrackLimitGuard budget(100000);
    ThreadedSearch f;
    for (int i = 0; i < 60; ++i) {
        const std::string name = "/data/f" + std::to_string(100 + i) + ".txt";
        // One file in the middle is too complex for the expression; the files after it are
        // examined by other threads meanwhile, but never listed.
        f.fs.addFile(name, i == 30 ? std::string(30, 'a').append("!\n") : "aaaa\n");
    }
    f.set({QueryType::RegExpr, {"^(a+)+$"}});
    const std::string single = f.runWith(1);
    EXPECT_EQ(f.host.list.count(), 30u);
    EXPECT_EQ(f.host.messages.size(), 1u);
    for (int threads : {0, 2, 4, 8}) EXPECT_EQ(f.runWith(threads), single) << threads;
}

std::vector<std::string> rowNames(const SearchFixture& f) {
    std::vector<std::string> out;
    for (const results::ResultItem& r : f.host.list.rows()) out.push_back(r.fullName() + ":" + r.found);
    return out;
}

bool isPrefix(const std::vector<std::string>& part, const std::vector<std::string>& whole) {
    return part.size() <= whole.size() && std::equal(part.begin(), part.end(), whole.begin());
}

TEST(SearchThreads, StopKeepsAPrefixOfTheSingleThreadedRows) {
    ThreadedSearch f;
    std::mt19937 rng(99);
    for (int i = 0; i < 3; ++i) buildTree(f.fs, rng, "/data", 0);
    for (int i = 0; i < 300; ++i) f.fs.addFile("/data/z" + std::to_string(i) + ".txt", "alpha\n");
    f.set({QueryType::Phrase, {"alpha"}});
    f.runWith(1);
    const std::vector<std::string> all = rowNames(f);
    ASSERT_GT(all.size(), 300u);

    // Stop pressed while the host takes rows: exactly the rows taken so far stay.
    f.clock.setStepPerRead(20);  // every slot finds 15 ms gone, so the host pumps before each
    std::uniform_int_distribution<std::size_t> at(0, all.size());
    for (int round = 0; round < 20; ++round) {
        const std::size_t stopAt = at(rng);
        f.host.onPump = [&] {
            if (f.host.list.count() >= stopAt) f.threaded.StopFindBitSClick();
        };
        f.runWith(round % 3 == 0 ? 0 : round % 2 ? 4 : 2);
        const std::vector<std::string> kept = rowNames(f);
        EXPECT_TRUE(isPrefix(kept, all)) << "stop at " << stopAt;
        EXPECT_EQ(kept.size(), std::min(stopAt, all.size())) << "stop at " << stopAt;
        EXPECT_EQ(f.host.state.foundFiles, static_cast<long long>(kept.size()));
    }

    // Stop pressed from another thread at a random moment, as a signal handler or a second
    // window might: whatever stays is still a prefix.
    f.host.onPump = nullptr;
    f.clock.setStepPerRead(0);
    std::uniform_int_distribution<int> delayUs(0, 3000);
    for (int round = 0; round < 20; ++round) {
        const int delay = delayUs(rng);
        std::thread presser([&] {
            std::this_thread::sleep_for(std::chrono::microseconds(delay));
            f.host.state.stop = true;
        });
        f.runWith(round % 3 == 0 ? 0 : round % 2 ? 8 : 2);
        presser.join();
        EXPECT_TRUE(isPrefix(rowNames(f), all)) << "delay " << delay;
    }
}

TEST(SearchThreads, HostPumpsWhileAThreadIsBusyAndStopEndsTheRun) {
    ThreadedSearch f;
    f.fs.addFile("/data/a.txt", "x\n");
    f.fs.addFile("/data/b.txt", std::string(48, 'a') + "cb");
    f.fs.addFile("/data/c.txt", "x\n");
    f.set({QueryType::RegExpr, {"(a|aa)+b|x"}});
    f.clock.setStepPerRead(20);
    // Without Stop the match in b.txt would run for minutes: the host keeps pumping, and Stop
    // pressed there ends it with the row before it kept.
    int pumps = 0;
    f.host.onPump = [&] {
        if (++pumps == 50) f.host.state.stop = true;
    };
    const auto began = std::chrono::steady_clock::now();
    f.runWith(4);
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(20));
    EXPECT_EQ(rowNames(f), (std::vector<std::string>{"/data/a.txt:1"}));
    EXPECT_TRUE(f.host.summary.stopped);
}

}  // namespace
}  // namespace vsr::engine
