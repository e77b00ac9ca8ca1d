// A search with archives opened lists members under paths through their archive; "Search in
// Results" finds those members again inside their archives instead of dropping them as missing
// files, with one thread or several.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/search/recording_host.h"
#include "engine/search/search_driver.h"
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

}  // namespace
}  // namespace vsr::engine
