#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "engine/modify/content_diff.h"
#include "engine/modify/modify_edits.h"
#include "engine/modify/unified_diff.h"
#include "engine/search/recording_host.h"
#include "platform/clock.h"

namespace vsr::engine {
namespace {

using MT = ModificationType;

// A phrase modification run over texts in memory, by modifyContent and by the line model.
struct PhraseRun {
    SearchConditions c;
    RecordingHost host;
    platform::FakeClock clock;
    LineSeparator separator = LineSeparator::Unix;

    PhraseRun(const std::string& search, const std::string& replace, MT type = MT::Replace) {
        c.tab = Tab::SearchAndReplace;
        c.searchType = SearchType::Phrase;
        c.searchText = search;
        c.replaceText = replace;
        c.searchLines = {search};
        c.replaceLines = {replace};
        c.modificationType = type;
        c.caseSensitive = true;
    }
    ModifiedContent content(const std::string& text) {
        ModifyQuery query(c, host, clock);
        ModifyContext context(c, query, host, clock);
        return modifyContent(context, text, {}, separator);
    }
    // The lines split, edited one by one and joined again.
    std::string byLines(const std::string& text, EngineOutcome& outcome) {
        ModifyQuery query(c, host, clock);
        ModifyContext context(c, query, host, clock);
        FileModel model(text);
        outcome = PhraseModify(context, model, {});
        return outcome == EngineOutcome::Done ? joinFileModel(model, separator) : std::string();
    }
};

// Texts of a few short words, so lines repeat and occurrences sit next to each other.
class RandomText {
public:
    explicit RandomText(unsigned seed) : rng_(seed) {}
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool chance(int percent) { return pick(100) < percent; }
    std::string word() {
        static const char* words[] = {"ab", "b", "a", "Ab", "abc", "_a", "x", "ba", "c a", "a b", "\xc3\xa9" "a", "\xc3\x89" "A"};
        return words[pick(12)];
    }
    std::string text(int maxLines, const char* end) {
        std::string s;
        for (int n = pick(maxLines); n > 0; --n) {
            for (int w = pick(4); w > 0; --w) s += word() + (chance(60) ? " " : "");
            s += end;
        }
        if (chance(25) && !s.empty()) s.pop_back();
        return s;
    }

private:
    std::mt19937 rng_;
};

// Splicing the replacements into the bytes gives what editing the lines gives, for every type,
// and is taken exactly for the texts whose line ends the separator keeps.
TEST(SplicedModification, EqualsTheLineModel) {
    static const MT types[] = {MT::Replace, MT::Clear, MT::InsertBefore, MT::InsertAfter, MT::Delete};
    static const char* ends[] = {"\n", "\r\n", "\r"};
    int spliced = 0, other = 0;
    for (unsigned seed = 1; seed <= 1500; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        RandomText r(seed);
        PhraseRun run(r.word(), r.chance(15) ? "" : r.word() + (r.chance(30) ? "\n" : ""), types[r.pick(5)]);
        run.c.caseSensitive = r.chance(50);
        run.c.wholeWords = r.chance(30);
        run.separator = static_cast<LineSeparator>(r.pick(3));
        if (r.chance(40)) run.c.codePage = platform::CodePageId::Utf8;
        std::string text = r.text(12, ends[r.chance(70) ? 0 : r.pick(3)]);
        if (r.chance(5)) text += std::string("\0a\n", 3);
        EngineOutcome outcome{};
        const std::string expected = run.byLines(text, outcome);
        const ModifiedContent got = run.content(text);
        ASSERT_EQ(got.outcome, outcome);
        EXPECT_EQ(got.original, text);
        EXPECT_EQ(got.bytes, expected);
        (got.spliced ? spliced : other)++;
        if (!got.spliced) continue;
        // The edits say exactly where the new bytes came from.
        std::string rebuilt;
        std::size_t copied = 0, growth = 0;
        for (const TextEdit& e : got.edits) {
            rebuilt.append(text, copied, e.offset - copied);
            rebuilt.append(got.bytes, e.offset + growth, e.newLength);
            const std::size_t lineStart = e.offset == 0 ? 0 : text.rfind('\n', e.offset - 1) + 1;
            EXPECT_EQ(e.column, e.offset - lineStart);
            EXPECT_EQ(e.line, static_cast<std::size_t>(std::count(text.begin(), text.begin() + static_cast<long>(e.offset), '\n')));
            copied = e.offset + e.length;
            growth += e.newLength - e.length;
        }
        rebuilt.append(text, copied);
        EXPECT_EQ(rebuilt, got.bytes);
    }
    EXPECT_GT(spliced, 350);
    EXPECT_GT(other, 300);
}

// Whenever the diff is built from the edits, it is byte for byte the diff of the two texts;
// the random texts repeat their lines a lot, so a changed line that could be paired with
// another line turns up often and must be left to the line diff.
TEST(SplicedDiff, EqualsTheLineDiffOrStepsAside) {
    static const MT types[] = {MT::Replace, MT::Clear, MT::InsertBefore, MT::InsertAfter, MT::Delete};
    int fast = 0, refused = 0;
    for (unsigned seed = 1; seed <= 3000; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        RandomText r(seed);
        // An inserted text made of the text's own words can recreate a line found elsewhere.
        const std::string replace = r.chance(50) ? r.word() : r.word() + "#";
        PhraseRun run(r.word(), replace, types[r.pick(5)]);
        run.c.caseSensitive = r.chance(50);
        run.c.wholeWords = r.chance(30);
        if (r.chance(40)) run.c.codePage = platform::CodePageId::Utf8;
        const std::string text = r.text(40, "\n");
        const ModifiedContent content = run.content(text);
        ASSERT_TRUE(content.spliced);
        const int context = r.pick(4);
        const std::string expected = unifiedDiff("f", content.original, content.bytes, context);
        const std::optional<std::string> diff = splicedDiff("f", content, context);
        if (diff) {
            ASSERT_EQ(*diff, expected) << text;
            if (!expected.empty()) ++fast;
        } else {
            ++refused;
        }
        EXPECT_EQ(contentDiff("f", content, context), expected);
    }
    EXPECT_GT(fast, 800);
    EXPECT_GT(refused, 800);
}

TEST(SplicedDiff, HunksFromTheEdits) {
    PhraseRun run("int", "long");
    std::string text;
    for (int i = 1; i <= 30; ++i) text += i == 2 || i == 9 || i == 10 || i == 20 ? "int v" + std::to_string(i) + ";\n" : "line\n";
    text += "int end;";
    const ModifiedContent content = run.content(text);
    ASSERT_TRUE(content.spliced);
    const std::optional<std::string> diff = splicedDiff("d/f.c", content);
    ASSERT_TRUE(diff);
    EXPECT_EQ(*diff,
              "--- a/d/f.c\n+++ b/d/f.c\n"
              "@@ -1,13 +1,13 @@\n line\n-int v2;\n+long v2;\n line\n line\n line\n line\n line\n line\n"
              "-int v9;\n-int v10;\n+long v9;\n+long v10;\n line\n line\n line\n"
              "@@ -17,7 +17,7 @@\n line\n line\n line\n-int v20;\n+long v20;\n line\n line\n line\n"
              "@@ -28,4 +28,4 @@\n line\n line\n line\n-int end;\n\\ No newline at end of file\n+long end;\n"
              "\\ No newline at end of file\n");
    EXPECT_EQ(*diff, unifiedDiff("d/f.c", content.original, content.bytes));
}

// Where the line diff could pair lines otherwise, the edits do not decide the diff.
TEST(SplicedDiff, StepsAsideWhenLinesCouldPairOtherwise) {
    // "ab" becoming "qb" equals the old second line: the best diffs are not one.
    PhraseRun run("a", "q");
    ModifiedContent content = run.content("ab\nqb\nab\n");
    EXPECT_FALSE(splicedDiff("f", content));
    EXPECT_EQ(contentDiff("f", content), unifiedDiff("f", content.original, content.bytes));
    // A deleted occurrence leaves a line that may stand elsewhere already.
    PhraseRun del("x", "", MT::Delete);
    content = del.content("bx\nb\n");
    EXPECT_FALSE(splicedDiff("f", content));
    EXPECT_EQ(contentDiff("f", content), "--- a/f\n+++ b/f\n@@ -1,2 +1,2 @@\n-bx\n+b\n b\n");
    // A line feed put in moves the lines after it.
    PhraseRun split("x", "y\nz");
    content = split.content("axb\nc\n");
    EXPECT_FALSE(splicedDiff("f", content));
    EXPECT_EQ(contentDiff("f", content), unifiedDiff("f", content.original, content.bytes));
    // More changed lines than the line diff searches a best answer for.
    PhraseRun many("a", "Z");
    std::string text;
    for (int i = 0; i < 1600; ++i) text += i % 3 ? "a\n" : "b\n";
    text += "a\n";
    content = many.content(text);
    EXPECT_FALSE(splicedDiff("f", content));
    EXPECT_EQ(contentDiff("f", content), unifiedDiff("f", content.original, content.bytes));
}

}  // namespace
}  // namespace vsr::engine
