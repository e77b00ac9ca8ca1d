// The "Search Conditions" block of the search report: one line per condition, in the order
// the window shows them.
#include <string>

#include "engine/query/query_terms.h"
#include "reports/html_text.h"
#include "reports/search_report.h"

namespace vsr::reports {

namespace {

using engine::QueryType;
using engine::SearchType;
using engine::Tab;

std::string onOff(bool on) { return blue(on ? " ON " : " OFF "); }

// Non-empty entries of an ignore list (names), trimmed, each in the blue mark on its own line.
void ignoreList(std::string& out, const std::vector<std::string>& entries) {
    for (const std::string& entry : entries) {
        const std::string_view trimmed = engine::trim(entry);
        if (!trimmed.empty()) appendLine(out, blue(utf8Name(escapeHtml(trimmed))));
    }
}

void multilineSwitches(std::string& out, const engine::SearchConditions& c) {
    if (c.trimLeading) appendLine(out, "Ignore Leading Spaces: " + blue("ON"));
    if (c.trimTrailing) appendLine(out, "Ignore Trailing Spaces: " + blue("ON"));
}

// The Find tab writes " ON" for all three switches, the Search and Replace tab "ON" for the
// first two: the two tabs label their switches differently.
void regExprSwitches(std::string& out, const engine::SearchConditions& c, bool findTab) {
    const char* on = findTab ? " ON" : "ON";
    if (c.dotMatchesAll) appendLine(out, "\".\" Matches Line Separators Too: " + blue(on));
    if (c.extendedSyntax) appendLine(out, "Ignore Whitespaces in Reg Expr: " + blue(on));
    if (c.eachLineSeparately) appendLine(out, "Search within Each Single Line: " + blue(" ON"));
}

void queryType(std::string& out, const engine::SearchConditions& c) {
    if (c.tab == Tab::Find) {
        switch (c.queryType) {
            case QueryType::Phrase:
                appendLine(out, "Query Type:" + blue(" Phrase"));
                break;
            case QueryType::WordsOr:
                appendLine(out, "Query Type:" + blue(" Words: or"));
                break;
            case QueryType::WordsAnd:
                appendLine(out, "Query Type:" + blue(" Words: and"));
                break;
            case QueryType::SearchEngine:
                appendLine(out, "Query Type:" + blue(" Search Engine"));
                break;
            case QueryType::Multiline:
                appendLine(out, "Query Type:" + blue(" Multiline"));
                multilineSwitches(out, c);
                break;
            case QueryType::RegExpr:
                appendLine(out, "Query Type:" + blue(" Reg Expr"));
                regExprSwitches(out, c, true);
                break;
        }
        return;
    }
    switch (c.searchType) {
        case SearchType::Phrase:
            appendLine(out, "Query Type:" + blue(" Phrase"));
            break;
        case SearchType::Multiline:
            appendLine(out, "Query Type:" + blue(" Multiline"));
            multilineSwitches(out, c);
            break;
        case SearchType::RegExpr:
            appendLine(out, "Query Type:" + blue(" Reg Expr"));
            regExprSwitches(out, c, false);
            break;
    }
}

bool multiLineQuery(const engine::SearchConditions& c) {
    const QueryType t = c.effectiveQueryType();
    return t == QueryType::Multiline || t == QueryType::RegExpr;
}

void query(std::string& out, const engine::SearchConditions& c) {
    const bool find = c.tab == Tab::Find;
    if (!multiLineQuery(c)) {
        // The Search and Replace tab's line carries one blank after its code.
        appendLine(out, std::string(find ? "Query: <code>" : "To Search: <code>") +
                            utf8Of(escapeHtml(c.oneLineQuery()), c.textEncoding) + (find ? "</code>" : "</code> "));
        return;
    }
    appendLine(out, find ? "Query:<code>" : "To Search: <code>");
    for (const std::string& l : c.multiLineQuery()) appendLine(out, utf8Of(escapeHtml(l), c.textEncoding));
    // No line end: the summary's empty line ends this one.
    out += "</code>";
}

}  // namespace

std::string conditionLines(const engine::SearchConditions& c, const platform::LocaleFormats& formats) {
    std::string out;
    if (c.searchInResults) {
        appendLine(out, "Search in Results:" + blue(" ON "));
    } else {
        appendLine(out, "Path: " + blue(utf8Name(escapeHtml(c.path))));
        appendLine(out, "Include Subfolders:" + onOff(c.includeSubfolders));
        if (c.skipGitignored) appendLine(out, "Skip what .gitignore ignores:" + blue(" ON "));
        if (c.ignoreDirectories) {
            appendLine(out, "Ignore Directories:" + blue(" ON "));
            appendLine(out, "Directory Ignore List:");
            ignoreList(out, c.directoryIgnoreList);
            appendLine(out, "Ignore Subfolders Too:" + onOff(c.ignoreSubfoldersToo));
        }
    }
    appendLine(out, "Masks: " + blue(utf8Name(escapeHtml(c.masks))));
    if (c.ignoreFiles) {
        appendLine(out, "Ignore Files:" + blue(" ON "));
        appendLine(out, "File Ignore List:");
        ignoreList(out, c.fileIgnoreList);
    }
    if (c.tab == Tab::Find) {
        appendLine(out, "Tab:" + blue(" Find"));
    } else {
        appendLine(out, "Tab: " + blue("Search and Replace ") +
                            "(Search Backup Files: " + blue(c.createBackups ? "Cannot" : "Can") + ")");
    }
    queryType(out, c);
    if (c.caseSensitive) appendLine(out, "Case Sensitive:" + blue(" ON "));
    // Whole Words is shown only beside the one-line query field.
    if (c.wholeWords && !multiLineQuery(c)) appendLine(out, "Whole Words: " + blue("ON"));
    if (c.sizeFilter) {
        appendLine(out, "File Size: " + blue("ON") +
                            (c.sizeLimitKind == engine::SizeLimitKind::Minimum ? " (Minimum " : " (Maximum ") +
                            blue(std::to_string(c.sizeValue) + (c.sizeUnit == engine::SizeUnit::KB ? " KB" : " MB")) +
                            ")");
    }
    if (c.dateFilter) {
        if (c.dateLimitKind == engine::DateLimitKind::Between) {
            appendLine(out, "File Date: " + blue("ON") + " (Between " +
                                blue(utf8Name(escapeHtml(formats.shortDateOf(c.minDate)))) + " and " +
                                blue(utf8Name(escapeHtml(formats.shortDateOf(c.maxDate)))) + ")");
        } else {
            appendLine(out,
                       "File Date: " + blue("ON") + " (Newer than " + blue(std::to_string(c.daysAgo)) + " days ago)");
        }
    }
    query(out, c);
    return out;
}

}  // namespace vsr::reports
