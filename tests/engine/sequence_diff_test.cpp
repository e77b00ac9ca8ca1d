#include <gtest/gtest.h>

#include <random>
#include <unordered_map>

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

// Lines are first compared by a hash; a hash that collides all the time (here: the length)
// must not change the answer, only its speed.
TEST(SequenceDiff, CollidingLineHashesGiveTheExactAnswer) {
    std::mt19937 rng(5);
    const std::vector<std::string_view> words = {"ab", "cd", "ef", "x", "y", "long line"};
    auto byLength = [](std::string_view line) { return static_cast<std::uint64_t>(line.size()); };
    for (int round = 0; round < 500; ++round) {
        std::vector<std::string_view> a(rng() % 20), b(rng() % 20);
        for (auto& l : a) l = words[rng() % words.size()];
        for (auto& l : b) l = words[rng() % words.size()];
        std::unordered_map<std::string_view, std::uint32_t> ids;
        auto number = [&](const std::vector<std::string_view>& lines) {
            Seq out;
            for (std::string_view l : lines) out.push_back(ids.try_emplace(l, static_cast<std::uint32_t>(ids.size())).first->second);
            return out;
        };
        const Seq na = number(a), nb = number(b);
        const auto changes = diffLines(a, b, byLength);
        ASSERT_EQ(applyAndCount(na, nb, changes), lcsLength(na, nb)) << "round " << round;
        EXPECT_EQ(changes, diffLines(a, b)) << "round " << round;
    }
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

// Applies a unified diff strictly: every hunk must start at the line its header names, and its
// context and removed lines must be there byte for byte. Returns false when anything is off.
bool applyStrictly(const std::string& before, const std::string& diff, std::string& after) {
    const std::vector<std::string_view> old = splitDiffLines(before);
    std::vector<std::string_view> lines = splitDiffLines(diff);
    std::size_t at = 2;  // past the two name lines
    std::size_t copied = 0;
    after.clear();
    while (at < lines.size()) {
        std::string_view header = lines[at++];
        if (!header.starts_with("@@ -")) return false;
        std::size_t start = std::stoul(std::string(header.substr(4)));
        const std::size_t comma = header.find(',');
        const std::size_t space = header.find(' ', 4);
        const std::size_t count = comma < space ? std::stoul(std::string(header.substr(comma + 1))) : 1;
        if (count > 0) --start;  // the header names the line before an empty range
        if (start < copied || start > old.size()) return false;
        for (; copied < start; ++copied) after += old[copied];
        while (at < lines.size() && !lines[at].starts_with("@@")) {
            std::string_view body = lines[at++];
            std::string text(body.substr(1));
            // A marker means the line before it had no line feed.
            if (at < lines.size() && lines[at].starts_with("\\ ")) {
                text.pop_back();
                ++at;
            }
            if (body[0] == '+') {
                after += text;
                continue;
            }
            if (copied >= old.size() || old[copied] != text) return false;
            if (body[0] == ' ') after += text;
            ++copied;
        }
    }
    for (; copied < old.size(); ++copied) after += old[copied];
    return true;
}

// Random texts of few distinct lines (CR inside lines, no last line feed) and edits near each
// other, far apart, at either end and all over: every diff applies strictly and gives the new
// text, with hunks numbered from the start of the file however much of it is left out.
TEST(UnifiedDiff, RandomEditsApplyExactly) {
    std::mt19937 rng(11);
    const char* pieces[] = {"a", "b", "static int x;", "", "\r", "c\r", "  }"};
    auto line = [&] { return std::string(pieces[rng() % 7]) + (rng() % 9 == 0 ? "" : "\n"); };
    for (int round = 0; round < 4000; ++round) {
        std::vector<std::string> a(rng() % 40);
        for (auto& l : a) {
            l = line();
            if (l.empty() || l.back() != '\n') l += '\n';
        }
        std::vector<std::string> b;
        const int mode = static_cast<int>(rng() % 3);
        for (std::size_t i = 0; i < a.size(); ++i) {
            const bool edit = mode == 0 ? rng() % 6 == 0 : mode == 1 ? (i == 0 || i + 1 == a.size()) : rng() % 2 == 0;
            if (!edit) b.push_back(a[i]);
            else if (rng() % 3 == 0) continue;
            else {
                b.push_back(line());
                if (rng() % 2) b.push_back(a[i]);
            }
        }
        std::string before, after;
        for (const auto& l : a) before += l;
        for (const auto& l : b) after += l;
        if (rng() % 4 == 0 && !before.empty()) before.pop_back();
        if (rng() % 4 == 0 && !after.empty()) after.pop_back();
        const int context = static_cast<int>(rng() % 4);
        const std::string diff = unifiedDiff("f", before, after, context);
        if (before == after) {
            EXPECT_TRUE(diff.empty());
            continue;
        }
        std::string patched;
        ASSERT_TRUE(applyStrictly(before, diff, patched)) << "round " << round << "\n" << diff;
        ASSERT_EQ(patched, after) << "round " << round << "\n" << diff;
    }
}

// A change deep in a long file is numbered from the file's first line, with its context.
TEST(UnifiedDiff, ChangeFarIntoTheFileKeepsItsLineNumbers) {
    std::string before, after;
    for (int i = 1; i <= 1000; ++i) {
        before += "line " + std::to_string(i) + "\n";
        after += i == 700 ? "changed\n" : "line " + std::to_string(i) + "\n";
    }
    EXPECT_EQ(unifiedDiff("f", before, after),
              "--- a/f\n+++ b/f\n@@ -697,7 +697,7 @@\n line 697\n line 698\n line 699\n-line 700\n+changed\n"
              " line 701\n line 702\n line 703\n");
}

}  // namespace
}  // namespace vsr::engine
