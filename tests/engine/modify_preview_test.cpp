#include <gtest/gtest.h>

#include <random>

#include "engine/modify/modify_preview.h"
#include "modify_fixture.h"

namespace vsr::engine {
namespace {

using test::ModifyFixture;
using MT = ModificationType;

// Random small texts over a few letters, so phrases, blocks and expressions match often, with
// every kind of line end, files without a final line end and files with a NUL byte.
class RandomFiles {
public:
    explicit RandomFiles(unsigned seed) : rng_(seed) {}
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool chance(int percent) { return pick(100) < percent; }

    std::string word() {
        static const char* words[] = {"ab", "b", "a", "Ab", "abc", "_a", "x", "ba", "c a"};
        return words[pick(9)];
    }
    std::string line() {
        std::string s;
        for (int n = pick(5); n > 0; --n) s += word() + (chance(70) ? " " : "");
        return s;
    }
    std::string file() {
        std::string s;
        static const char* ends[] = {"\n", "\r\n", "\r"};
        const int mixed = pick(4);  // 3: every line picks its own end
        for (int n = pick(9); n > 0; --n) {
            s += line();
            s += ends[mixed == 3 ? pick(3) : mixed];
        }
        if (chance(30) && !s.empty()) s.pop_back();
        if (chance(10)) s.insert(static_cast<std::size_t>(pick(static_cast<int>(s.size()) + 1)), std::string("\0ab\n", 4));
        return s;
    }

