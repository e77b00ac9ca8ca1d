// Reg Expr mode of the Lines Viewer fill: matches the expression line by line or over the
// whole text, highlights every non-empty match (a match over several lines marks its part of
// each) and counts each match once.
#include <algorithm>
#include <new>

#include "engine/viewer/lines_viewer_context.h"
#include "engine/query/regexpr_query.h"
#include "engine/query/text_lines.h"
#include "regexpr/vx_regex.h"

namespace vsr::engine::lines_viewer {
namespace {

// Length of the engine's origin prefix at the start of every error message.
constexpr std::size_t kErrorPrefix = 16;

void matchLines(regexpr::TVxRegex& rx, FillContext& ctx) {
    LinesViewerContent& content = ctx.content();
    std::int64_t& count = ctx.result.counts[0];
    LineCursor cursor(ctx.text());
    std::string_view line;
    std::int64_t number = 0;
    std::uint64_t ticks = 0;
    while (cursor.next(line)) {
        ++number;
        if (!ctx.keepGoingEvery(ticks, 20)) return;
        if (!rx.Exec(line)) continue;
        bool hit = false;
        FoundLine* entry = nullptr;
        int prefix = 0;
        do {
            std::int64_t length = rx.MatchLength(0);
            if (length <= 0) continue;
            ++count;
            if (!hit) {
                hit = true;
                entry = content.addLine(number, line, true);
                prefix = static_cast<int>(foundLinePrefix(number).size());
            }
            std::int64_t offset = rx.MatchStart(0) - 1;
            if (entry && offset + length <= static_cast<std::int64_t>(INT32_MAX) - prefix)
                entry->highlights.push_back({prefix + static_cast<int>(offset), static_cast<int>(length)});
            if (!ctx.keepGoing(20)) return;
        } while (rx.ExecNext());
    }
}

// The whole text is the lines joined, each followed by CR LF, as one subject.
void matchWholeText(regexpr::TVxRegex& rx, FillContext& ctx) {
    std::vector<std::string_view> lines;
    std::vector<std::size_t> starts;  // offset of each line in the subject
    std::string& subject = ctx.scratch().subject;
    subject.clear();
    {
        LineCursor cursor(ctx.text());
        std::string_view line;
        std::size_t total = 0;
        std::uint64_t ticks = 0;
        while (cursor.next(line)) {
            starts.push_back(total);
            lines.push_back(line);
            total += line.size() + 2;
            if (!ctx.keepGoingEvery(ticks, 20)) return;
        }
        subject.reserve(total);
        for (std::string_view l : lines) {
            subject.append(l);
            subject.append("\r\n");
            if (!ctx.keepGoingEvery(ticks, 20)) return;
        }
    }
    LinesViewerContent& content = ctx.content();
    std::int64_t& count = ctx.result.counts[0];
    std::size_t li = 0;                // the line walk only moves forward
    std::int64_t lastEntryLine = 0;    // line of the last entry made, to add to it
    FoundLine* lastEntry = nullptr;
    if (!rx.Exec(subject)) return;
    // One search for the next match may cover much of the text: look at the clock after each.
    do {
        if (!ctx.keepGoing(20)) return;
        std::int64_t length = rx.MatchLength(0);
        if (length <= 0) continue;
        ++count;
        const std::size_t begin = static_cast<std::size_t>(rx.MatchStart(0) - 1);
        const std::size_t end = begin + static_cast<std::size_t>(length);  // one past the last character
        while (li + 1 < lines.size() && starts[li + 1] <= begin) ++li;
        for (std::size_t k = li; k < lines.size() && starts[k] < end; ++k) {
            const std::int64_t number = static_cast<std::int64_t>(k) + 1;
            if (number != lastEntryLine) {
                lastEntry = content.addLine(number, lines[k], true);
                lastEntryLine = number;
            }
            if (lastEntry) {
                const std::size_t from = std::max(begin, starts[k]) - starts[k];
                const std::size_t to = std::min(end, starts[k] + lines[k].size()) - starts[k];
                const int prefix = static_cast<int>(foundLinePrefix(number).size());
                if (to > from && to <= static_cast<std::size_t>(INT32_MAX - prefix))
                    lastEntry->highlights.push_back({prefix + static_cast<int>(from), static_cast<int>(to - from)});
            }
            li = k;
        }
    } while (rx.ExecNext());
}

}  // namespace

void fillRegExpr(FillContext& ctx) {
    const SearchConditions& c = ctx.conditions();
    const std::vector<std::string>& memo = c.multiLineQuery();
    if (isEmptyMemo(memo) || ctx.foundColumnAbsent()) return;
    for (const std::string& l : memo) {
        if (ctx.codePage().length(l) > kMaxQueryLine) {
            // Unlike the other modes the header stays: only the Found value goes.
            ctx.host().messageBox(kProgramTitle, tooLongLinesText(c.tab), MessageIcon::Exclamation);
            ctx.result.end = FillEnd::QueryRefused;
            return;
        }
    }
    // The listing's expression and rule: browsing a row never changes its count.
    const RegExprQuery query = regExprQuery(c);
    const bool byLine = query.byLine;

    ctx.ranMatching = true;
    ctx.result.counts = {0};
    regexpr::TVxRegex& rx = ctx.scratch().regex;
    try {
        // The engine asks between steps of a long match; a false answer interrupts it.
        rx.SetCancelHook([&ctx] { return ctx.keepGoing(25); });
        compileRegExpr(rx, c, ctx.codePage(), query.expression);
        if (byLine) matchLines(rx, ctx);
        else matchWholeText(rx, ctx);
        rx.SetCancelHook({});
    } catch (const regexpr::EVxRegex& e) {
        rx.SetCancelHook({});
        std::string message = e.what();
        message = message.size() > kErrorPrefix ? message.substr(kErrorPrefix) : std::string();
        ctx.host().messageBox("Regular Expression", "Error: " + message, MessageIcon::Exclamation);
        if (e.position() > 0 && ctx.events()) ctx.events()->selectExpressionCharacter(c.tab, e.position());
        ctx.host().runState().stop = true;
        ctx.result.end = FillEnd::RegExprError;
    } catch (const regexpr::MatchInterrupted&) {
        rx.SetCancelHook({});
        // keepGoing already recorded why: Stop or another row.
        if (ctx.result.end == FillEnd::Done) ctx.result.end = FillEnd::Stopped;
    } catch (const std::bad_alloc&) {
        rx.SetCancelHook({});
        // A file too large to hold twice more in memory ends as a read failure does.
        ctx.result.end = FillEnd::Stopped;
    }
}

}  // namespace vsr::engine::lines_viewer
