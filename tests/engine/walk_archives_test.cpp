// A search with archives opened lists members under paths through their archive; "Search in
// Results" finds those members again inside their archives instead of dropping them as missing
// files, with one thread or several.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "engine/search/recording_host.h"
#include "engine/search/search_driver.h"
#include "engine/viewer/lines_viewer_fill.h"
#include "platform/clock.h"
#include "platform/locale_formats.h"
#include "platform/posix_file_system.h"
#include "platform/type_names.h"
#include "support/temp_dir.h"

namespace vsr::engine {
namespace {

std::vector<std::string> foundRows(RecordingHost& host) {
    std::vector<std::string> rows;
    for (const results::ResultItem& r : host.list.rows()) rows.push_back(r.fullName() + " " + r.found + " " + r.size);
    return rows;
}

TEST(WalkArchives, SearchInResultsFindsMembersInsideTheirArchives) {
    vsr::test::TempDir dir;
    const std::string d = dir.str();
    dir.write("plain.txt", "alpha beta\n");
    ASSERT_EQ(std::system(("python3 -c 'import zipfile; z=zipfile.ZipFile(\"" + d +
                           "/a.zip\",\"w\",zipfile.ZIP_DEFLATED); z.writestr(\"src/m.c\",\"alpha\\nbeta alpha beta\\n\"); "
                           "z.writestr(\"n.txt\",\"beta\\n\"); z.close()'")
                              .c_str()),
              0);
    for (const int threads : {1, 2}) {
        platform::PosixFileSystem posix;
        platform::FakeClock clock;
        platform::FakeLocaleFormats formats;
        platform::FakeTypeNames types;
        RecordingHost host;
        SearchDriver driver{{posix, clock, formats, types}, host};
        driver.setThreads(threads);
        SearchConditions c = formConditions(d);
        c.searchArchives = true;
        c.findText = "alpha";
        driver.FindButtonClick(c);
        std::vector<std::string> rows = foundRows(host);
        std::sort(rows.begin(), rows.end());
        EXPECT_EQ(rows, (std::vector<std::string>{d + "/a.zip/src/m.c 2 0.022 KB", d + "/plain.txt 1 0.011 KB"})) << threads;
        c.searchInResults = true;
        c.findText = "beta";
        driver.FindButtonClick(c);
        rows = foundRows(host);
        std::sort(rows.begin(), rows.end());
        // n.txt holds "beta" too, but was not among the results.
        EXPECT_EQ(rows, (std::vector<std::string>{d + "/a.zip/src/m.c 2 0.022 KB", d + "/plain.txt 1 0.011 KB"})) << threads;
    }
}

void python(const std::string& dir, const std::string& script) {
    const std::string file = dir + "/make.py";
    std::ofstream(file) << script;
    ASSERT_EQ(std::system(("cd '" + dir + "' && python3 make.py && rm make.py").c_str()), 0);
}

std::vector<std::string> foundPaths(const std::string& root, bool subfolders) {
    platform::PosixFileSystem posix;
    platform::FakeClock clock;
    platform::FakeLocaleFormats formats;
    platform::FakeTypeNames types;
    RecordingHost host;
    SearchDriver driver{{posix, clock, formats, types}, host};
    SearchConditions c = formConditions(root);
    c.searchArchives = true;
    c.includeSubfolders = subfolders;
    c.findText = "alpha";
    driver.FindButtonClick(c);
    std::vector<std::string> rows;
    for (const results::ResultItem& r : host.list.rows()) rows.push_back(r.fullName().substr(root.size() + 1));
    std::sort(rows.begin(), rows.end());
    return rows;
}

// Without subfolders, an archive in the folder is one more level: its top-level members are
// searched (and those of archives at its top level), its folders are not.
TEST(WalkArchives, WithoutSubfoldersOnlyTheArchivesTopLevelIsSearched) {
    vsr::test::TempDir dir;
    dir.write("plain.txt", "alpha\n");
    dir.mkdir("sub");
    python(dir.str(), R"PY(
import io, zipfile, tarfile, gzip
def tgz(members):
    out = io.BytesIO()
    with tarfile.open(fileobj=out, mode="w:gz") as t:
        for name, data in members:
            info = tarfile.TarInfo(name); info.size = len(data); t.addfile(info, io.BytesIO(data))
    return out.getvalue()
nested = io.BytesIO()
with zipfile.ZipFile(nested, "w") as z: z.writestr("n.txt", "alpha")
with zipfile.ZipFile("a.zip", "w") as z:
    z.writestr("top.txt", "alpha")
    z.writestr("src/m.c", "alpha")
    z.writestr("inner.tar.gz", tgz([("deep.txt", b"alpha"), ("lib/x.txt", b"alpha")]))
    z.writestr("src/nested.zip", nested.getvalue())
open("notes.txt.gz", "wb").write(gzip.compress(b"alpha"))
with zipfile.ZipFile("sub/b.zip", "w") as z: z.writestr("s.txt", "alpha")
)PY");
    const std::vector<std::string> top = {"a.zip/inner.tar.gz/deep.txt", "a.zip/top.txt", "notes.txt.gz/notes.txt",
                                          "plain.txt"};
    std::vector<std::string> all = top;
    for (const char* more : {"a.zip/inner.tar.gz/lib/x.txt", "a.zip/src/m.c", "a.zip/src/nested.zip/n.txt",
                             "sub/b.zip/s.txt"})
        all.push_back(more);
    std::sort(all.begin(), all.end());
    EXPECT_EQ(foundPaths(dir.str(), false), top);
    EXPECT_EQ(foundPaths(dir.str(), true), all);
}

// big.tar.gz holding long.txt, which takes a while to expand (text that packs no better than the
// expansion limits allow), ahead of after.txt; each holds needle_1 once.
void writeArchiveWithALongMember(const std::string& folder) {
    python(folder, R"PY(
import io, os, base64, tarfile
long = base64.b64encode(os.urandom(36 << 20)) + b"\nneedle_1\n"
with tarfile.open("big.tar.gz", "w:gz", compresslevel=1) as t:
    for name, data in (("long.txt", long), ("after.txt", b"needle_1\n")):
        info = tarfile.TarInfo(name); info.size = len(data); t.addfile(info, io.BytesIO(data))
)PY");
}

// The disk, and a window whose every test of the clock finds a pump due.
struct ArchiveScanWorld {
    platform::PosixFileSystem posix;
    platform::FakeClock clock;
    platform::FakeLocaleFormats formats;
    platform::FakeTypeNames types;
    RecordingHost host;

