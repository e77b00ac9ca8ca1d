// vsr-lines-bench: fills the Lines Viewer for one large file in every query mode and prints the
// time of each fill and the longest time the window would go without processing messages
// (which bounds how long Stop takes to act).
//
//   vsr-lines-bench [FILE]   (without FILE a 50 MB file with 100 000 matching lines is made in /tmp)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "engine/viewer/lines_viewer_fill.h"
#include "engine/search/recording_host.h"
#include "platform/clock.h"
#include "platform/locale_formats.h"
#include "platform/posix_file_system.h"
#include "platform/type_names.h"

namespace {

using Clock = std::chrono::steady_clock;

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// A host that measures the gaps between pumps instead of processing messages.
struct TimingHost : vsr::engine::RecordingHost {
    void pumpMessages() override {
        auto now = Clock::now();
        maxGap = std::max(maxGap, ms(now - last));
        if (std::getenv("VSR_BENCH_TRACE") && ms(now - last) > 20)
            std::fprintf(stderr, "  gap %.1f ms ending at %.1f ms\n", ms(now - last), ms(now - begin));
        last = now;
        ++pumps;
    }
    Clock::time_point last;
    Clock::time_point begin;
    double maxGap = 0;
};

std::string makeFile() {
    const std::string path = "/tmp/vsr-lines-bench.txt";
    std::ofstream out(path, std::ios::binary);
    // 50 MB: one line in ten holds the word, 1 000 000 lines of about 50 bytes.
    std::string filler = "the quick brown fox jumps over the lazy dog 0123";
    std::string hit = "the quick brown fox jumps over the needle dog 01";
    for (int i = 0; i < 1000000; ++i) out << (i % 10 == 0 ? hit : filler) << i % 10 << "\n";
    return path;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace vsr;
    std::string path = argc > 1 ? argv[1] : makeFile();
    platform::PosixFileSystem fs;
    platform::SteadyClock clock;
    platform::PosixLocaleFormats formats;
    platform::NoTypeNames types;

    struct Mode {
        const char* name;
        engine::QueryType type;
        std::string one;
        std::vector<std::string> lines;
        bool caseSensitive;
    } modes[] = {
        {"phrase, ignore case", engine::QueryType::Phrase, "needle", {}, false},
        {"phrase, case", engine::QueryType::Phrase, "needle", {}, true},
        {"words or", engine::QueryType::WordsOr, "needle lazy", {}, false},
        {"regex line by line", engine::QueryType::RegExpr, "", {"ne+dle"}, false},
        {"regex whole text", engine::QueryType::RegExpr, "", {"needle\\s"}, false},
        {"regex whole text, case", engine::QueryType::RegExpr, "", {"needle\\s"}, true},
        {"multiline", engine::QueryType::Multiline, "", {"the quick brown fox jumps over the needle dog 010"}, false},
    };
    std::printf("file %s\n", path.c_str());
    std::printf("%-22s %10s %10s %8s %12s\n", "mode", "fill ms", "max gap ms", "entries", "found");
    // One viewer for every fill, as in the window: the first fill also pays for its buffers.
    engine::LinesViewerContent content;
    for (const Mode& m : modes) {
        TimingHost host;
        results::ResultItem item;
        item.name = platform::fileNamePart(path);
        item.path = platform::parentPath(path);
        host.list.AddResultItem(item);
        host.list.selectOnly(0);
        host.list.currentIndex = 0;
        engine::SearchConditions c = engine::formConditions("/");
        c.queryType = m.type;
        c.findText = m.one;
        c.findLines = m.lines;
        c.caseSensitive = m.caseSensitive;
        host.last = host.begin = Clock::now();
        auto start = Clock::now();
        engine::FillResult r = engine::FillLinesViewer(c, {fs, clock, formats, types}, host, content,
                                                       {item.path, item.name, 0, engine::FillPurpose::Browse});
        double total = ms(Clock::now() - start);
        host.maxGap = std::max(host.maxGap, ms(Clock::now() - host.last));
        std::printf("%-22s %10.1f %10.1f %8zu %12s%s\n", m.name, total, host.maxGap, content.count(), r.found.c_str(),
                    r.end == engine::FillEnd::Done ? "" : "  (did not finish)");
    }
    return 0;
}
