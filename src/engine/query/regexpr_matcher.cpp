#include "engine/query/regexpr_matcher.h"

#include <new>

#include "engine/query/regexpr_query.h"
#include "engine/query/text_lines.h"

namespace vsr::engine {

namespace {

constexpr std::size_t kErrorPrefix = 16;  // "TVxRegex(comp): " and its kin

}  // namespace

void reportRegExprError(SearchRun& run, const regexpr::EVxRegex& error) {
    std::string message = error.what();
    message = message.size() > kErrorPrefix ? message.substr(kErrorPrefix) : std::string();
    run.message("Regular Expression", "Error: " + message, MessageIcon::Exclamation);
    if (error.position() > 0) run.selectExpressionCharacter(run.conditions().tab, error.position());
    run.endRun();
}

RegExprMatcher::RegExprMatcher(SearchRun& run) : run_(run) {}

std::string RegExprMatcher::runExpression(const SearchConditions& c) { return regExprQuery(c).expression; }

bool RegExprMatcher::checkQuery() { return run_.checkQueryLines(); }

// Sets the engine up once per run: modifiers, the code page's tables, the expression. A
// compilation error is reported once and ends the run.
bool RegExprMatcher::prepare() {
    if (prepared_) return usable_;
    prepared_ = true;
    const SearchConditions& c = run_.conditions();
    // Inside one long match the engine asks here at most every 25 ms; Stop interrupts it.
    engine_.SetCancelHook([this] { return !run_.stopped(); });
    const RegExprQuery query = regExprQuery(c);
    byLine_ = query.byLine;
    try {
        compileRegExpr(engine_, c, run_.codePage(), query.expression);
        usable_ = true;
    } catch (const regexpr::EVxRegex& e) {
        reportError(e);
    }
    return usable_;
}

void RegExprMatcher::reportError(const regexpr::EVxRegex& e) {
    usable_ = false;
    reportRegExprError(run_, e);
}

// Non-empty matches of one input; the stop flag is looked at between matches.
std::int64_t RegExprMatcher::countInput(std::string_view input) {
    std::int64_t matches = 0;
    for (bool found = engine_.Exec(input); found; found = engine_.ExecNext()) {
        if (run_.stopped()) throw regexpr::MatchInterrupted();
        if (engine_.MatchLength(0) > 0) ++matches;
    }
    return matches;
}

RegExprMatcher::Outcome RegExprMatcher::count(std::string_view text, std::int64_t& matches) {
    matches = 0;
    try {
        if (byLine_) {
            LineCursor cursor(text);
            std::string_view line;
            while (cursor.next(line)) matches += countInput(line);
        } else {
            // The whole text: every line followed by CR LF, whatever its own line end was.
            subject_.clear();
            subject_.reserve(text.size() + text.size() / 16 + 2);
            LineCursor cursor(text);
            std::string_view line;
            while (cursor.next(line)) {
                subject_.append(line);
                subject_.append("\r\n");
            }
            matches = countInput(subject_);
        }
    } catch (const regexpr::EVxRegex& e) {
        reportError(e);
        return Outcome::Stopped;
    } catch (const regexpr::MatchInterrupted&) {
        return Outcome::Stopped;
    } catch (const std::bad_alloc&) {
        return Outcome::Failed;
    }
    return Outcome::Counted;
}

void RegExprMatcher::matchFile(const std::string& dir, platform::DirEntry& entry) {
    TermList& terms = run_.terms();
    if (isEmptyMemo(run_.conditions().multiLineQuery())) {
        run_.removeFoundColumn();
        terms.terms.assign(1, QueryTerm{});
        run_.listFile(dir, entry, {0});
        return;
    }
    if (!checkQuery() || !prepare()) return;
    if (run_.readFile(platform::joinPath(dir, entry.name)) != platform::ReadStatus::Ok) return;
    std::int64_t matches = 0;
    Outcome outcome = count(run_.buffer().view(), matches);
    if (outcome == Outcome::Stopped || run_.stopped()) return;
    terms.terms.assign(1, QueryTerm{});
    terms.terms[0].foundCount = matches;
    if (matches > 0) run_.listFile(dir, entry, {matches});
}

}  // namespace vsr::engine
