#include "report_options.h"

#include <charconv>

#include "engine/viewer/lines_viewer_fill.h"
#include "durable/safe_writer.h"
#include "platform/attribute_changer.h"
#include "reports/lines_pages.h"
#include "reports/report_file.h"
#include "reports/search_report.h"

namespace vsr::tools {

namespace {

// Fills the rows one by one for the report, silently; a command-line run has no Stop.
class SilentLines final : public reports::ReportLines {
public:
    SilentLines(const engine::SearchConditions& c, engine::SearchEnv env, engine::SearchHost& host)
        : conditions_(c), env_(env), host_(host) {}
    const engine::LinesViewerContent* fill(std::size_t row) override {
        const results::ResultItem item = host_.results().row(row);
        engine::FillLinesViewer(conditions_, env_, host_, content_,
                                {item.path, item.name, static_cast<long long>(row), engine::FillPurpose::Silent});
        return &content_;
    }
    engine::LinesViewerContent& content() { return content_; }

private:
    const engine::SearchConditions& conditions_;
    engine::SearchEnv env_;
    engine::SearchHost& host_;
    engine::LinesViewerContent content_;
};

bool writeReport(std::FILE* err, const ReportRequest& r, const engine::SearchConditions& conditions,
                 engine::SearchEnv env, engine::SearchHost& host, platform::AttributeChanger& attributes) {
    reports::ReportInputs in;
    in.conditions = conditions;
    in.formats = &env.formats;
    const platform::FileTime now = env.clock.now();
    in.madeAt = env.formats.shortDate(now) + " " + env.formats.longTime(now);
    in.words = reports::reportWords(conditions);
    in.wordCounts = host.results().reportCounts;
    SilentLines lines(conditions, env, host);
    const reports::ReportText report = reports::searchReportText(in, host.results(), lines);
    if (!reports::writeDocument(r.reportFile, report.text, attributes)) {
        std::fprintf(err, "vsr-search: %s\n", reports::cannotOpenText(r.reportFile).c_str());
        return false;
    }
    return true;
}

bool writeBrowse(std::FILE* err, const ReportRequest& r, const engine::SearchConditions& conditions,
                 engine::SearchEnv env, engine::SearchHost& host, platform::AttributeChanger& attributes) {
    results::ResultList& list = host.results();
    if (r.browseRow < 1 || static_cast<std::size_t>(r.browseRow) > list.count()) {
        std::fprintf(err, "vsr-search: --browse: there is no row %lld (the list has %zu)\n", r.browseRow, list.count());
        return false;
    }
    const std::size_t row = static_cast<std::size_t>(r.browseRow - 1);
    const results::ResultItem item = list.row(row);
    SilentLines lines(conditions, env, host);
    lines.fill(row);
    const std::optional<std::string> bytes = platform::readWholeFile(item.fullName());
    if (!bytes) {
        std::fprintf(err, "vsr-search: File %s not found\n", item.fullName().c_str());
        return false;
    }
    const std::string page = reports::browseContextText(lines.content(), reports::numberedLines(*bytes), r.context,
                                                        conditions.effectiveQueryType(), conditions.textEncoding);
    if (!reports::writeDocument(r.browseFile, page, attributes)) {
        std::fprintf(err, "vsr-search: %s\n", reports::cannotOpenText(r.browseFile).c_str());
        return false;
    }
    return true;
}

}  // namespace

bool parseReportOption(const std::vector<std::string>& args, std::size_t& i, ReportRequest& r, std::string& error) {
    const std::string& a = args[i];
    const bool more = i + 1 < args.size();
    if (a == "--report") {
        if (!more || args[i + 1].empty()) error = "--report needs a file";
        else r.reportFile = args[++i];
    } else if (a == "--context") {
        r.contextGiven = true;
        if (!more || (r.context = reports::contextLines(args[++i])) < 0) error = "--context needs a number of lines or All";
    } else if (a == "--browse") {
        if (i + 2 >= args.size()) {
            error = "--browse needs a row number and a file";
            return true;
        }
        const std::string& row = args[++i];
        auto [end, ec] = std::from_chars(row.data(), row.data() + row.size(), r.browseRow);
        r.browseFile = args[++i];
        if (ec != std::errc() || end != row.data() + row.size() || r.browseRow < 1 || r.browseFile.empty())
            error = "--browse needs a row number from 1 and a file";
    } else {
        return false;
    }
    return true;
}

std::string finishReportOptions(const ReportRequest& r) {
    if (r.contextGiven && r.browseFile.empty()) return "--context goes with --browse";
    return {};
}

const char* reportUsage() {
    return "Reports: [--report FILE] writes the search report of the run to FILE;\n"
           "         [--context N|All] [--browse ROW FILE] writes the Browse Context page of row ROW\n"
           "         (from 1) with N lines of context (default 5) to FILE.\n";
}

engine::RunOptions reportRunOptions(const ReportRequest& r) {
    engine::RunOptions options;
    options.forReport = !r.reportFile.empty();
    return options;
}

bool writeRequestedPages(std::FILE* err, const ReportRequest& r, const engine::SearchConditions& conditions,
                         engine::SearchEnv env, engine::SearchHost& host) {
    platform::PosixAttributeChanger attributes;
    bool ok = true;
    if (!r.reportFile.empty()) ok = writeReport(err, r, conditions, env, host, attributes) && ok;
    if (!r.browseFile.empty()) ok = writeBrowse(err, r, conditions, env, host, attributes) && ok;
    return ok;
}

}  // namespace vsr::tools
