// What a search or a Lines Viewer fill leaves allocated once it has ended, measured on a large
// file; and a file the memory does not suffice for, which must not end the run.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <new>

#include "lines_viewer_fixture.h"
#include "modify_fixture.h"
#include "search_fixture.h"
#include "support/heap_in_use.h"

namespace vsr::engine::test {
namespace {

using vsr::test::heapInUse;

// Every bound below holds trivially where the measurement misses the blocks; each test first
// makes sure it sees them.
constexpr std::size_t kProbe = 16u << 20;

// 48 MB of short lines, every 100th one holding the query.
std::string largeText() {
    std::string text;
    text.reserve(48u << 20);
    for (int i = 0; text.size() < (48u << 20); ++i) text += i % 100 ? "an ordinary line of text\n" : "a needle line\n";
    return text;
}

constexpr std::size_t kHeld = 8u << 20;

TEST(MemoryRelease, ASearchGivesBackTheBuffersOfItsLargestFile) {
    ASSERT_TRUE(vsr::test::heapSees(kProbe));
    struct Query {
        QueryType type;
        bool caseSensitive;
    } queries[] = {{QueryType::Phrase, true}, {QueryType::Phrase, false}, {QueryType::RegExpr, false}};
    for (const Query& q : queries) {
        SearchFixture f;
        f.fs.addFile("/data/big.txt", largeText());
        f.conditions.queryType = q.type;
        f.conditions.caseSensitive = q.caseSensitive;
        f.conditions.findText = "needle";
        // Two lines make the expression run over the whole text joined with CR LF.
        f.conditions.findLines = {"needle line", ""};
        const std::size_t before = heapInUse();
        f.run();
        ASSERT_EQ(f.host.list.count(), 1u);
        EXPECT_LT(heapInUse(), before + kHeld) << static_cast<int>(q.type) << q.caseSensitive;
    }
}

TEST(MemoryRelease, AFillKeepsItsEntriesAndGivesBackTheFile) {
    ASSERT_TRUE(vsr::test::heapSees(kProbe));
    for (QueryType type : {QueryType::Phrase, QueryType::RegExpr}) {
        FillFixture f;
        f.file(largeText());
        if (type == QueryType::Phrase) f.phrase("needle");
        else f.memo({"needle line", ""}, QueryType::RegExpr);
        const std::size_t before = heapInUse();
        f.fill();
        ASSERT_EQ(f.content.count(), kMaxFoundEntries + 2) << static_cast<int>(type);  // header, lines, "Etc"
        EXPECT_LT(heapInUse(), before + kHeld) << static_cast<int>(type);
    }
}

// Reads through an in-memory tree, but one file asks for more memory than there is.
class StarvedFileSystem final : public platform::FileSystem {
public:
    StarvedFileSystem(platform::FileSystem& inner, std::string starved) : inner_(inner), starved_(std::move(starved)) {}
    bool listDirectory(const std::string& dir, std::vector<platform::DirEntry>& out) override {
        return inner_.listDirectory(dir, out);
    }
    bool stat(const std::string& path, platform::FileInfo& out) override { return inner_.stat(path, out); }
    platform::ReadStatus readFile(const std::string& path, platform::FileBuffer& buffer, std::uint64_t max) override {
        if (path == starved_) throw std::bad_alloc();
        return inner_.readFile(path, buffer, max);
    }

private:
    platform::FileSystem& inner_;
    std::string starved_;
};

TEST(MemoryRelease, AFileTheMemoryDoesNotSufficeForIsPassedOver) {
    SearchFixture f;
    f.fs.addFile("/data/a.txt", "needle");
    f.fs.addFile("/data/b.txt", "needle");
    f.fs.addFile("/data/c.txt", "needle");
    StarvedFileSystem starved(f.fs, "/data/b.txt");
    SearchDriver driver({starved, f.clock, f.formats, f.types}, f.host);
    f.conditions.findText = "needle";
    driver.FindButtonClick(f.conditions);
    EXPECT_EQ(f.rows(), (Rows{"/data/a.txt:1", "/data/c.txt:1"}));
    EXPECT_TRUE(f.host.messages.empty());

    // In the Lines Viewer it ends as a file too large to read: the header alone, the row kept.
    FillFixture v;
    v.file("needle");
    v.phrase("needle");
    StarvedFileSystem starvedViewer(v.fs, "/data/f.txt");
    const results::ResultItem& row = v.host.list.row(0);
    FillResult r = FillLinesViewer(v.conditions, {starvedViewer, v.clock, v.formats, v.types}, v.host, v.content,
                                   {row.path, row.name, 0, FillPurpose::Silent}, &v.events);
    EXPECT_EQ(r.end, FillEnd::Stopped);
    EXPECT_EQ(v.content.count(), 1u);
    EXPECT_EQ(v.host.list.row(0).status, results::RowStatus::Found);
}


// A Reg Expr over the whole text of a file with LF line ends needs the text once more with
// CR LF: the file's buffer and that subject, and no third copy inside the engine. The heap is
// sampled each time the run lets the window breathe.
TEST(MemoryRelease, AWholeTextExpressionHoldsAtMostTwoCopiesOfTheFile) {
    ASSERT_TRUE(vsr::test::heapSees(kProbe));
    const std::string text = largeText();
    // The read buffer grows by doubling; the subject has room for the CRs it adds.
    const std::size_t twoCopies = std::bit_ceil(text.size() + 1) + text.size() + text.size() / 4;
    {
        SearchFixture f;
        f.fs.addFile("/data/big.txt", text);
        f.conditions.queryType = QueryType::RegExpr;
        f.conditions.findLines = {"needle line", ""};
        f.clock.setStepPerRead(20);
        const std::size_t before = heapInUse();
        std::size_t peak = before;
        f.host.onPump = [&] { peak = std::max(peak, heapInUse()); };
        f.run();
        ASSERT_EQ(f.host.list.count(), 1u);
        EXPECT_GT(peak, before + text.size()) << "sampled while the file was held";
        EXPECT_LT(peak, before + twoCopies);
    }
    {
        FillFixture f;
        f.file(text);
        f.memo({"needle line", ""}, QueryType::RegExpr);
        f.clock.setStepPerRead(20);
        const std::size_t before = heapInUse();
        std::size_t peak = before;
        f.host.onPump = [&] { peak = std::max(peak, heapInUse()); };
        f.fill();
        EXPECT_GT(peak, before + text.size()) << "sampled while the file was held";
        // The entries the viewer keeps come on top of the file's copies.
        EXPECT_LT(peak, before + twoCopies + kHeld);
    }
}

TEST(MemoryRelease, AModificationGivesBackTheFileItRewrote) {
    ASSERT_TRUE(vsr::test::heapSees(kProbe));
    struct Case {
        const char* label;
        SearchType type;
    } cases[] = {{"phrase", SearchType::Phrase}, {"regex by line", SearchType::RegExpr},
                 {"regex whole text", SearchType::RegExpr}, {"multiline", SearchType::Multiline}};
    for (const Case& k : cases) {
        ModifyFixture f;
        f.add("big.txt", largeText());
        if (k.type == SearchType::Phrase) f.phrase("needle", "pin");
        else if (k.type == SearchType::Multiline) f.block({"a needle line"}, {"a pin line"});
        else if (std::string(k.label) == "regex by line") f.regex({"need(le)"}, {"pin$1"});
        else f.regex({"needle line", "an"}, {"pin", "an"});
        const std::size_t before = heapInUse();
        f.modifyAll();
        ASSERT_EQ(f.result(0), "Modified") << k.label;
        EXPECT_LT(heapInUse(), before + kHeld) << k.label;
    }
}

// A store whose reading of one file asks for more memory than there is.
class StarvedFileStore final : public durable::FileStore {
public:
    StarvedFileStore(durable::FileStore& inner, std::string starved) : inner_(inner), starved_(std::move(starved)) {}
    bool exists(const std::string& path) override { return inner_.exists(path); }
    durable::FileLinks links(const std::string& path) override { return inner_.links(path); }
    std::optional<std::string> read(const std::string& path, platform::FileStamp* stamp) override {
        if (path == starved_) throw std::bad_alloc();
        return inner_.read(path, stamp);
    }
    durable::RewriteBatch::Staged stageRewrite(const durable::RewriteRequest& request, std::size_t tag) override {
        return inner_.stageRewrite(request, tag);
    }
    bool lastBackupMade() const override { return inner_.lastBackupMade(); }
    bool rewritesFull() const override { return inner_.rewritesFull(); }
    std::vector<durable::RewriteBatch::Published> commitRewrites() override { return inner_.commitRewrites(); }
    bool restoreBackup(const std::string& path, const std::string& backup) override {
        return inner_.restoreBackup(path, backup);
    }
    bool removeFile(const std::string& path) override { return inner_.removeFile(path); }

private:
    durable::FileStore& inner_;
    std::string starved_;
};

TEST(MemoryRelease, AModificationPassesOverAFileTheMemoryDoesNotSufficeFor) {
    ModifyFixture f;
    f.phrase("needle", "pin");
    const std::size_t a = f.add("a.txt", "needle\n");
    const std::size_t b = f.add("b.txt", "needle\n");
    const std::size_t c = f.add("c.txt", "needle\n");
    StarvedFileStore starved(f.files, f.path("b.txt"));
    ModifyDriver driver({starved, f.attributes, f.clock}, f.host, &f.views);
    driver.Modify(ModifyScope::All, f.c, f.options);
    EXPECT_EQ(f.read("a.txt"), "pin\n");
    EXPECT_EQ(f.read("b.txt"), "needle\n");
    EXPECT_EQ(f.read("c.txt"), "pin\n");
    EXPECT_EQ(f.result(a), "Modified");
    EXPECT_NE(f.result(b), "Modified");
    EXPECT_NE(f.result(b), "Found");
    EXPECT_EQ(f.result(c), "Modified");
}

}  // namespace
}  // namespace vsr::engine::test
