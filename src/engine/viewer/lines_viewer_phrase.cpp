// Phrase and words mode of the Lines Viewer fill: every line holding a term becomes an entry
// with each occurrence highlighted; the counts cover the whole file.
#include "engine/query/line_matcher.h"
#include "engine/viewer/lines_viewer_context.h"
#include "engine/query/query_terms.h"
#include "engine/query/text_lines.h"

namespace vsr::engine::lines_viewer {
namespace {

constexpr std::size_t kMaxQuery = 4000;
// Highlights are kept for occurrences inside the first (query length + this) bytes of a line;
// the display text is cut well before that anyway.
constexpr std::size_t kHighlightReach = 1024;
// Counting the rest of a file returns to the pump after this many bytes.
constexpr std::size_t kCountSlice = 1 << 20;

bool usable(const QueryTerm& t) { return !t.text.empty() && t.text.find_first_of("\r\n") == std::string::npos; }

// Counts the occurrences of every term in `text` from `from` on (the viewer is full).
bool countRest(FillContext& ctx, const std::vector<TermScanner*>& scanners, std::vector<std::int64_t>& counts,
               std::string_view text, std::size_t from) {
    for (std::size_t i = 0; i < scanners.size(); ++i) {
        if (!scanners[i]) continue;
        std::size_t pos = from;
        std::size_t sliceEnd = from + kCountSlice;
        for (;;) {
            std::size_t end = 0;
            std::size_t p = scanners[i]->next(text, pos, sliceEnd, &end);
            if (p == std::string_view::npos) {
                if (sliceEnd >= text.size()) break;
                pos = pos > sliceEnd ? pos : sliceEnd;
                sliceEnd += kCountSlice;
                if (!ctx.keepGoing(30)) return false;
                continue;
            }
            ++counts[i];
            pos = end;
        }
    }
    return true;
}

}  // namespace

void fillPhraseAndWords(FillContext& ctx) {
    const SearchConditions& c = ctx.conditions();
    const std::string& query = c.oneLineQuery();
    if (ctx.codePage().length(query) > kMaxQuery) {
        ctx.refuseQuery(kProgramTitle, c.tab == Tab::Find ? "The query is too long"
                                                         : "The string is too long for the To Search field");
        return;
    }
    BuildTermsResult built = buildTerms(c.effectiveQueryType(), query, c.caseSensitive, ctx.codePage());
    if (!built.ok) {
        ctx.refuseQuery(built.caption, built.message);
        return;
    }
    const std::vector<QueryTerm>& terms = built.list.terms;
    if (query.empty() || terms.empty() || ctx.foundColumnAbsent()) return;

    ctx.ranMatching = true;
    std::vector<std::int64_t>& counts = ctx.result.counts;
    counts.assign(terms.size(), 0);
    std::vector<TermScanner> owned;
    owned.reserve(terms.size());
    std::vector<TermScanner*> scanners(terms.size(), nullptr);
    for (std::size_t i = 0; i < terms.size(); ++i) {
        if (!usable(terms[i])) continue;
        owned.emplace_back(terms[i].text, c.wholeWords, ctx.codePage(), !c.caseSensitive);
        scanners[i] = &owned.back();
    }

    // The scanners compare through the code page's upper-case table, so the file is searched as
    // read and its lines are shown from the same bytes.
    const std::string_view text = ctx.text();
    const std::size_t reach = query.size() + kHighlightReach;
    LinesViewerContent& content = ctx.content();
    LineCursor cursor(text);
    std::string_view line;
    std::int64_t number = 0;
    std::uint64_t ticks = 0;
    while (cursor.next(line)) {
        ++number;
        if (!ctx.keepGoingEvery(ticks, 30)) return;
        bool hit = false;
        bool overflow = false;
        FoundLine* entry = nullptr;
        int prefix = 0;
        for (std::size_t i = 0; i < scanners.size(); ++i) {
            const TermScanner* s = scanners[i];
            if (!s) continue;
            std::size_t end = 0;
            for (std::size_t p = s->next(line, 0, std::string_view::npos, &end); p != std::string_view::npos;
                 p = s->next(line, end, std::string_view::npos, &end)) {
                const std::size_t len = end - p;
                ++counts[i];
                if (!hit) {
                    hit = true;
                    entry = content.addLine(number, line, true);
                    overflow = entry == nullptr;
                    if (entry) prefix = static_cast<int>(foundLinePrefix(number).size());
                }
                if (entry && p + len <= reach)
                    entry->highlights.push_back({prefix + static_cast<int>(p), static_cast<int>(len)});
                if (!ctx.keepGoingEvery(ticks, 30)) return;
            }
        }
        if (overflow) {
            // The viewer is full: the rest of the file only adds to the counts.
            if (!countRest(ctx, scanners, counts, text, cursor.position())) return;
            break;
        }
    }
}

}  // namespace vsr::engine::lines_viewer
