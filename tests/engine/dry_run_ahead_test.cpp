// A dry run whose files were modified during the search, by the threads that read them, comes
// out exactly as a dry run whose driver reads and modifies every file itself: the same diffs in
// the same order, the same rows, the same messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <sys/stat.h>

#include "engine/modify/content_diff.h"
#include "engine/modify/listed_modifications.h"
#include "engine/modify/modify_driver.h"
#include "engine/modify/modify_preview.h"
#include "engine/search/recording_host.h"
#include "engine/search/search_driver.h"
#include "platform/attribute_changer.h"
#include "platform/clock.h"
#include "durable/file_store.h"
#include "platform/locale_formats.h"
#include "platform/posix_file_system.h"
#include "platform/type_names.h"
#include "support/temp_dir.h"

namespace vsr::engine {
namespace {

namespace fs = std::filesystem;
using MT = ModificationType;

// A recording host that tells of each row the moment it is listed, and marks the messages the
// search shows while `searching`, outside onRow.
struct ListingHost : RecordingHost {
    void rowFound(results::ResultItem row, const std::vector<std::int64_t>& counts) override {
        RecordingHost::rowFound(std::move(row), counts);
        if (!onRow) return;
        searching = false;
        onRow(list.count() - 1);
        searching = true;
    }
    void messageBox(const std::string& caption, const std::string& text, MessageIcon icon) override {
        RecordingHost::messageBox(caption, (searching ? "search " : "") + text, icon);
    }
    std::function<void(std::size_t)> onRow;
    bool searching = false;
};

// The real file system and disk under a recording host, as a search and its dry run share them.
struct Machine {
    platform::PosixFileSystem fs;
    platform::SteadyClock clock;
    platform::FakeLocaleFormats formats;
    platform::FakeTypeNames types;
    ListingHost host;
    durable::PosixFileStore disk;
    platform::PosixAttributeChanger attributes;
    SearchDriver searchDriver() { return SearchDriver({fs, clock, formats, types}, host); }
};

// Replace "alpha" by "omega" in the files under `path`, from the Search and Replace tab.
SearchConditions alphaToOmega(const std::string& path) {
    SearchConditions c = formConditions(path);
    c.tab = Tab::SearchAndReplace;
    c.searchText = "alpha";
    c.replaceText = "omega";
    c.modificationType = MT::Replace;
    return c;
}

struct Outcome {
    std::vector<std::string> proposals;  // "row: diff" of every file the run would rewrite
    std::vector<std::string> results;    // "name: Result" of every row
    std::vector<std::string> messages;
    bool operator==(const Outcome&) const = default;
};

void PrintTo(const Outcome& o, std::ostream* os) {
    for (const std::string& p : o.proposals) *os << "\n  proposal " << p;
    for (const std::string& r : o.results) *os << "\n  row " << r;
    for (const std::string& m : o.messages) *os << "\n  message " << m;
}

// A run that took the rows as they were listed gives the same diffs, messages and rows as one
// that took them after the search, except that a message ending the modification ended the
// search with it: its list may then stop short, at a row no later than the message's.
testing::AssertionResult sameAsListed(const Outcome& listed, const Outcome& after) {
    Outcome head = after;
    const bool modificationMessage = std::any_of(after.messages.begin(), after.messages.end(),
                                                 [](const std::string& m) { return !m.starts_with("search "); });
    if (listed.results.size() < after.results.size() && modificationMessage)
        head.results.resize(listed.results.size());
    if (listed == head) return testing::AssertionSuccess();
    return testing::AssertionFailure() << testing::PrintToString(listed) << "\nafter the search:"
                                       << testing::PrintToString(after);
}


// How the dry run is made: the search's threads and whether they modify ahead (with a cap on
// what they keep), the driver's threads, and whether the driver takes each row as it is listed.
struct Way {
    int searchThreads = 1;
    bool ahead = false;
    std::size_t cap = 64u << 20;
    int modifyThreads = 1;
    bool asListed = false;
};

// One random tree and modification, the same for every seed each time.
struct RandomCase {
    unsigned seed;

