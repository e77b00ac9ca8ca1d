#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <random>

#include "engine/modify/content_diff.h"
#include "engine/query/compiled_query.h"
#include "engine/modify/modify_edits.h"
#include "engine/modify/unified_diff.h"
#include "engine/search/recording_host.h"
#include "platform/clock.h"
#include "support/heap_in_use.h"

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
        ModifyContext context(c, query, host, host, clock);
        return modifyContent(context, text, {}, separator);
    }
    // What a dry run makes of the text, which it keeps itself, given where a search found the
    // phrase or not.
    ModifiedContent edits(std::string_view text, const std::vector<Occurrence>* found = nullptr) {
        ModifyQuery query(c, host, clock);
        ModifyContext context(c, query, host, host, clock);
        ModifiedContent content;
        modifyEdits(context, text, content, {}, separator, found);
        return content;
    }
    // Where a search's count finds the phrase; nothing when its query notes no occurrences.
    std::optional<std::vector<Occurrence>> counted(std::string_view text) {
        const CompiledQuery query(c);
        std::unique_ptr<QueryMatcher> matcher = query.matcher();
        std::vector<Occurrence> found;
        matcher->noteOccurrences(&found);
        std::vector<std::int64_t> counts;
        matcher->count(text, counts, true);
        if (!query.notesOccurrences()) return std::nullopt;
        return found;
    }
    // The lines split, edited one by one and joined again.
    std::string byLines(const std::string& text, EngineOutcome& outcome) {
        ModifyQuery query(c, host, clock);
        ModifyContext context(c, query, host, host, clock);
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

// "S" or "S,L" of a hunk's range: its first line and count.
bool parseRange(const std::string& text, std::size_t& at, long& first, long& count) {
    char* end = nullptr;
    first = std::strtol(text.c_str() + at, &end, 10);
    count = 1;
    if (*end == ',') count = std::strtol(end + 1, &end, 10);
    at = static_cast<std::size_t>(end - text.c_str());
    return true;
}

// `diff` (one file's unified diff) applied to `before` as patch applies it, without fuzz: each
// hunk at the line it names, every context and removed line checked against the old text, the
// counts of its range line checked. Nothing when it does not apply.
std::optional<std::string> applyDiff(std::string_view before, std::string_view diff) {
    auto split = [](std::string_view text) {
        std::vector<std::string> lines;
        for (std::size_t p = 0; p < text.size();) {
            const std::size_t lf = text.find('\n', p);
            const std::size_t end = lf == std::string_view::npos ? text.size() : lf + 1;
            lines.emplace_back(text.substr(p, end - p));
            p = end;
        }
        return lines;
    };
    const std::vector<std::string> old = split(before);
    const std::vector<std::string> lines = split(diff);
    if (lines.size() < 3 || !lines[0].starts_with("--- ") || !lines[1].starts_with("+++ ")) return std::nullopt;
    std::string out;
    std::size_t used = 0;  // old lines copied or consumed
    for (std::size_t i = 2; i < lines.size();) {
        long a = 0, b = 0, c = 0, d = 0;
        std::size_t at = 4;
        if (!lines[i].starts_with("@@ -")) return std::nullopt;
        parseRange(lines[i], at, a, b);
        if (lines[i].compare(at, 2, " +") != 0) return std::nullopt;
        at += 2;
        parseRange(lines[i], at, c, d);
        const std::size_t start = static_cast<std::size_t>(b == 0 ? a : a - 1);
        if (start < used || start > old.size()) return std::nullopt;
        for (; used < start; ++used) out += old[used];
        // Where the hunk starts in the new text.
        const long newLines = static_cast<long>(std::count(out.begin(), out.end(), '\n'));
        const long newFirst = d == 0 ? newLines : newLines + 1;
        // The hunk's lines, each with its sign; a note takes the line feed off the line before.
        std::vector<std::pair<char, std::string>> hunk;
        for (++i; i < lines.size() && !lines[i].starts_with("@@"); ++i) {
            const std::string& l = lines[i];
            if (l == "\\ No newline at end of file\n") {
                if (hunk.empty() || hunk.back().second.empty() || hunk.back().second.back() != '\n') return std::nullopt;
                hunk.back().second.pop_back();
            } else if (!l.empty() && (l[0] == ' ' || l[0] == '-' || l[0] == '+') && l.back() == '\n') {
                hunk.emplace_back(l[0], l.substr(1));
            } else {
                return std::nullopt;
            }
        }
        long seenOld = 0, seenNew = 0;
        for (const auto& [sign, text] : hunk) {
            if (sign != '-') ++seenNew;
            if (sign == '+') {
                out += text;
                continue;
            }
            ++seenOld;
            if (used >= old.size() || old[used] != text) return std::nullopt;
            if (sign == ' ') out += text;
            ++used;
        }
        if (seenOld != b || seenNew != d || c != newFirst) return std::nullopt;
    }
    for (; used < old.size(); ++used) out += old[used];
    return out;
}

// Splicing the replacements into the bytes gives what editing the lines gives, for every type,
// and is taken exactly for the texts whose line ends the separator keeps.
TEST(SplicedModification, EqualsTheLineModel) {
    static const MT types[] = {MT::Replace, MT::Clear, MT::InsertBefore, MT::InsertAfter, MT::Delete};
    static const char* ends[] = {"\n", "\r\n", "\r"};
    int spliced = 0, other = 0, bytesLeftOut = 0, foundUsed = 0;
    for (unsigned seed = 1; seed <= 1500; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        RandomText r(seed);
        PhraseRun run(r.word(), r.chance(15) ? "" : r.word() + (r.chance(30) ? "\n" : ""), types[r.pick(5)]);
        run.c.caseSensitive = r.chance(50);
        run.c.wholeWords = r.chance(30);
        run.separator = static_cast<LineSeparator>(r.pick(3));
        if (r.chance(40)) run.c.textEncoding = platform::CodePageId::Utf8;
        std::string text = r.text(12, ends[r.chance(70) ? 0 : r.pick(3)]);
        if (r.chance(5)) text += std::string("\0a\n", 3);
        EngineOutcome outcome{};
        const std::string expected = run.byLines(text, outcome);
        const ModifiedContent got = run.content(text);
        ASSERT_EQ(got.outcome, outcome);
        EXPECT_EQ(got.original, text);
        EXPECT_EQ(got.bytes, expected);
        // A dry run's look at the same text: the same edits, without the bytes where they
        // alone say them.
        const ModifiedContent viewed = run.edits(text);
        ASSERT_EQ(viewed.outcome, got.outcome);
        EXPECT_EQ(viewed.spliced, got.spliced);
        EXPECT_EQ(viewed.changed(), got.changed());
        EXPECT_EQ(viewed.bytesMade, !(got.spliced && spliceDiffable(text, got)));
        if (viewed.bytesMade) {
            EXPECT_EQ(viewed.original, text);
            EXPECT_EQ(viewed.bytes, got.bytes);
        } else {
            EXPECT_TRUE(viewed.original.empty() && viewed.bytes.empty());
            bytesLeftOut++;
        }
        // Given where the search's count found the phrase, the dry run does not scan again and
        // makes the same edits; given occurrences that are not, it does scan.
        if (const std::optional<std::vector<Occurrence>> found = run.counted(text); found && viewed.spliced) {
            ASSERT_EQ(found->size(), viewed.edits.size());
            for (std::size_t k = 0; k < found->size(); ++k) {
                EXPECT_EQ((*found)[k].begin, viewed.edits[k].offset);
                EXPECT_EQ((*found)[k].end, viewed.edits[k].offset + viewed.edits[k].length);
            }
            const ModifiedContent reused = run.edits(text, &*found);
            EXPECT_EQ(reused.inserted, viewed.inserted);
            EXPECT_EQ(reused.edits.size(), viewed.edits.size());
            EXPECT_EQ(contentDiff("f", text, reused), contentDiff("f", text, viewed));
            std::vector<Occurrence> wrong = *found;
            if (!wrong.empty()) {
                wrong.back().begin += 1;
                EXPECT_EQ(contentDiff("f", text, run.edits(text, &wrong)), contentDiff("f", text, viewed));
                ++foundUsed;
            }
        }
        if (got.spliced) {
            EXPECT_EQ(viewed.inserted, got.inserted);
            ASSERT_EQ(viewed.edits.size(), got.edits.size());
            for (std::size_t k = 0; k < got.edits.size(); ++k) {
                EXPECT_EQ(viewed.edits[k].offset, got.edits[k].offset);
                EXPECT_EQ(viewed.edits[k].length, got.edits[k].length);
                EXPECT_EQ(viewed.edits[k].newLength, got.edits[k].newLength);
            }
        }
        if (outcome == EngineOutcome::Done) {
            EXPECT_EQ(contentDiff("f", text, viewed), contentDiff("f", got));
        }
        (got.spliced ? spliced : other)++;
        if (!got.spliced) continue;
        // The edits say exactly where the new bytes came from.
        std::string rebuilt;
        std::size_t copied = 0, taken = 0;
        for (const TextEdit& e : got.edits) {
            rebuilt.append(text, copied, e.offset - copied);
            rebuilt.append(got.inserted, taken, e.newLength);
            const std::size_t lineStart = e.offset == 0 ? 0 : text.rfind('\n', e.offset - 1) + 1;
            EXPECT_EQ(e.column, e.offset - lineStart);
            EXPECT_EQ(e.line, static_cast<std::size_t>(std::count(text.begin(), text.begin() + static_cast<long>(e.offset), '\n')));
            copied = e.offset + e.length;
            taken += e.newLength;
        }
        EXPECT_EQ(taken, got.inserted.size());
        rebuilt.append(text, copied);
        EXPECT_EQ(rebuilt, got.bytes);
        EXPECT_EQ(got.changed(), got.bytes != text);
    }
    EXPECT_GT(spliced, 350);
    EXPECT_GT(other, 300);
    EXPECT_GT(bytesLeftOut, 250);
    EXPECT_GT(foundUsed, 150);
}

// The diff built from the edits turns the old text into the new one, as patch applies it; where
// the line diff has only one best answer (no inserted text anywhere in the old text, none empty,
// and no more changed lines than it searches a best answer for) it is that answer, byte for byte.
// The random texts repeat their lines a lot, so lines that could be paired otherwise turn up often.
TEST(SplicedDiff, AppliesAndIsTheLineDiffWhereThatIsUnique) {
    static const MT types[] = {MT::Replace, MT::Clear, MT::InsertBefore, MT::InsertAfter, MT::Delete};
    int unique = 0, other = 0;
    for (unsigned seed = 1; seed <= 3000; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        RandomText r(seed);
        // An inserted text made of the text's own words can recreate a line found elsewhere.
        const std::string replace = r.chance(50) ? r.word() : r.word() + "#";
        PhraseRun run(r.word(), replace, types[r.pick(5)]);
        run.c.caseSensitive = r.chance(50);
        run.c.wholeWords = r.chance(30);
        if (r.chance(40)) run.c.textEncoding = platform::CodePageId::Utf8;
        const std::string text = r.text(40, "\n");
        const ModifiedContent content = run.content(text);
        ASSERT_TRUE(content.spliced);
        const int context = r.pick(4);
        const std::optional<std::string> diff = splicedDiff("f", text, content, context);
        ASSERT_EQ(diff.has_value(), spliceDiffable(text, content));
        if (!diff) continue;
        EXPECT_EQ(contentDiff("f", content, context), *diff);
        if (!content.changed()) {
            EXPECT_EQ(*diff, "");
            continue;
        }
        const std::optional<std::string> applied = applyDiff(text, *diff);
        ASSERT_TRUE(applied) << text << *diff;
        EXPECT_EQ(*applied, content.bytes);
        bool lineDiffUnique = true;
        for (std::size_t k = 0, taken = 0; k < content.edits.size(); taken += content.edits[k++].newLength) {
            const std::string_view inserted = std::string_view(content.inserted).substr(taken, content.edits[k].newLength);
            if (inserted.empty() || text.find(inserted) != std::string::npos) lineDiffUnique = false;
        }
        if (lineDiffUnique) {
            EXPECT_EQ(*diff, unifiedDiff("f", text, content.bytes, context));
            ++unique;
        } else {
            ++other;
        }
    }
    EXPECT_GT(unique, 800);
    EXPECT_GT(other, 800);
}

// Lines of every length around the sixteen or thirty-two bytes the diff copies at a time, the
// last with or without its line feed: the diff from the edits is the line diff's one answer.
TEST(SplicedDiff, LinesOfEveryLength) {
    std::mt19937 rng(7);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    for (int round = 0; round < 800; ++round) {
        SCOPED_TRACE(round);
        std::string text;
        for (int n = 1 + pick(30); n > 0; --n) {
            for (int k = pick(pick(2) ? 40 : 80); k > 0; --k) text += pick(12) == 0 ? 'a' : "xy -"[pick(4)];
            text += '\n';
        }
        if (pick(2)) text.pop_back();
        PhraseRun run("a", pick(3) ? "Q" : "QQQQQQQQQQQQQQQQQQQQ");
        const ModifiedContent content = run.content(text);
        const int context = pick(4);
        const std::optional<std::string> diff = splicedDiff("f", text, content, context);
        ASSERT_TRUE(diff);
        EXPECT_EQ(*diff, unifiedDiff("f", text, content.bytes, context));
    }
}

TEST(SplicedDiff, HunksFromTheEdits) {
    PhraseRun run("int", "long");
    std::string text;
    for (int i = 1; i <= 30; ++i) text += i == 2 || i == 9 || i == 10 || i == 20 ? "int v" + std::to_string(i) + ";\n" : "line\n";
    text += "int end;";
    const ModifiedContent content = run.content(text);
    ASSERT_TRUE(content.spliced);
    const std::optional<std::string> diff = splicedDiff("d/f.c", text, content);
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

// Lines the line diff could pair otherwise are still paired with their own new versions, and
// the diff applies; the edits step aside only where they do not tell the new lines.
TEST(SplicedDiff, PairsEachLineWithItsNewVersion) {
    // "ab" becoming "qb" equals the old second line.
    PhraseRun run("a", "q");
    ModifiedContent content = run.content("ab\nqb\nab\n");
    EXPECT_EQ(contentDiff("f", content), "--- a/f\n+++ b/f\n@@ -1,3 +1,3 @@\n-ab\n+qb\n qb\n-ab\n+qb\n");
    // A deleted occurrence leaves a line that may stand elsewhere already.
    PhraseRun del("x", "", MT::Delete);
    content = del.content("bx\nb\n");
    EXPECT_EQ(contentDiff("f", content), "--- a/f\n+++ b/f\n@@ -1,2 +1,2 @@\n-bx\n+b\n b\n");
    // More changed lines than the line diff searches a best answer for.
    PhraseRun many("a", "Z");
    std::string text;
    for (int i = 0; i < 1600; ++i) text += i % 3 ? "a\n" : "b\n";
    text += "a";
    content = many.content(text);
    const std::optional<std::string> diff = splicedDiff("f", text, content);
    ASSERT_TRUE(diff);
    EXPECT_EQ(applyDiff(text, *diff), content.bytes);
    // Edits that put back what they took out change nothing.
    PhraseRun same("b", "b");
    content = same.content("abc\nb\n");
    EXPECT_FALSE(content.changed());
    EXPECT_EQ(splicedDiff("f", "abc\nb\n", content), "");
}

TEST(SplicedDiff, StepsAsideWhereTheEditsDoNotTellTheLines) {
    // A line feed put in moves the lines after it.
    PhraseRun split("x", "y\nz");
    const std::string text = "axb\nc\n";
    ModifiedContent content = split.content(text);
    EXPECT_FALSE(splicedDiff("f", text, content));
    EXPECT_EQ(contentDiff("f", content), unifiedDiff("f", text, content.bytes));
    ModifiedContent viewed = split.edits(text);
    EXPECT_TRUE(viewed.bytesMade);
    EXPECT_EQ(contentDiff("f", text, viewed), contentDiff("f", content));
    // A last line without a line feed that is emptied is gone, not changed.
    PhraseRun del("x", "", MT::Delete);
    content = del.content("a\nx");
    EXPECT_FALSE(splicedDiff("f", "a\nx", content));
    EXPECT_EQ(contentDiff("f", content), "--- a/f\n+++ b/f\n@@ -1,2 +1 @@\n a\n-x\n\\ No newline at end of file\n");
    viewed = del.edits("a\nx");
    EXPECT_TRUE(viewed.bytesMade);
    EXPECT_EQ(viewed.bytes, "a\n");
    // One that keeps some of its bytes is changed in place.
    content = del.content("a\nxy");
    EXPECT_EQ(splicedDiff("f", "a\nxy", content),
              "--- a/f\n+++ b/f\n@@ -1,2 +1,2 @@\n a\n-xy\n\\ No newline at end of file\n+y\n\\ No newline at end of file\n");
    EXPECT_FALSE(del.edits("a\nxy").bytesMade);
    // A NUL byte put in makes the texts binary.
    PhraseRun nul("x", std::string("\0", 1));
    content = nul.content("axb\n");
    EXPECT_FALSE(splicedDiff("f", "axb\n", content));
    EXPECT_EQ(contentDiff("f", nul.edits("axb\n")), "Binary files a/f and b/f differ\n");
}

// The NUL bytes and CRs that keep the edits from being spliced are looked for while the edits
// are found: one such byte anywhere (before the first occurrence, between two, inside one, after
// the last; early or late in the pieces the bytes are looked at in) sends the text, with line ends
// written as LF, down the line model, whether the search's occurrences are given or not.
TEST(SplicedModification, SeesANulOrCrWhereverItIs) {
    PhraseRun run("static int", "static long");
    std::string text;
    for (int line = 0; line < 24; ++line) {
        text += std::string(static_cast<std::size_t>(5 + line * 7 % 60), 'a' + line % 26);
        text += line % 3 == 0 ? " static int f();\n" : " other\n";
    }
    const std::optional<std::vector<Occurrence>> clean = run.counted(text);
    ASSERT_TRUE(clean && !clean->empty());
    int spliced = 0;
    for (std::size_t at = 0; at <= text.size(); ++at) {
        for (const char odd : {'\r', '\0'}) {
            // `at` past the end puts no odd byte in: the text is spliced.
            std::string bytes = text;
            if (at < text.size()) bytes[at] = odd;
            SCOPED_TRACE(std::to_string(at) + (odd == '\r' ? " CR" : " NUL"));
            EngineOutcome outcome{};
            const std::string expected = run.byLines(bytes, outcome);
            ASSERT_EQ(outcome, EngineOutcome::Done);
            const ModifiedContent got = run.content(bytes);
            EXPECT_EQ(got.spliced, at == text.size());
            EXPECT_EQ(got.bytes, expected);
            const std::optional<std::vector<Occurrence>> found = run.counted(bytes);
            for (const std::vector<Occurrence>* given : {static_cast<const std::vector<Occurrence>*>(nullptr),
                                                         found ? &*found : nullptr, &*clean}) {
                const ModifiedContent viewed = run.edits(bytes, given);
                ASSERT_EQ(viewed.outcome, EngineOutcome::Done);
                EXPECT_EQ(viewed.spliced, at == text.size());
                EXPECT_EQ(viewed.changed(), expected != bytes);
                EXPECT_EQ(contentDiff("f", bytes, viewed), unifiedDiff("f", bytes, expected));
            }
            spliced += got.spliced;
        }
    }
    EXPECT_EQ(spliced, 2);
}

// A diff of very many changed lines leaves none of its working memory to the thread that made it.
TEST(SplicedDiff, GivesBackTheMemoryOfALargeDiff) {
    PhraseRun run("a", "b");
    std::string text;
    for (int i = 0; i < 300000; ++i) text += "a\n";
    const ModifiedContent content = run.content(text);
    using vsr::test::heapInUse;
    ASSERT_TRUE(vsr::test::heapSees(4u << 20)) << "the heap must be measurable for this bound to mean anything";
    const std::size_t before = heapInUse();
    {
        const std::string diff = contentDiff("f", text, content);
        EXPECT_EQ(diff.size(), std::string("--- a/f\n+++ b/f\n@@ -1,300000 +1,300000 @@\n").size() + 300000u * 6u);
    }
    EXPECT_LT(heapInUse(), before + (1u << 20));
}

}  // namespace
}  // namespace vsr::engine
