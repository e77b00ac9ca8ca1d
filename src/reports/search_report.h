#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/viewer/lines_viewer_content.h"
#include "engine/query/search_conditions.h"
#include "platform/locale_formats.h"
#include "results/result_list.h"

namespace vsr::reports {

// What the report records besides the rows: the conditions as the window showed them when
// the report's search ran, and when it was made.
struct ReportInputs {
    engine::SearchConditions conditions;  // `tab` is the tab the report was made on
    // The user's short date format, for the dates of the date filter.
    const platform::LocaleFormats* formats = nullptr;
    // The short date and long time of the moment the report was made.
    std::string madeAt;
    // The query's words in query order, as the user typed them (a query of several words).
    std::vector<std::string> words;
    // Per row, in row order, the complete count list of a query of several words ("3, 0, 1").
    std::vector<std::string> wordCounts;
};

// Fills the Lines Viewer for the rows of the report, one after the other.
class ReportLines {
public:
    virtual ~ReportLines() = default;
    // The head is made (frame, conditions, summary, table): false when the report cannot be
    // written at all, which ends it before any row is filled.
    virtual bool begin(const std::string& head) { return true; }
    // The entries of `row`, or nullptr when the report must end here (Stop).
    virtual const engine::LinesViewerContent* fill(std::size_t row) = 0;
    // Before each row: the share of rows done, in whole percent.
    virtual void progress(int percent) {}
};

struct ReportText {
    std::string text;
    // False when it ended early: the text then lacks its closing lines.
    bool complete = true;
    // False when begin() refused the head.
    bool begun = true;
};

// "Processed:  " + percent + "% files"
std::string processedText(int percent);

// The query's words as the report lists them (its terms, in the user's own case).
std::vector<std::string> reportWords(const engine::SearchConditions& conditions);

// The frame and heading, the conditions, the summary and the table of rows.
std::string reportHead(const ReportInputs& inputs, const results::ResultList& list);
// The conditions lines alone, in their order.
std::string conditionLines(const engine::SearchConditions& c, const platform::LocaleFormats& formats);
// The found lines of row `row` (0-based) from its Lines Viewer entries, whose lines are text of
// the encoding `page`.
std::string rowLines(std::size_t row, const engine::LinesViewerContent& lines, engine::QueryType type,
                     platform::CodePageId page);

// The whole report: head, then for each row its found lines (when the list has the Found
// column), then the closing lines.
ReportText searchReportText(const ReportInputs& inputs, const results::ResultList& list, ReportLines& lines);

}  // namespace vsr::reports
