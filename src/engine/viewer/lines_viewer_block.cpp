// Multiline mode of the Lines Viewer fill: every place where the query's lines stand as whole
// lines of the file becomes one entry naming its first (and last) line.
#include "engine/viewer/lines_viewer_context.h"
#include "engine/query/query_terms.h"
#include "engine/query/text_lines.h"

namespace vsr::engine::lines_viewer {
namespace {

// A line as the block comparison sees it: trimmed as the options say; upper-casing is done
// while comparing, so no copy of the file is made.
std::string_view normalized(std::string_view line, const SearchConditions& c) {
    if (c.trimLeading) line = trimLeft(line);
    if (c.trimTrailing) line = trimRight(line);
    return line;
}

bool sameLine(std::string_view fileLine, const std::string& queryLine, const platform::CodePage* fold) {
    if (fold && fold->isUtf8()) return fold->sameFolded(fileLine, queryLine);
    if (fileLine.size() != queryLine.size()) return false;
    if (!fold) return fileLine == queryLine;
    for (std::size_t i = 0; i < fileLine.size(); ++i)
        if (fold->upper(static_cast<unsigned char>(fileLine[i])) != static_cast<unsigned char>(queryLine[i]))
            return false;
    return true;
}

}  // namespace

void fillBlock(FillContext& ctx) {
    const SearchConditions& c = ctx.conditions();
    const std::vector<std::string>& memo = c.multiLineQuery();
    if (isEmptyMemo(memo) || ctx.foundColumnAbsent()) return;
    for (const std::string& l : memo) {
        if (ctx.codePage().length(l) > kMaxQueryLine) {
            ctx.refuseQuery(kProgramTitle, tooLongLinesText(c.tab));
            return;
        }
    }
    const platform::CodePage* fold = c.caseSensitive ? nullptr : &ctx.codePage();
    std::vector<std::string> query;
    for (const std::string& l : memo) {
        std::string q(normalized(l, c));
        if (fold) q = fold->toUpper(q);
        query.push_back(std::move(q));
    }

    std::vector<std::string_view> lines;
    LineCursor cursor(ctx.text());
    std::string_view line;
    std::uint64_t ticks = 0;
    while (cursor.next(line)) {
        lines.push_back(normalized(line, c));
        if (!ctx.keepGoingEvery(ticks, 30)) return;
    }

    const std::size_t k = query.size();
    std::vector<std::int64_t> starts;
    starts.reserve(5000);
    for (std::size_t s = 0; k <= lines.size() && s <= lines.size() - k;) {
        if (!ctx.keepGoingEvery(ticks, 30)) return;
        std::size_t j = 0;
        while (j < k && sameLine(lines[s + j], query[j], fold)) ++j;
        if (j == k) {
            starts.push_back(static_cast<std::int64_t>(s) + 1);
            s += k;  // matches never overlap
        } else {
            ++s;
        }
    }

    ctx.ranMatching = true;
    ctx.result.counts = {static_cast<std::int64_t>(starts.size())};
    LinesViewerContent& content = ctx.content();
    for (std::int64_t start : starts) {
        if (!content.addBlock(start, k)) break;
        if (!ctx.keepGoingEvery(ticks, 15)) return;
    }
}

}  // namespace vsr::engine::lines_viewer