    void build(const vsr::test::TempDir& dir, SearchConditions& c, ModifyOptions& o,
               std::optional<results::ModificationInterval>& interval) const {
        std::mt19937 rng(seed);
        auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
        c = formConditions(dir.str());
        c.tab = Tab::SearchAndReplace;
        c.masks = "*.*";
        c.caseSensitive = pick(2) == 0;
        const int kind = pick(3);
        const std::string replace = pick(8) == 0 ? std::string(kMaxReplaceText + 1, 'r') : pick(2) ? "[$1]" : "Zed";
        if (kind == 0) {
            c.searchType = SearchType::Phrase;
            c.searchText = pick(2) ? "alpha" : "a b";
            c.replaceText = replace;
            c.phraseIntervals = pick(4) == 0;
        } else if (kind == 1) {
            c.searchType = SearchType::RegExpr;
            static const char* expressions[] = {"al(p)ha", "^b", "a\\s+b", "(x|beta)$"};
            c.searchLines = {expressions[pick(4)]};
            c.replaceLines = {replace};
            c.eachLineSeparately = pick(2) == 0;
            c.regExprIntervals = pick(3) == 0;
        } else {
            c.searchType = SearchType::Multiline;
            c.searchLines = pick(2) ? std::vector<std::string>{"beta"} : std::vector<std::string>{"alpha", "beta"};
            c.replaceLines = {"one", "two"};
        }
        static const MT types[] = {MT::Replace, MT::Clear, MT::InsertBefore, MT::InsertAfter, MT::Delete};
        c.modificationType = types[pick(5)];
        if (kind == 1 && c.modificationType == MT::Clear) c.modificationType = MT::Delete;
        c.createBackups = pick(2) == 0;
        o.separator = static_cast<LineSeparator>(pick(3));
        o.replaceReadOnly = pick(2) == 0;
        o.replaceHidden = pick(2) == 0;
        if (c.intervalsInUse() || pick(4) == 0) interval = results::ModificationInterval{pick(3), pick(3) * 4};

        static const char* lines[] = {"alpha beta", "a b", "beta", "", "x alpha alpha", "\tbeta", "a  b beta"};
        static const char* ends[] = {"\n", "\r\n", "\r"};
        const int count = 3 + pick(25);
        for (int i = 0; i < count; ++i) {
            const std::string name = (pick(8) == 0 ? "." : "") + std::string("f") + std::to_string(i) + ".txt";
            std::string bytes;
            const int mixed = pick(4);
            for (int n = pick(14); n > 0; --n) bytes += std::string(lines[pick(7)]) + ends[mixed == 3 ? pick(3) : mixed];
            if (pick(6) == 0) bytes.insert(bytes.size() / 2, std::string("alpha\0beta\n", 11));
            if (pick(5) == 0 && !bytes.empty()) bytes.pop_back();
            const fs::path path = dir.write((pick(3) == 0 ? "sub/" : "") + name, bytes);
            const int special = pick(14);
            if (special == 0) ::chmod(path.c_str(), 0444);
            if (special == 1 && i > 0 && fs::exists(dir.path() / "f0.txt")) {
                // Another name of an earlier file: modified once, under the first name listed.
                fs::remove(path);
                fs::create_hard_link(dir.path() / "f0.txt", path);
            }
            if (special == 2 && i > 1 && fs::exists(dir.path() / "f1.txt")) {
                fs::remove(path);
                fs::create_symlink(dir.path() / "f1.txt", path);
            }
        }
    }

