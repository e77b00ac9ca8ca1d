#pragma once
#include <string>
#include <vector>

#include "engine/viewer/lines_viewer_fill.h"
#include "engine/search/recording_host.h"
#include "engine/search/search_driver.h"
#include "platform/clock.h"
#include "platform/fake_file_system.h"
#include "platform/locale_formats.h"
#include "platform/type_names.h"
#include "reports/search_report.h"

namespace vsr::reports::test {

// The blue mark around found text and the settings' values in the pages.
inline const std::string B = "<font color=\"#0000FF\">";
inline const std::string E = "</font>";

// A search for a report over an in-memory tree, with the Lines Viewer filled silently per row.
struct ReportFixture : ReportLines {
    platform::FakeFileSystem fs;
    platform::FakeClock clock;
    platform::FakeLocaleFormats formats;
    platform::FakeTypeNames types;
    engine::RecordingHost host;
    engine::SearchDriver driver{{fs, clock, formats, types}, host};
    engine::SearchConditions conditions = engine::formConditions("/data");
    engine::LinesViewerContent content;
    std::vector<int> progressSeen;
    long long stopBeforeRow = -1;
    // Every file gets this time, so the Time column is known.
    platform::FileTime fileTime = std::chrono::system_clock::from_time_t(1700000000);

    ReportFixture() { fs.addDirectory("/data"); }

    void addFile(const std::string& path, std::string contents) { fs.addFile(path, std::move(contents), fileTime); }
    std::string timeText() const { return formats.shortDate(fileTime) + " " + formats.longTime(fileTime); }

    const engine::LinesViewerContent* fill(std::size_t row) override {
        if (static_cast<long long>(row) == stopBeforeRow) return nullptr;
        const results::ResultItem& item = host.list.row(row);
        engine::FillLinesViewer(conditions, {fs, clock, formats, types}, host, content,
                                {item.path, item.name, static_cast<long long>(row), engine::FillPurpose::Silent});
        return &content;
    }
    void progress(int percent) override { progressSeen.push_back(percent); }

    // Searches as Create Report does and writes the report of the result.
    ReportText report() {
        engine::RunOptions options;
        options.forReport = true;
        driver.FindButtonClick(conditions, options);
        ReportInputs in;
        in.conditions = conditions;
        in.formats = &formats;
        in.madeAt = "2026-12-09 01:02:03";
        in.words = reportWords(conditions);
        in.wordCounts = host.list.reportCounts;
        return searchReportText(in, host.list, *this);
    }
};

// The report's fixed frame and heading.
inline std::string reportFrame() {
    return "<html>\r\n<head>\r\n<meta charset=\"utf-8\">\r\n<Title>Report</Title>\r\n</head>\r\n<style type=\"text/css\">\r\n"
           "code {color: blue; background-color: #C0C0C0}\r\n</style>\r\n<body>\r\n<pre>\r\n"
           "<div align=center>Search Report: <font color=\"#0000FF\">2026-12-09 01:02:03</font>\r\n</div>\r\n"
           "<strong>Search Conditions</strong>\r\n";
}

// The text between two markers of a document (both excluded); empty when either is missing.
inline std::string between(const std::string& text, const std::string& from, const std::string& to) {
    const std::size_t a = text.find(from);
    if (a == std::string::npos) return {};
    const std::size_t b = text.find(to, a + from.size());
    if (b == std::string::npos) return {};
    return text.substr(a + from.size(), b - a - from.size());
}

}  // namespace vsr::reports::test