    // Conditions of a random run of any search type and modification type.
    void conditions(ModifyFixture& f) {
        static const MT types[] = {MT::Replace, MT::Clear, MT::InsertBefore, MT::InsertAfter, MT::Delete};
        const int kind = pick(3);
        if (kind == 0) {
            f.phrase(word(), chance(20) ? "" : word() + "#");
        } else if (kind == 1) {
            static const char* expressions[] = {"a+b", "(a|b)c?", "^a", "b$", "a.b", "\\w+", "b\\r?\\na", "x*", "(a)(b)"};
            static const char* templates[] = {"[$0]", "<$1>", "", "y\r\nz", "\\$"};
            std::vector<std::string> replace{templates[pick(5)]};
            if (chance(20)) replace.push_back("second");
            f.regex({expressions[pick(9)]}, replace);
            f.c.eachLineSeparately = chance(50);
            f.c.dotMatchesAll = chance(30);
        } else {
            std::vector<std::string> query{line()};
            if (chance(60)) query.push_back(line());
            std::vector<std::string> replace;
            for (int n = pick(3); n > 0; --n) replace.push_back(line());
            f.block(query, replace);
            f.c.trimLeading = chance(50);
            f.c.trimTrailing = chance(50);
        }
        f.c.modificationType = types[pick(5)];
        if (kind == 1 && f.c.modificationType == MT::Clear) f.c.modificationType = MT::Replace;
        f.c.caseSensitive = chance(50);
        f.c.wholeWords = chance(30);
        f.c.phraseIntervals = chance(40);
        f.c.regExprIntervals = chance(40);
        f.options.separator = static_cast<LineSeparator>(pick(3));
    }
    results::ModificationInterval interval() {
        switch (pick(4)) {
            case 0: return {0, 0};
            case 1: return {-1, -1};
            default: return {pick(6), pick(8)};
        }
    }

private:
    std::mt19937 rng_;
};

// The heart of the preview: for every type, interval and separator it gives the very bytes
// Modify then writes, and says "unchanged" exactly when Modify leaves the file alone.
TEST(ModifyPreview, EqualsWhatModifyWrites) {
    int changed = 0, unchanged = 0, failed = 0, refused = 0;
    for (unsigned seed = 1; seed <= 600; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        RandomFiles r(seed);
        ModifyFixture f;
        r.conditions(f);
        const std::string before = r.file();
        const std::size_t row = f.add("t.txt", before);
        f.host.list.setInterval(row, r.interval());

        const RowPreview preview = previewRow({f.files, f.attributes, f.clock}, f.host, row, f.c, f.options);
        ASSERT_NE(preview.state, PreviewState::Stopped);
        f.modifyAll();
        EXPECT_EQ(preview.state == PreviewState::Refused, modifyRefusal(f.c) != nullptr || !f.host.messages.empty());
        const std::string after = f.read("t.txt");
        switch (preview.state) {
            case PreviewState::Changed:
                ++changed;
                EXPECT_EQ(preview.content.original, before);
                EXPECT_EQ(preview.content.bytes, after);
                EXPECT_NE(after, before);
                break;
            case PreviewState::Unchanged:
                ++unchanged;
                EXPECT_EQ(after, before);
                break;
            case PreviewState::Refused:
                ++refused;
                EXPECT_EQ(after, before);
                break;
            default:
                ++failed;
                EXPECT_EQ(after, before);
                EXPECT_EQ(f.host.list.row(row).status, results::RowStatus::FailedModification);
        }
    }
    // The random runs reach every outcome, or the test proves little.
    EXPECT_GT(changed, 150);
    EXPECT_GT(unchanged, 50);
    EXPECT_GT(failed, 5);
    EXPECT_GT(refused, 5);
}

TEST(ModifyPreview, RefusesWhatModifyRefusesAndWritesNothing) {
    ModifyFixture f;
    f.phrase("a", "b");
    const std::size_t row = f.add("ro.txt", "a\n");
    ::chmod(f.path("ro.txt").c_str(), 0444);
    const std::size_t missing = f.list("gone.txt");
    ModifyEnv env{f.files, f.attributes, f.clock};
    EXPECT_EQ(previewRow(env, f.host, row, f.c, f.options).state, PreviewState::Refused);
    EXPECT_EQ(previewRow(env, f.host, missing, f.c, f.options).state, PreviewState::Refused);
    // Allowed by the options (with backups), the same file previews its change, still untouched.
    f.c.createBackups = true;
    f.options.replaceReadOnly = true;
    const RowPreview allowed = previewRow(env, f.host, row, f.c, f.options);
    EXPECT_EQ(allowed.state, PreviewState::Changed);
    EXPECT_EQ(allowed.content.bytes, "b\n");
    EXPECT_EQ(f.read("ro.txt"), "a\n");
    EXPECT_EQ(test::modeOf(f.path("ro.txt")), 0444u);
    EXPECT_FALSE(f.exists("ro.txt.bak"));
}

// A whole Modify All through the dry-run store: the proposals are the bytes the real run writes,
// and the disk is left exactly as it was (no file, no backup, no mark changed).
TEST(ModifyPreview, DryRunStoreProposesTheRealRewrites) {
    ModifyFixture f;
    f.phrase("ab", "X");
    f.c.createBackups = true;
    f.add("one.txt", "ab ab\r\nc");
    f.add("two.txt", "none\n");
    f.add("three.txt", std::string("ab\0ab\n", 6));
    std::vector<std::pair<std::string, std::string>> proposed;
    DryRunStore dry(f.files, [&](const DryRunStore::Proposal& p) {
        proposed.emplace_back(p.path, std::string(p.bytes));
        EXPECT_EQ(std::string(p.oldBytes), f.read(std::filesystem::path(p.path).filename().string()));
    });
    ModifyDriver dryDriver({dry, f.attributes, f.clock}, f.host);
    dryDriver.Modify(ModifyScope::All, f.c, f.options);
    EXPECT_FALSE(dryDriver.undoEnabled());
    EXPECT_FALSE(f.exists("one.txt.bak"));
    ASSERT_EQ(proposed.size(), 2u);

    f.modifyAll();
    EXPECT_EQ(proposed[0].first, f.path("one.txt"));
    EXPECT_EQ(proposed[0].second, f.read("one.txt"));
    EXPECT_EQ(proposed[1].first, f.path("three.txt"));
    EXPECT_EQ(proposed[1].second, f.read("three.txt"));
}

}  // namespace
}  // namespace vsr::engine