    Outcome run(const Way& way, std::size_t* taken = nullptr) const {
        vsr::test::TempDir dir;
        SearchConditions c;
        ModifyOptions o;
        std::optional<results::ModificationInterval> interval;
        build(dir, c, o, interval);

        Machine sys;
        const std::string root = dir.str();
        ContentStep step = [root](const std::string& path, std::string_view before, const ModifiedContent& content) {
            return contentDiff(path.substr(root.size()), before, content);
        };
        std::optional<ListedModifications> ahead;
        SearchDriver search = sys.searchDriver();
        search.setThreads(way.searchThreads);
        if (way.ahead) {
            ahead.emplace(ListedModifications::Setup{c, o, interval.value_or(results::ModificationInterval{}), step,
                                                     sys.disk, sys.attributes, way.cap});
            search.setListedFileStep(&*ahead);
        }
        Outcome out;
        results::ResultList& list = sys.host.list;
        DryRunStore store(sys.disk, [](const DryRunStore::Proposal& p) { ADD_FAILURE() << "staged " << p.path; });
        ModifyDriver driver({store, sys.attributes, sys.clock}, sys.host);
        driver.setThreads(way.modifyThreads);
        driver.setContentStep(step);
        driver.setDryRun(
            [&](std::size_t row, const std::string& note) { out.proposals.push_back(std::to_string(row) + ": " + note); },
            ahead ? &*ahead : nullptr);
        // Taken as listed, the run begins before the search; its messages come during it.
        const bool listed = way.asListed && driver.beginListed(c, o);
        if (listed)
            sys.host.onRow = [&](std::size_t row) {
                if (interval) list.setInterval(row, *interval);
                if (taken && ahead && ahead->has(list.row(row).fullName(), list.row(row).interval)) ++*taken;
                driver.modifyListed(row);
            };
        sys.host.searching = true;
        search.FindButtonClick(c);
        sys.host.searching = false;
        sys.host.onRow = nullptr;
        if (listed) {
            driver.endListed();
        } else {
            for (std::size_t i = 0; i < list.count(); ++i) {
                if (interval) list.setInterval(i, *interval);
                if (taken && ahead && ahead->has(list.row(i).fullName(), list.row(i).interval)) ++*taken;
            }
            driver.Modify(ModifyScope::All, c, o);
        }
        for (std::size_t i = 0; i < list.count(); ++i)
            out.results.push_back(list.row(i).name + ": " + list.row(i).result + " " + driver.failureOf(i));
        // The search's messages, then the modification's (which a run taking rows as listed
        // shows during the search).
        for (const RecordingHost::Message& m : sys.host.messages) out.messages.push_back(m.text);
        std::stable_partition(out.messages.begin(), out.messages.end(),
                              [](const std::string& m) { return m.starts_with("search "); });
        return out;
    }
};

TEST(DryRunAhead, RandomTreesComeOutAsTheDriverAloneMakesThem) {
    std::size_t takenInAll = 0, proposals = 0;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const RandomCase random{seed};
        const Outcome alone = random.run({});
        proposals += alone.proposals.size();
        std::size_t taken = 0;
        EXPECT_EQ(random.run({1, true}, &taken), alone);
        takenInAll += taken;
        EXPECT_EQ(random.run({3, true, 64u << 20, 2}), alone);
        // Past the cap the driver reads and modifies the files itself, on one thread or more.
        EXPECT_EQ(random.run({2, true, 700, 1}), alone);
        EXPECT_EQ(random.run({2, true, 0, 3}), alone);
        // Each row taken the moment it is listed, modified ahead or not.
        EXPECT_TRUE(sameAsListed(random.run({2, true, 64u << 20, 1, true}), alone));
        EXPECT_TRUE(sameAsListed(random.run({2, true, 700, 1, true}), alone));
        EXPECT_TRUE(sameAsListed(random.run({1, false, 0, 1, true}), alone));
    }
    EXPECT_GT(proposals, 100u);
    EXPECT_GT(takenInAll, 200u);  // the search did modify most rows
}

// The modification the search makes of a file is the driver's own: each fast path of the engine
// (the phrase spliced into the bytes, the diff built from the edits) and each slow one.
TEST(DryRunAhead, EachPathOfAPhraseAgrees) {
    std::string many;
    for (int i = 0; i < 3000; ++i) many += i % 7 == 0 ? "alpha and alpha\n" : "line\n";
    const std::vector<std::pair<std::string, std::string>> files = {
        {"splice.txt", "one alpha\ntwo\nalpha three\n"},
        {"cr.txt", "alpha\r\nbeta\r\n"},             // CR kept: lines split and joined
        {"nul.txt", std::string("alpha\0alpha\n", 12)},  // NUL tail: Binary files differ
        {"last.txt", "no end alpha"},
        {"many.txt", many},
        {"paired.txt", "alpha\nomega\n"},  // the new line equals an old one: the line diff pairs them
    };
    for (LineSeparator separator : {LineSeparator::Unix, LineSeparator::Windows}) {
        std::vector<std::string> diffs[2];
        for (int ahead = 0; ahead < 2; ++ahead) {
            vsr::test::TempDir dir;
            for (const auto& [name, bytes] : files) dir.write(name, bytes);
            SearchConditions c = alphaToOmega(dir.str());
            c.masks = "*.*";
            ModifyOptions o;
            o.separator = separator;
            Machine sys;
            ContentStep step = [](const std::string& path, std::string_view before, const ModifiedContent& content) {
                return contentDiff(platform::fileNamePart(path), before, content);
            };
            ListedModifications listed({c, o, {}, step, sys.disk, sys.attributes});
            SearchDriver search = sys.searchDriver();
            search.setThreads(2);
            if (ahead) search.setListedFileStep(&listed);
            search.FindButtonClick(c);
            ASSERT_EQ(sys.host.list.count(), files.size());
            for (const results::ResultItem& row : sys.host.list.rows())
                EXPECT_EQ(listed.has(row.fullName(), row.interval), ahead == 1) << row.name;
            DryRunStore store(sys.disk, [](const DryRunStore::Proposal&) {});
            ModifyDriver driver({store, sys.attributes, sys.clock}, sys.host);
            driver.setContentStep(step);
            driver.setDryRun([&](std::size_t, const std::string& note) { diffs[ahead].push_back(note); }, &listed);
            driver.Modify(ModifyScope::All, c, o);
            EXPECT_EQ(listed.heldBytes(), 0u);
        }
        EXPECT_EQ(diffs[1], diffs[0]);
        EXPECT_EQ(diffs[0].size(), files.size());
    }
}

// Files the search did not hold whole are left to the driver: a regular expression's read ends
// at the first NUL byte.
TEST(DryRunAhead, AFileReadOnlyUpToItsNulIsLeftToTheDriver) {
    vsr::test::TempDir dir;
    dir.write("bin.txt", std::string("alpha\n\0alpha\n", 13));
    dir.write("text.txt", "alpha\n");
    SearchConditions c = formConditions(dir.str());
    c.tab = Tab::SearchAndReplace;
    c.masks = "*.*";
    c.searchType = SearchType::RegExpr;
    c.searchLines = {"alpha"};
    c.replaceLines = {"beta"};
    c.modificationType = MT::Replace;
    Machine sys;
    ListedModifications listed({c, {}, {}, nullptr, sys.disk, sys.attributes});
    SearchDriver search = sys.searchDriver();
    search.setListedFileStep(&listed);
    search.FindButtonClick(c);
    ASSERT_EQ(sys.host.list.count(), 2u);
    EXPECT_FALSE(listed.has((dir.path() / "bin.txt").string(), {}));
    EXPECT_TRUE(listed.has((dir.path() / "text.txt").string(), {}));
    // Made for another interval, it is not the row's.
    EXPECT_FALSE(listed.take((dir.path() / "text.txt").string(), {2, 3}).has_value());
    EXPECT_TRUE(listed.take((dir.path() / "text.txt").string(), {}).has_value());
}

// The search's Stop ends a long modification midway, and what it cut short is not kept.
TEST(DryRunAhead, TheSearchsStopEndsTheWorkAndKeepsNothing) {
    vsr::test::TempDir dir;
    std::string text;
    for (int i = 0; i < 20000; ++i) text += "alpha alpha alpha\n";
    const std::string path = dir.write("big.txt", text).string();
    SearchConditions c = alphaToOmega(dir.str());
    durable::PosixFileStore disk;
    platform::PosixAttributeChanger attributes;
    int diffs = 0;
    ListedModifications listed({c, {}, {}, [&](const std::string&, std::string_view, const ModifiedContent&) {
                                    ++diffs;
                                    return std::string("diff");
                                }, disk, attributes});
    std::unique_ptr<ListedFileStep::Worker> worker = listed.makeWorker();
    const std::string_view bytes = text;
    // Stopped before the file: nothing is done.
    worker->listed(path, platform::FileInfo{}, &bytes, nullptr, [] { return true; });
    EXPECT_FALSE(listed.has(path, {}));
    // Stopped when the engine first looks: it gives up, and nothing is kept.
    int looks = 0;
    worker->listed(path, platform::FileInfo{}, &bytes, nullptr, [&] { return ++looks > 1; });
    EXPECT_GT(looks, 1);
    EXPECT_FALSE(listed.has(path, {}));
    EXPECT_EQ(diffs, 0);
    // Not stopped: the same worker does the whole file.
    worker->listed(path, platform::FileInfo{}, &bytes, nullptr, [] { return false; });
    EXPECT_TRUE(listed.has(path, {}));
    EXPECT_EQ(diffs, 1);
    // Bytes the search did not hold whole are not modified.
    const std::string other = dir.write("other.txt", "alpha\n").string();
    worker->listed(other, platform::FileInfo{}, nullptr, nullptr, [] { return false; });
    EXPECT_FALSE(listed.has(other, {}));
}

// What is kept stays under the cap; the rest is left to the driver.
TEST(DryRunAhead, WhatIsKeptStaysUnderTheCap) {
    vsr::test::TempDir dir;
    SearchConditions c = alphaToOmega(dir.str());
    durable::PosixFileStore disk;
    platform::PosixAttributeChanger attributes;
    const std::size_t cap = 4000;
    ListedModifications listed({c, {}, {}, [](const std::string&, std::string_view before, const ModifiedContent&) {
                                    return std::string(before.size(), 'd');
                                }, disk, attributes, cap});
    std::unique_ptr<ListedFileStep::Worker> worker = listed.makeWorker();
    const std::string text(300, 'x');
    const std::string alpha = "alpha\n" + text;
    const std::string_view bytes = alpha;
    int kept = 0;
    for (int i = 0; i < 20; ++i) {
        const std::string path = dir.write("f" + std::to_string(i), alpha).string();
        worker->listed(path, platform::FileInfo{}, &bytes, nullptr, [] { return false; });
        EXPECT_LE(listed.heldBytes(), cap);
        kept += listed.has(path, {});
    }
    EXPECT_GT(kept, 3);
    EXPECT_LT(kept, 20);
    // Taking one makes room for another.
    const std::string first = (dir.path() / "f0").string();
    const std::size_t before = listed.heldBytes();
    ASSERT_TRUE(listed.take(first, {}).has_value());
    EXPECT_LT(listed.heldBytes(), before);
    worker->listed(first, platform::FileInfo{}, &bytes, nullptr, [] { return false; });
    EXPECT_TRUE(listed.has(first, {}));
}

}  // namespace
}  // namespace vsr::engine