    ArchiveScanWorld() {
        clock.setStepPerRead(20);
        host.list.createResultColumn();
    }
    SearchEnv services() { return {posix, clock, formats, types}; }
    void addRow(const std::string& path, const std::string& name) {
        results::ResultItem item;
        item.path = path;
        item.name = name;
        host.list.AddResultItem(item);
    }
};

// The Lines Viewer's scan of an archive for one member ends at once when Stop is pressed or
// another row is selected meanwhile, whether the member sought lies behind a long one or is
// the long one, and the row is not taken for a missing file.
TEST(WalkArchives, LinesViewerScanOfAnArchiveEndsAtStopAndAtANewSelection) {
    vsr::test::TempDir dir;
    writeArchiveWithALongMember(dir.str());
    dir.write("other.txt", "needle_1\n");
    enum class Then { Nothing, Stop, SelectOther };
    using Clock = std::chrono::steady_clock;
    for (const char* member : {"after.txt", "long.txt"}) {
        double wholeSeconds = 0;
        for (const Then then : {Then::Nothing, Then::Stop, Then::SelectOther}) {
            ArchiveScanWorld world;
            RecordingHost& host = world.host;
            world.addRow(dir.str() + "/big.tar.gz", member);
            world.addRow(dir.str(), "other.txt");
            host.list.selectOnly(0);
            host.list.currentIndex = 0;
            // The first pump comes before the read; the second one during it.
            host.onPump = [&] {
                if (host.pumps != 2) return;
                if (then == Then::Stop) host.state.stop = true;
                if (then == Then::SelectOther) {
                    host.list.selectOnly(1);
                    host.list.currentIndex = 1;
                }
            };
            SearchConditions c = formConditions(dir.str());
            c.searchArchives = true;
            c.findText = "needle_1";
            LinesViewerContent content;
            const Clock::time_point start = Clock::now();
            const FillResult r = FillLinesViewer(c, world.services(), host, content,
                                                 {dir.str() + "/big.tar.gz", member, 0, FillPurpose::Browse});
            const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
            const std::string where = std::string(member) + " " + std::to_string(static_cast<int>(then));
            EXPECT_TRUE(host.messages.empty()) << where;
            EXPECT_NE(host.list.row(0).status, results::RowStatus::NotFound) << where;
            if (then == Then::Nothing) {
                EXPECT_EQ(r.end, FillEnd::Done) << where;
                EXPECT_EQ(r.found, "1") << where;
                wholeSeconds = seconds;
                continue;
            }
            EXPECT_EQ(r.end, then == Then::Stop ? FillEnd::Stopped : FillEnd::Superseded) << where;
            EXPECT_FALSE(host.state.stop) << where;  // a fill that Stop ended lets the next one run
            EXPECT_LT(seconds, wholeSeconds / 4) << where;
        }
    }
}

// "Search in Results" looks for a member inside its archive again through the run's own stop
// flag: Stop pressed while it expands a long member ahead of the one sought ends the run at once.
TEST(WalkArchives, SearchInResultsOfAMemberEndsAtStop) {
    vsr::test::TempDir dir;
    writeArchiveWithALongMember(dir.str());
    using Clock = std::chrono::steady_clock;
    double wholeSeconds = 0;
    for (const bool stop : {false, true}) {
        ArchiveScanWorld world;
        RecordingHost& host = world.host;
        world.addRow(dir.str() + "/big.tar.gz", "after.txt");
        host.onPump = [&] {
            if (stop && host.pumps == 3) host.state.stop = true;
        };
        SearchDriver driver{world.services(), host};
        driver.setThreads(2);
        SearchConditions c = formConditions(dir.str());
        c.searchArchives = true;
        c.searchInResults = true;
        c.findText = "needle_1";
        const Clock::time_point start = Clock::now();
        driver.FindButtonClick(c);
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        if (!stop) {
            EXPECT_EQ(foundRows(host), (std::vector<std::string>{dir.str() + "/big.tar.gz/after.txt 1 0.009 KB"}));
            wholeSeconds = seconds;
            continue;
        }
        EXPECT_GE(host.pumps, 3);
        EXPECT_LT(seconds, wholeSeconds / 4) << seconds << " s against " << wholeSeconds << " s";
    }
}

}  // namespace
}  // namespace vsr::engine
