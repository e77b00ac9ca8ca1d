#include <gtest/gtest.h>

#include <random>

#include "engine/modify/sequence_diff.h"
#include "engine/modify/unified_diff.h"

namespace vsr::engine {
namespace {

using Seq = std::vector<std::uint32_t>;

// The length of a longest common subsequence, by the textbook table.
std::size_t lcsLength(const Seq& a, const Seq& b) {
    std::vector<std::vector<std::size_t>> t(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 1; i <= a.size(); ++i)
        for (std::size_t j = 1; j <= b.size(); ++j)
            t[i][j] = a[i - 1] == b[j - 1] ? t[i - 1][j - 1] + 1 : std::max(t[i - 1][j], t[i][j - 1]);
    return t[a.size()][b.size()];
}

// Checks that the changes turn `a` into `b` and returns how many symbols they keep.
std::size_t applyAndCount(const Seq& a, const Seq& b, const std::vector<DiffChange>& changes) {
    Seq rebuilt;
    std::size_t ai = 0, kept = 0;
    for (const DiffChange& c : changes) {
        EXPECT_LE(ai, c.aBegin);
        EXPECT_EQ(c.aBegin - ai, c.bBegin - rebuilt.size()) << "the equal stretch before a change";
        for (; ai < c.aBegin; ++ai, ++kept) rebuilt.push_back(a[ai]);
        EXPECT_TRUE(c.aBegin < c.aEnd || c.bBegin < c.bEnd) << "an empty change";
        rebuilt.insert(rebuilt.end(), b.begin() + static_cast<long>(c.bBegin), b.begin() + static_cast<long>(c.bEnd));
        ai = c.aEnd;
    }
    for (; ai < a.size(); ++ai, ++kept) rebuilt.push_back(a[ai]);
    EXPECT_EQ(rebuilt, b);
    return kept;
}

TEST(SequenceDiff, RandomSequencesGetAMinimalCorrectScript) {
    std::mt19937 rng(7);
    for (int round = 0; round < 3000; ++round) {
        const int alphabet = 1 + static_cast<int>(rng() % 4);
        Seq a(rng() % 30), b;
        for (auto& x : a) x = rng() % alphabet;
        // b is an edited a, or unrelated.
        if (rng() % 4 == 0) {
            b.resize(rng() % 30);
            for (auto& x : b) x = rng() % alphabet;
        } else {
            for (std::uint32_t x : a) {
                if (rng() % 5 == 0) continue;
                if (rng() % 5 == 0) b.push_back(rng() % alphabet);
                b.push_back(x);
            }
        }
        const auto changes = diffSymbols(a, b);
        ASSERT_EQ(applyAndCount(a, b, changes), lcsLength(a, b)) << "round " << round;
        for (std::size_t i = 1; i < changes.size(); ++i) EXPECT_LT(changes[i - 1].aEnd, changes[i].aBegin);
    }
}

// A file changed on every line, and one with changes everywhere among equal lines, stay cheap
// and exact: the bounded search falls back to comparing position by position.
TEST(SequenceDiff, EveryLineChangedIsPairedLineByLine) {
    Seq a(200000), b(200000);
    for (std::uint32_t i = 0; i < a.size(); ++i) {
        a[i] = i % 3 == 0 ? 2 * i : 7;
        b[i] = i % 3 == 0 ? 2 * i + 1 : 7;
    }
    const auto changes = diffSymbols(a, b);
    EXPECT_EQ(applyAndCount(a, b, changes), a.size() - (a.size() + 2) / 3);
}

TEST(UnifiedDiff, HeadersNamesAndEmptyRanges) {
    EXPECT_EQ(unifiedDiff("x", "same\n", "same\n"), "");
    EXPECT_EQ(unifiedDiff("x", "a\n", ""), "--- a/x\n+++ b/x\n@@ -1 +0,0 @@\n-a\n");
    EXPECT_EQ(unifiedDiff("x", "a\nb\n", "a\nn\nb\n"), "--- a/x\n+++ b/x\n@@ -1,2 +1,3 @@\n a\n+n\n b\n");
    EXPECT_EQ(unifiedDiff("d/x y", "a", "b"),
              "--- \"a/d/x y\"\n+++ \"b/d/x y\"\n@@ -1 +1 @@\n-a\n\\ No newline at end of file\n+b\n"
              "\\ No newline at end of file\n");
    EXPECT_EQ(diffFileName("a/", "q\"\\\t\xc3\xa9"), "\"a/q\\\"\\\\\\t\\303\\251\"");
    EXPECT_EQ(unifiedDiff("bin", std::string("a\0", 2), "b"), "Binary files a/bin and b/bin differ\n");
}

}  // namespace
}  // namespace vsr::engine
