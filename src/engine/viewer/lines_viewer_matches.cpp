// The matching part of a Lines Viewer fill: the compiled query's matches of the file become
// entries with highlights, and its counts become the row's Found value, exactly as the listing
// counts them. A line holding matches gets one entry with every match highlighted; a match of a
// Reg Expr over the whole text marks its part of each line it runs over; a Multiline match is
// one entry naming its first (and last) line.
#include <algorithm>
#include <climits>

#include "engine/query/compiled_query.h"
#include "engine/query/text_lines.h"
#include "engine/viewer/lines_viewer_context.h"
#include "text/utf8.h"

namespace vsr::engine::lines_viewer {
namespace {

// Word queries keep highlights inside the first (query length + this) characters of a line;
// the display text is cut well before that anyway.
constexpr std::size_t kHighlightReach = 1024;

// The lines of a text, reached in increasing order without going back.
class ForwardLines {
public:
    explicit ForwardLines(std::string_view text) : cursor_(text) {}
    // Line `index` (0-based); empty when the text has fewer lines.
    std::string_view at(std::size_t index) {
        while (next_ <= index) {
            if (!cursor_.next(line_)) {
                line_ = {};
                next_ = index + 1;
                break;
            }
            ++next_;
        }
        return line_;
    }

private:
    LineCursor cursor_;
    std::string_view line_;
    std::size_t next_ = 0;  // index of the line the cursor gives next
};

// Whether a highlight ending at byte `to` of `line` lies within `reach` characters. In UTF-8 a
// character takes up to four bytes, so a line of non-ASCII text keeps the marks of as many
// characters as one of ASCII does.
bool withinReach(std::string_view line, std::size_t to, std::size_t reach, bool utf8) {
    if (to <= reach) return true;
    if (!utf8 || to / 4 > reach) return false;
    return text::utf8::length(line.substr(0, std::min(to, line.size()))) <= reach;
}

void addHighlight(FoundLine* entry, std::int64_t lineNumber, std::size_t from, std::size_t to) {
    if (!entry || to <= from) return;
    const std::size_t prefix = foundLinePrefix(lineNumber).size();
    if (to > static_cast<std::size_t>(INT_MAX) - prefix) return;
    entry->highlights.push_back({static_cast<int>(prefix + from), static_cast<int>(to - from)});
}

void refuse(FillContext& ctx, const CompiledQuery& query) {
    const QueryRefusal& r = query.refusal();
    if (r.expressionError) {
        ctx.sink().message(r.caption, r.message, MessageIcon::Exclamation);
        if (r.expressionPosition > 0 && ctx.events())
            ctx.events()->selectExpressionCharacter(ctx.conditions().tab, r.expressionPosition);
        ctx.control().runState().stop = true;
        ctx.result.end = FillEnd::RegExprError;
    } else if (query.kind() == CompiledQuery::Kind::RegExpr) {
        // Unlike the other kinds the header stays: only the Found value goes.
        ctx.sink().message(r.caption, r.message, MessageIcon::Exclamation);
        ctx.result.end = FillEnd::QueryRefused;
    } else {
        ctx.refuseQuery(r.caption, r.message);
    }
}

}  // namespace

void fillMatches(FillContext& ctx) {
    const CompiledQuery query(ctx.conditions());
    if (query.refused()) {
        refuse(ctx, query);
        return;
    }
    if (query.listsEveryFile() || ctx.foundColumnAbsent()) return;
    std::unique_ptr<QueryMatcher> matcher = query.matcher([&ctx] { return ctx.keepGoing(25); });
    if (!matcher) return;

    ctx.ranMatching = true;
    std::vector<std::int64_t>& counts = ctx.result.counts;
    counts.assign(query.countSlots(), 0);
    LinesViewerContent& content = ctx.content();
    ForwardLines lines(ctx.text());
    const bool terms = query.kind() == CompiledQuery::Kind::Terms;
    const std::size_t reach = terms ? ctx.conditions().oneLineQuery().size() + kHighlightReach : SIZE_MAX;
    const bool utf8 = ctx.conditions().textEncoding == platform::CodePageId::Utf8;
    std::size_t entryLine = SIZE_MAX;  // line of the last entry made, to add to it
    FoundLine* entry = nullptr;
    std::uint64_t ticks = 0;

    const ScanEnd end = matcher->scan(ctx.text(), [&](const MatchSpan& span) {
        ++counts[span.term];
        if (!ctx.keepGoingEvery(ticks, 20)) return false;
        if (content.full()) return true;  // the rest of the file only adds to the counts
        if (query.kind() == CompiledQuery::Kind::Blocks) {
            content.addBlock(static_cast<std::int64_t>(span.line) + 1, span.lines);
            return true;
        }
        // A match covers its first line from its column; each further line from its start.
        // Every line end it runs over counts as CR LF.
        std::size_t from = span.column;
        std::size_t left = span.length;
        for (std::size_t k = span.line; k < span.line + span.lines; ++k) {
            const std::string_view text = lines.at(k);
            const std::int64_t number = static_cast<std::int64_t>(k) + 1;
            if (k != entryLine) {
                entry = content.addLine(number, text, true);
                entryLine = k;
            }
            const std::size_t to = std::min(text.size(), from + left);
            if (withinReach(text, to, reach, utf8)) addHighlight(entry, number, std::min(from, to), to);
            const std::size_t used = text.size() + 2 - std::min(from, text.size() + 2);
            left = left > used ? left - used : 0;
            from = 0;
        }
        return true;
    });
    matcher->release();
    if (end == ScanEnd::ExpressionError) {
        const QueryRefusal& r = matcher->error();
        ctx.sink().message(r.caption, r.message, MessageIcon::Exclamation);
        if (r.expressionPosition > 0 && ctx.events())
            ctx.events()->selectExpressionCharacter(ctx.conditions().tab, r.expressionPosition);
        ctx.control().runState().stop = true;
        ctx.result.end = FillEnd::RegExprError;
    } else if (end == ScanEnd::Stopped && ctx.result.end == FillEnd::Done) {
        // keepGoing records why when it ends the scan: Stop or another row.
        ctx.result.end = FillEnd::Stopped;
    }
}

}  // namespace vsr::engine::lines_viewer
