// The index file: what is written is read back, damage anywhere is seen, and the folding the
// index relies on is the search's own.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <map>
#include <random>
#include <set>

#include "engine/index/index_build.h"
#include "engine/index/index_reader.h"
#include "engine/index/index_text.h"
#include "engine/index/index_writer.h"
#include "platform/clock.h"
#include "platform/fake_file_system.h"
#include "support/temp_dir.h"

namespace vsr::engine::index {
namespace {

struct Model {
    std::map<std::string, std::pair<FileIdentity, std::uint32_t>> files;
    std::map<std::uint32_t, std::set<std::uint32_t>> postings;
};

IndexScope testScope() { return {"/data/tree", platform::CodePageId::Utf8, platform::CodePageId::Windows1251, 1000}; }

struct RandomFile {
    std::string name;
    FileIdentity identity;
    std::uint32_t flags;
    std::vector<std::uint32_t> grams;
};

std::vector<RandomFile> randomFiles(std::mt19937& rng, int files) {
    std::set<std::string> names;
    while (static_cast<int>(names.size()) < files) names.insert("d" + std::to_string(rng() % 9) + "/f" + std::to_string(rng() % 1000));
    std::vector<RandomFile> out;
    for (const std::string& name : names) {
        FileIdentity identity{rng(), rng(), rng() % 5000, static_cast<std::int64_t>(rng()), static_cast<std::int64_t>(rng())};
        const std::uint32_t flags = rng() % 5 ? kTextKnown : 0;
        std::set<std::uint32_t> grams;
        const int n = static_cast<int>(rng() % 40);
        for (int i = 0; i < n; ++i) grams.insert(rng() % 2 ? rng() % 64 : rng() & 0xFFFFFF);
        std::vector<std::uint32_t> shuffled(grams.begin(), grams.end());
        std::shuffle(shuffled.begin(), shuffled.end(), rng);
        out.push_back({name, identity, flags, std::move(shuffled)});
    }
    return out;
}

// `aside`: a folder to put every run aside in.
std::string indexOf(const std::vector<RandomFile>& files, std::size_t pairsPerRun = IndexWriter::kPairsPerRun,
                    const std::string& aside = {}) {
    IndexWriter writer(testScope(), pairsPerRun);
    if (!aside.empty()) writer.spillTo(aside, 0);
    for (const RandomFile& f : files) writer.add(f.name, f.identity, f.flags, f.grams);
    return writer.finish();
}

// A random index and what it must say.
std::string randomIndex(std::mt19937& rng, Model& model, int files) {
    const std::vector<RandomFile> made = randomFiles(rng, files);
    std::uint32_t id = 0;
    for (const RandomFile& f : made) {
        model.files[f.name] = {f.identity, f.flags};
        if (f.flags & kTextKnown)
            for (std::uint32_t g : f.grams) model.postings[g].insert(id);
        ++id;
    }
    return indexOf(made);
}

TEST(IndexFile, ReadsBackEveryRecordAndPostingListItWasGiven) {
    std::mt19937 rng(5);
    for (int round = 0; round < 8; ++round) {
        Model model;
        const std::string bytes = randomIndex(rng, model, 1 + static_cast<int>(rng() % 300));
        IndexView view;
        const IndexScope scope = testScope();
        ASSERT_EQ(view.parse(bytes, &scope), IndexState::Ok);
        ASSERT_EQ(view.fileCount(), model.files.size());
        std::vector<std::uint32_t> ids;
        for (const auto& [name, file] : model.files) {
            const auto id = view.find(name);
            ASSERT_TRUE(id) << name;
            EXPECT_EQ(view.record(*id).identity, file.first);
            EXPECT_EQ(view.record(*id).flags, file.second);
        }
        EXPECT_FALSE(view.find("d0"));
        EXPECT_FALSE(view.find("zzz"));
        for (const auto& [gram, expected] : model.postings) {
            ASSERT_EQ(view.postings(gram, ids), IndexView::Postings::Ok);
            EXPECT_EQ(std::set<std::uint32_t>(ids.begin(), ids.end()), expected);
        }
        ASSERT_EQ(view.postings(0xFFFFFF + 0u, ids), IndexView::Postings::Ok);
        EXPECT_EQ(ids.empty(), !model.postings.count(0xFFFFFF));
    }
}

// However the pairs are cut into sorted runs (one pair to a run, runs ending inside a file's
// trigrams, one run for everything), kept in memory or put aside in a scratch file, the index
// is the same, byte for byte; and so is one taken over in part from a base, built either way.
TEST(IndexFile, RunsOfAnySizeMergeIntoTheSameIndex) {
    std::mt19937 rng(23);
    test::TempDir scratch;
    for (int round = 0; round < 6; ++round) {
        const std::vector<RandomFile> files = randomFiles(rng, 1 + static_cast<int>(rng() % 200));
        const std::string whole = indexOf(files);
        for (std::size_t pairs : {std::size_t{1}, std::size_t{2}, std::size_t{7}, std::size_t{100}, std::size_t{1000}}) {
            ASSERT_TRUE(indexOf(files, pairs) == whole) << "round " << round << ", runs of " << pairs;
            ASSERT_TRUE(indexOf(files, pairs, scratch.str()) == whole) << "round " << round << ", put aside, runs of " << pairs;
        }

        // Every third file taken over from `whole`, the others added anew: the same again.
        IndexView base;
        ASSERT_EQ(base.parse(whole, nullptr), IndexState::Ok);
        for (std::size_t pairs : {std::size_t{3}, IndexWriter::kPairsPerRun}) {
            IndexWriter writer(testScope(), pairs);
            writer.setBase(&base);
            for (std::size_t i = 0; i < files.size(); ++i) {
                if (i % 3 == 0) writer.addKept(files[i].name, static_cast<std::uint32_t>(i));
                else writer.add(files[i].name, files[i].identity, files[i].flags, files[i].grams);
            }
            ASSERT_TRUE(writer.finish() == whole) << "round " << round << ", runs of " << pairs;
        }
    }
}

// Whether the index in `bytes` is refused, or says anything different from `good`.
bool damageSeen(std::string_view bytes, const Model& model) {
    IndexView view;
    const IndexScope scope = testScope();
    if (view.parse(bytes, &scope) != IndexState::Ok) return true;
    std::vector<std::uint32_t> ids;
    for (const auto& entry : model.postings)
        if (view.postings(entry.first, ids) == IndexView::Postings::Damaged) return true;
    return false;
}

TEST(IndexFile, EveryDamagedByteIsSeenAndEveryCutIsRefused) {
    std::mt19937 rng(11);
    Model model;
    const std::string good = randomIndex(rng, model, 12);
    for (std::size_t at = 0; at < good.size(); ++at) {
        std::string bad = good;
        bad[at] = static_cast<char>(bad[at] ^ (1 << (at % 8)));
        EXPECT_TRUE(damageSeen(bad, model)) << "byte " << at << " of " << good.size();
    }
    for (std::size_t size = 0; size < good.size(); size += 1 + size / 16)
        EXPECT_TRUE(damageSeen(std::string_view(good).substr(0, size), model)) << "cut at " << size;
    EXPECT_TRUE(damageSeen(good + "x", model));
}

TEST(IndexFile, AnIndexOfAnotherUserVersionFolderOrEncodingIsNotUsed) {
    std::mt19937 rng(3);
    Model model;
    const std::string bytes = randomIndex(rng, model, 5);
    IndexView view;
    struct Case {
        IndexScope scope;
        IndexState state;
    } cases[] = {
        {{"/data/tree", platform::CodePageId::Utf8, platform::CodePageId::Windows1251, 1001}, IndexState::OtherUser},
        {{"/data/tree2", platform::CodePageId::Utf8, platform::CodePageId::Windows1251, 1000}, IndexState::OtherScope},
        {{"/data/tree", platform::CodePageId::Windows1252, platform::CodePageId::Windows1251, 1000}, IndexState::OtherScope},
        {{"/data/tree", platform::CodePageId::Utf8, std::nullopt, 1000}, IndexState::OtherScope},
        {testScope(), IndexState::Ok},
    };
    for (const Case& c : cases) EXPECT_EQ(view.parse(bytes, &c.scope), c.state);
    // Another version's header, whole and well made, is not read as this one's.
    std::string other = bytes;
    IndexHeader h;
    std::memcpy(&h, other.data(), sizeof h);
    h.version = kIndexVersion + 1;
    h.headerHash = hashBytes(std::string_view(reinterpret_cast<const char*>(&h), offsetof(IndexHeader, headerHash)));
    std::memcpy(other.data(), &h, sizeof h);
    EXPECT_EQ(view.parse(other, nullptr), IndexState::OtherVersion);
}

// The index folds a file's text as the case-insensitive search folds its terms and lines:
// character by character, so a term's fold stands in the text's fold wherever the term stands.
TEST(IndexText, FoldsAsTheSearchFoldsInEveryEncoding) {
    std::mt19937 rng(17);
    const char* const pieces[] = {"a", "Z", "ß", "ẞ", "ı", "İ", "K", "\xE2\x84\xAA", "é", "É", "я", "Я", "ǅ",
                                  "ﬃ", " ", "_", "\xC5\xBF", "Ω", "\xCE\xA9"};
    for (int round = 0; round < 500; ++round) {
        std::string text;
        for (int i = 0; i < 12; ++i) text += pieces[rng() % std::size(pieces)];
        std::string folded;
        const platform::CodePage& utf8 = platform::CodePage::get(platform::CodePageId::Utf8);
        foldForIndex(utf8, text, folded);
        ASSERT_EQ(folded, utf8.toUpper(text)) << text;
        ASSERT_TRUE(utf8.sameFolded(text, folded)) << text;
        for (platform::CodePageId id : {platform::CodePageId::Windows1252, platform::CodePageId::Windows1251,
                                        platform::CodePageId::Iso8859_15}) {
            const platform::CodePage& page = platform::CodePage::get(id);
            foldForIndex(page, text, folded);
            ASSERT_EQ(folded, page.toUpper(text));
        }
    }
}

TEST(IndexText, CollectsEachTrigramOnceAndNoneWithALineEnd) {
    GramCollector collector;
    std::vector<std::uint32_t> grams;
    collector.collect("ABCABC\nAB", grams);
    std::sort(grams.begin(), grams.end());
    EXPECT_EQ(grams, (std::vector<std::uint32_t>{gramAt("ABC"), gramAt("BCA"), gramAt("CAB")}));
    // The bits of one text do not leak into the next.
    collector.collect("BCAX", grams);
    std::sort(grams.begin(), grams.end());
    EXPECT_EQ(grams, (std::vector<std::uint32_t>{gramAt("BCA"), gramAt("CAX")}));
    collector.collect("AB", grams);
    EXPECT_TRUE(grams.empty());
}


// Against the trigrams counted one by one: texts of a few bytes to beyond a stretch of room,
// ASCII (the small table) and not, dense in line ends and in bytes next to them, one collector
// for all of them so that what one text leaves behind would show in the next.
TEST(IndexText, CollectsWhatAPlainCountFinds) {
    std::mt19937 rng(37);
    GramCollector collector;
    std::vector<std::uint32_t> grams;
    const std::string alphabets[] = {"ab\n", "AB\r\n\x0b\x0c\x0e\t", std::string("a\x7f\n\xc3\xa9\x80\xff", 8),
                                     "x\rYz"};
    for (int round = 0; round < 400; ++round) {
        const std::string& alphabet = alphabets[round % 4];
        const std::size_t size = round % 50 == 0 ? 70000 + rng() % 9000 : rng() % 40;
        std::string text;
        for (std::size_t i = 0; i < size; ++i) text += alphabet[rng() % alphabet.size()];
        std::set<std::uint32_t> expected;
        for (std::size_t i = 0; i + 2 < text.size(); ++i)
            if (!gramHoldsLineEnd(gramAt(text.data() + i))) expected.insert(gramAt(text.data() + i));
        collector.collect(text, grams);
        ASSERT_EQ(grams.size(), expected.size()) << round;
        ASSERT_EQ(std::set<std::uint32_t>(grams.begin(), grams.end()), expected) << round;
    }
}

// A refresh takes a file over unread only while every part of its identity is as recorded: a
// file rewritten to the same size with its write time set back still has a newer status
// change time, and is read again.
TEST(IndexBuild, ARefreshReadsAgainEveryFileWhoseIdentityMoved) {
    using namespace std::chrono_literals;
    const platform::FileTime t0 = platform::FileTime{} + std::chrono::hours(24 * 365 * 40);
    struct Case {
        const char* what;
        std::string contents;
        platform::FileTime written, changed;
        bool kept;
    } cases[] = {
        {"untouched", "alpha beta", t0, t0, true},
        {"rewritten, same size, write time set back", "gamma zeta", t0, t0 + 5s, false},
        {"mode changed", "alpha beta", t0, t0 + 5s, false},
        {"rewritten, one byte more", "alpha beta!", t0, t0, false},
        {"written later", "alpha beta", t0 + 5s, t0 + 5s, false},
    };
    for (const Case& c : cases) {
        platform::FakeFileSystem fs;
        platform::FakeClock clock;
        clock.setNow(t0 + 60s);
        fs.addFile("/r/a.txt", "alpha beta", t0);
        fs.addFile("/r/b.txt", "other text", t0);
        const IndexScope scope{"/r", platform::CodePageId::Utf8, std::nullopt, 0};
        const TextReading reading{platform::CodePageId::Utf8, std::nullopt};
        const std::string first = buildIndex(fs, clock, "/r", scope, reading);
        IndexView base;
        ASSERT_EQ(base.parse(first, &scope), IndexState::Ok) << c.what;

        fs.addFile("/r/a.txt", c.contents, c.written);
        fs.setStatusChange("/r/a.txt", c.changed);
        clock.setNow(t0 + 120s);
        BuildCounts counts;
        const std::string second = buildIndex(fs, clock, "/r", scope, reading, &counts, &base);
        EXPECT_EQ(counts.kept, c.kept ? 2u : 1u) << c.what;
        IndexView view;
        ASSERT_EQ(view.parse(second, &scope), IndexState::Ok) << c.what;
        std::vector<std::uint32_t> ids;
        ASSERT_EQ(view.postings(gramAt(c.contents[0] == 'g' ? "GAM" : "ALP"), ids), IndexView::Postings::Ok);
        EXPECT_EQ(ids, std::vector<std::uint32_t>{0}) << c.what;
    }
}

}  // namespace
}  // namespace vsr::engine::index
