#include "reports/search_report.h"

#include <algorithm>
#include <charconv>

#include "engine/query/query_terms.h"
#include "platform/code_page.h"
#include "reports/html_text.h"
#include "results/saved_list.h"

namespace vsr::reports {

namespace {

using results::Column;

// The leading number of a Found text ("12" of "12, 3"); 0 when there is none.
std::int64_t leadingNumber(std::string_view text) {
    std::int64_t n = 0;
    std::from_chars(text.data(), text.data() + text.size(), n);
    return n;
}

// "3, 0, 1" as numbers; a list cut with ",..." yields the counts before the cut.
std::vector<std::int64_t> countList(std::string_view text) {
    std::vector<std::int64_t> counts;
    std::size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && text[pos] == ' ') ++pos;
        std::int64_t n = 0;
        auto [end, ec] = std::from_chars(text.data() + pos, text.data() + text.size(), n);
        if (ec != std::errc()) break;
        counts.push_back(n);
        pos = static_cast<std::size_t>(end - text.data());
        if (pos >= text.size() || text[pos] != ',') break;
        ++pos;
    }
    return counts;
}

void summary(std::string& out, const ReportInputs& in, const results::ResultList& list) {
    appendLine(out, "");
    appendLine(out, "<strong>Files in List: </strong>" + blue(std::to_string(list.count())));
    if (!list.empty() && !list.foundColumnAbsent()) {
        if (list.row(0).found.find(',') == std::string::npos) {
            std::int64_t sum = 0;
            for (const results::ResultItem& row : list.rows()) sum += leadingNumber(row.found);
            appendLine(out, "<strong>Found Occurrences: </strong>" + blue(std::to_string(sum)));
        } else {
            appendLine(out, "<strong>Found Occurrences</strong>");
            // The complete lists of the report's search; a row without one falls back on its
            // Found text, whose cut list then lowers the number of words shown.
            std::vector<std::vector<std::int64_t>> counts;
            std::size_t words = in.words.size();
            for (std::size_t r = 0; r < list.count(); ++r) {
                counts.push_back(countList(r < in.wordCounts.size() ? in.wordCounts[r] : list.row(r).found));
                words = std::min(words, counts.back().size());
            }
            for (std::size_t k = 0; k < words; ++k) {
                std::int64_t sum = 0;
                for (const auto& row : counts) sum += row[k];
                appendLine(out,
                           utf8Of(escapeHtml(in.words[k]), in.conditions.textEncoding) + ": " + blue(std::to_string(sum)));
            }
        }
    }
    appendLine(out, "");
}

void padTo(std::string& out, std::string_view shown, std::size_t width) {
    const std::size_t len = results::displayLength(shown);
    if (len < width) out.append(width - len, ' ');
}

void table(std::string& out, const ReportInputs& in, const results::ResultList& list) {
    const std::vector<Column> columns = list.columns();
    std::vector<std::size_t> widths(columns.size());
    for (std::size_t k = 0; k < columns.size(); ++k) {
        std::size_t w = results::displayLength(list.columnCaption(columns[k]));
        for (const results::ResultItem& row : list.rows()) w = std::max(w, results::displayLength(row.text(columns[k])));
        widths[k] = w;
    }
    const std::size_t last = columns.size() - 1;
    for (std::size_t k = 0; k < columns.size(); ++k) {
        std::string caption = list.columnCaption(columns[k]);
        // The interval caption loses a blank so its "|" stands over the interval texts.
        if (k == last && caption.size() > 6) caption.erase(6, 1);
        out += caption;
        padTo(out, caption, widths[k] + 2);
    }
    out += kCrLf;

    const bool anchors = !list.foundColumnAbsent();
    const bool singleWord = in.words.size() < 2;
    for (std::size_t r = 0; r < list.count(); ++r) {
        const results::ResultItem& row = list.row(r);
        const std::string n = std::to_string(r + 1);
        for (std::size_t k = 0; k < columns.size(); ++k) {
            const Column c = columns[k];
            const std::string& text = row.text(c);
            if (k == 0) {
                if (anchors) out += "<a name=\"" + n + "-List\"></a><a href=\"#" + n + "\">";
                out += utf8Name(escapeHtml(text));
                if (anchors) out += "</a>";
                padTo(out, text, widths[k] + 2);
            } else if (k != last && (c == Column::Size || (c == Column::Found && singleWord))) {
                padTo(out, text, widths[k]);
                out += utf8Name(escapeHtml(text));
                out += "  ";
            } else {
                // Padding counts the characters shown, so escaping comes after it.
                out += utf8Name(escapeHtml(text));
                padTo(out, text, widths[k] + 2);
            }
        }
        out += kCrLf;
    }
}

}  // namespace

