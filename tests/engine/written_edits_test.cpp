#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "engine/modify/edit_review.h"
#include "engine/modify/modify_preview.h"
#include "modify_fixture.h"
#include "support/kept_edits_model.h"

namespace vsr::engine::test {
namespace {

using vsr::test::applyKept;

std::string randomEditedText(std::mt19937& rng) {
    static const std::vector<std::string> pieces = {"a", "b", "ab", "A", " ", "\n", "\n", "aab", "ba", "_"};
    std::string text;
    const int n = std::uniform_int_distribution<int>(3, 40)(rng);
    for (int i = 0; i < n; ++i) text += pieces[rng() % pieces.size()];
    return text;
}

// A random query of the Search and Replace tab with its modification type and intervals.
void randomEditQuery(std::mt19937& rng, ModifyFixture& f) {
    static const ModificationType types[] = {ModificationType::Replace, ModificationType::Clear,
                                             ModificationType::InsertBefore, ModificationType::InsertAfter,
                                             ModificationType::Delete};
    static const std::vector<std::string> replacements = {"", "X", "<>", "ab", "a b"};
    f.c.modificationType = types[rng() % 5];
    f.c.caseSensitive = rng() % 2;
    f.c.wholeWords = rng() % 3 == 0;
    f.c.phraseIntervals = f.c.regExprIntervals = f.c.eachLineSeparately = false;
    const std::string replace = replacements[rng() % replacements.size()];
    switch (rng() % 3) {
        case 0: {
            static const std::vector<std::string> phrases = {"a", "ab", "b a", "aa"};
            f.phrase(phrases[rng() % phrases.size()], replace);
            f.c.phraseIntervals = rng() % 2;
            break;
        }
        case 1: {
            // One-line expressions go line by line; "\n" makes one go over the whole text.
            static const std::vector<std::string> expressions = {"a+", "(a)(b)", "b a*", "a$", "^b", "a*", "b\\r\\na", "a\\s+b", "a\\r\\n"};
            f.regex({expressions[rng() % expressions.size()]}, {rng() % 2 ? std::string("$2$1") : replace});
            f.c.eachLineSeparately = rng() % 2;
            f.c.regExprIntervals = rng() % 2;
            break;
        }
        default: {
            static const std::vector<std::vector<std::string>> blocks = {{"a", "b"}, {"ab"}, {"b", "", "a"}, {"a", "a"}};
            std::vector<std::string> lines;
            for (std::size_t i = rng() % 3; i > 0; --i) lines.push_back(replacements[rng() % replacements.size()]);
            f.block(blocks[rng() % blocks.size()], lines);
            break;
        }
    }
}

// Over random files, queries, modification types, intervals and subsets of kept edits: the
// bytes Modify writes are the original with exactly the kept edits made, as the review listed
// them, and what the preview shows; a file with all off stays as it was, with no backup, and
// Undo puts back every file the run wrote.
TEST(EditChoice, KeptEditsAreExactlyWhatIsWritten) {
    std::mt19937 rng(20261211);
    int withEdits = 0, partly = 0;
    for (int round = 0; round < 160; ++round) {
        ModifyFixture f;
        randomEditQuery(rng, f);
        f.c.createBackups = rng() % 2;
        f.driver.setThreads(rng() % 3 == 0 ? 3 : 1);
        EditChoice choice;
        struct File {
            std::string name, original, expected;
            bool leftAlone = false;
        };
        std::vector<File> files;
        for (int i = 0; i < 3; ++i) {
            File file{"f" + std::to_string(i) + ".txt", randomEditedText(rng), {}, false};
            const std::size_t row = f.add(file.name, file.original);
            const std::size_t lines = static_cast<std::size_t>(std::count(file.original.begin(), file.original.end(), '\n')) + 1;
            results::ModificationInterval interval;
            if (rng() % 2) interval = {static_cast<std::int32_t>(rng() % (lines + 1)), static_cast<std::int32_t>(rng() % (lines + 1))};
            f.host.list.setInterval(row, interval);
            const FileReview review = reviewRow({f.files, f.attributes, f.clock}, f.host, f.host, f.host.list.row(row), f.c, f.options);
            ASSERT_EQ(f.messages(), std::vector<std::string>{});
            for (std::size_t e = 0; e < review.edits.size(); ++e) ASSERT_EQ(review.edits[e].ordinal, e);
            SkippedEdits& skipped = choice.forFile(f.path(file.name));
            skipped.reviewed = review.hash;
            // The first file keeps all, the second keeps none, the third a random subset.
            if (i == 1) skipped.skipRange(0, review.edits.size());
            if (i == 2)
                for (const ReviewEdit& e : review.edits)
                    if (rng() % 2) skipped.skip(e.ordinal);
            file.leftAlone = !skipped.empty() && skipped.count() == review.edits.size();
            file.expected = file.leftAlone || review.state != PreviewState::Changed
                                ? file.original
                                : applyKept(file.original, review.edits, skipped);
            if (i == 2 && !review.edits.empty()) ++withEdits, partly += !file.leftAlone && !skipped.empty();
            const RowPreview preview = previewRow({f.files, f.attributes, f.clock}, f.host, f.host, f.host.list.row(row), f.c,
                                                  f.options, choice.of(f.path(file.name)));
            if (preview.state == PreviewState::Changed) {
                EXPECT_EQ(preview.content.bytes, file.expected) << "preview " << i;
            }
            files.push_back(file);
        }
        f.driver.setEditChoice(&choice);
        f.modifyAll();
        for (std::size_t i = 0; i < files.size(); ++i) {
            const File& file = files[i];
            SCOPED_TRACE("round " + std::to_string(round) + ", file " + std::to_string(i) + ": " + ::testing::PrintToString(file.original));
            EXPECT_EQ(f.read(file.name), file.expected);
            if (file.leftAlone) {
                EXPECT_EQ(f.host.list.row(i).status, results::RowStatus::LeftUnchanged);
                EXPECT_EQ(f.result(i), "Left Unchanged");
                EXPECT_FALSE(f.exists(file.name + ".bak"));
            }
        }
        for (const UndoEntry& e : f.driver.undoList()) EXPECT_FALSE(files[e.row].leftAlone);
        if (!f.c.createBackups) continue;
        f.driver.UndoReplaceBitClick();
        for (const File& file : files) EXPECT_EQ(f.read(file.name), file.original) << "undo";
    }
    // The rounds must reach what they are for.
    EXPECT_GT(withEdits, 40);
    EXPECT_GT(partly, 20);
}

// A choice made on other bytes does not fall on edits the user never saw: the file fails and
// keeps what it holds.
TEST(EditChoice, FileChangedSinceTheChoiceIsNotModified) {
    ModifyFixture f;
    f.phrase("cat", "dog");
    const std::size_t row = f.add("a.txt", "cat cat cat\n");
    const FileReview review = reviewRow({f.files, f.attributes, f.clock}, f.host, f.host, f.host.list.row(row), f.c, f.options);
    ASSERT_EQ(review.edits.size(), 3u);
    EditChoice choice;
    SkippedEdits& skipped = choice.forFile(f.path("a.txt"));
    skipped.skip(1);
    skipped.reviewed = review.hash;
    f.dir.write("a.txt", "cat cat\ncat\n");
    f.driver.setEditChoice(&choice);
    f.modifyAll();
    EXPECT_EQ(f.read("a.txt"), "cat cat\ncat\n");
    EXPECT_EQ(f.host.list.row(row).status, results::RowStatus::FailedModification);
    EXPECT_EQ(f.driver.failureOf(row), kChangedSinceReview);
}

// What the review shows of an edit: its line, the old and new lines, the change marked without
// the bytes both share.
TEST(EditChoice, ReviewListsLinesAndMarks) {
    struct Case {
        const char* what;
        SearchType type;
        ModificationType modification;
        std::vector<std::string> search, replace;
        std::string file;
        std::vector<ReviewEdit> expected;
    };
    const std::vector<Case> cases = {
        {"phrase, second line", SearchType::Phrase, ModificationType::Replace, {"cat"}, {"dog"}, "x\na cat b\n",
         {{0, 2, 2, {{"a cat b"}, 2, 5}, {{"a dog b"}, 2, 5}}}},
        {"insert before marks only the insertion", SearchType::Phrase, ModificationType::InsertBefore, {"[x"}, {"]"}, "a[xb",
         {{0, 1, 1, {{"a[xb"}, 1, 1}, {{"a][xb"}, 1, 2}}}},
        {"UTF-8 character kept whole", SearchType::Phrase, ModificationType::Replace, {"\xC3\xA9"}, {"\xC3\xA8"}, "\xC3\xA9!",
         {{0, 1, 0, {{"\xC3\xA9!"}, 0, 2}, {{"\xC3\xA8!"}, 0, 2}}}},
        {"expression over two lines", SearchType::RegExpr, ModificationType::Replace, {"b\\r\\nc"}, {"-"}, "ab\ncd\n",
         {{0, 1, 1, {{"ab", "cd"}, 1, 4}, {{"a-d"}, 1, 2}}}},
        {"line end after the last line", SearchType::RegExpr, ModificationType::Delete, {"b\\r\\n"}, {}, "ab\n",
         {{0, 1, 1, {{"ab"}, 1, 2}, {{"a"}, 1, 1}}}},
        {"block deleted", SearchType::Multiline, ModificationType::Delete, {"b", "c"}, {}, "a\nb\nc\nd\n",
         {{0, 2, 0, {{"b", "c"}, 0, 3}, {{}, 0, 0}}}},
        {"block with lines after it", SearchType::Multiline, ModificationType::InsertAfter, {"b"}, {"n"}, "a\nb\n",
         {{0, 2, 0, {{"b"}, 1, 1}, {{"b", "n"}, 1, 3}}}},
    };
    for (const Case& k : cases) {
        ModifyFixture f;
        f.c.searchType = k.type;
        f.c.modificationType = k.modification;
        f.c.searchLines = k.search;
        f.c.replaceLines = k.replace;
        f.c.searchText = k.search[0];
        f.c.replaceText = k.replace.empty() ? "" : k.replace[0];
        const std::size_t row = f.add("a.txt", k.file);
        const FileReview review = reviewRow({f.files, f.attributes, f.clock}, f.host, f.host, f.host.list.row(row), f.c, f.options);
        EXPECT_EQ(review.edits, k.expected) << k.what;
    }
}

}  // namespace
}  // namespace vsr::engine::test
