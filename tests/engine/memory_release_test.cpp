// What a search or a Lines Viewer fill leaves allocated once it has ended, measured on a large
// file; and a file the memory does not suffice for, which must not end the run.
#include <gtest/gtest.h>
#include <malloc.h>

#include <new>

#include "lines_viewer_fixture.h"
#include "search_fixture.h"

namespace vsr::engine::test {
namespace {

// Bytes the allocator hands out now (large blocks are mapped one by one and count here too).
std::size_t heapInUse() {
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

// 48 MB of short lines, every 100th one holding the query.
std::string largeText() {
    std::string text;
    text.reserve(48u << 20);
    for (int i = 0; text.size() < (48u << 20); ++i) text += i % 100 ? "an ordinary line of text\n" : "a needle line\n";
    return text;
}

constexpr std::size_t kHeld = 8u << 20;

TEST(MemoryRelease, ASearchGivesBackTheBuffersOfItsLargestFile) {
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

}  // namespace
}  // namespace vsr::engine::test