std::string processedText(int percent) { return "Processed:  " + std::to_string(percent) + "% files"; }

std::vector<std::string> reportWords(const engine::SearchConditions& conditions) {
    const engine::QueryType type = conditions.effectiveQueryType();
    if (type == engine::QueryType::Multiline || type == engine::QueryType::RegExpr) return {};
    // Parsed as a case-sensitive query, the terms keep the case the user typed.
    engine::BuildTermsResult terms = engine::buildTerms(type, conditions.oneLineQuery(), true,
                                                        platform::CodePage::get(conditions.textEncoding));
    std::vector<std::string> words;
    if (!terms.ok) return words;
    for (const engine::QueryTerm& t : terms.list.terms) words.push_back(t.text);
    return words;
}

std::string reportHead(const ReportInputs& in, const results::ResultList& list) {
    std::string out;
    for (std::string_view l : {std::string_view("<html>"), std::string_view("<head>"), kCharsetLine,
                               std::string_view("<Title>Report</Title>"), std::string_view("</head>"),
                               std::string_view("<style type=\"text/css\">"),
                               std::string_view("code {color: blue; background-color: #C0C0C0}"),
                               std::string_view("</style>"), std::string_view("<body>"), std::string_view("<pre>")})
        appendLine(out, l);
    appendLine(out, "<div align=center>Search Report: " + blue(utf8Name(escapeHtml(in.madeAt))));
    appendLine(out, "</div>");
    appendLine(out, "<strong>Search Conditions</strong>");
    platform::FakeLocaleFormats isoDates;
    out += conditionLines(in.conditions, in.formats ? *in.formats : isoDates);
    summary(out, in, list);
    if (!list.empty()) table(out, in, list);
    return out;
}

std::string rowLines(std::size_t row, const engine::LinesViewerContent& lines, engine::QueryType type,
                     platform::CodePageId page) {
    std::string out;
    appendLine(out, "");
    const std::string n = std::to_string(row + 1);
    for (const engine::FoundLine& e : lines.entries()) {
        switch (e.kind) {
        case engine::FoundLineKind::Header:
            appendLine(
                out, "<a name=\"" + n + "\"></a><a href=\"#" + n + "-List\"><strong>" +
                         utf8Name(escapeHtml(
                             std::string_view(e.displayText).substr(std::min<std::size_t>(5, e.displayText.size())))) +
                         "</strong></a>");
            break;
        case engine::FoundLineKind::Overflow:
            appendLine(out, "<strong>" + escapeHtml(e.displayText) + "</strong>");
            break;
        default:
            if (type == engine::QueryType::Multiline)
                appendLine(out, blue(utf8Of(escapeHtml(e.displayText), page)));
            else
                appendLine(out, utf8Of(markedEntry(e, type == engine::QueryType::RegExpr, page), page));
        }
    }
    return out;
}

ReportText searchReportText(const ReportInputs& inputs, const results::ResultList& list, ReportLines& lines) {
    ReportText report;
    report.text = reportHead(inputs, list);
    if (!lines.begin(report.text)) {
        report.begun = false;
        report.complete = false;
        return report;
    }
    if (!list.foundColumnAbsent()) {
        const engine::QueryType type = inputs.conditions.effectiveQueryType();
        const std::size_t rows = list.count();
        for (std::size_t r = 0; r < rows; ++r) {
            lines.progress(static_cast<int>(r * 100 / rows));
            const engine::LinesViewerContent* content = lines.fill(r);
            if (!content) {
                report.complete = false;
                return report;
            }
            report.text += rowLines(r, *content, type, inputs.conditions.textEncoding);
        }
    }
    appendLine(report.text, "</body>");
    appendLine(report.text, "</html>");
    return report;
}

}  // namespace vsr::reports
