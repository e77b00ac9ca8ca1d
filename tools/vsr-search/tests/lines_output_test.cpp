#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "engine/search/recording_host.h"
#include "lines_output.h"
#include "platform/clock.h"
#include "platform/fake_file_system.h"
#include "platform/locale_formats.h"
#include "platform/type_names.h"

namespace vsr::tools {
namespace {

TEST(LinesOutput, PrintsEveryRowsEntriesWithControlCharactersBlankedAndHighlightsInOrder) {
    platform::FakeFileSystem fs;
    platform::FakeClock clock;
    platform::FakeLocaleFormats formats;
    platform::FakeTypeNames types;
    engine::RecordingHost host;
    fs.addDirectory("/d");
    fs.addFile("/d/a.txt", "b\ta\nnothing\n");
    fs.addFile("/d/b.txt", "a\n");
    for (const char* name : {"a.txt", "b.txt"}) {
        results::ResultItem item;
        item.name = name;
        item.path = "/d";
        host.list.AddResultItem(item);
    }
    engine::SearchConditions c = engine::formConditions("/d");
    c.queryType = engine::QueryType::WordsOr;
    c.findText = "a b";

    char* data = nullptr;
    std::size_t size = 0;
    std::FILE* out = open_memstream(&data, &size);
    ASSERT_NE(out, nullptr);
    printLinesViewer(out, c, {fs, clock, formats, types}, host);
    std::fclose(out);
    std::string text(data, size);
    std::free(data);
    EXPECT_EQ(text,
              "== /d/a.txt\n"
              "0\t     File:  a.txt      Path:  /d\t\n"
              "1\t line 1: b a\t11:1 9:1\n"
              "== /d/b.txt\n"
              "0\t     File:  b.txt      Path:  /d\t\n"
              "1\t line 1: a\t9:1\n");
}

}  // namespace
}  // namespace vsr::tools
