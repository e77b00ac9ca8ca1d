#include "engine/query/compiled_query.h"

#include <algorithm>
#include <cstring>

#include "engine/query/regexpr_query.h"
#include "regexpr/vx_regex.h"

namespace vsr::engine {
namespace {

constexpr std::size_t kMaxOneLineQuery = 4000;
constexpr std::size_t kMaxQueryLine = 1000;
// Length of the engine's origin prefix ("TVxRegex(comp): " and its kin) in its messages.
constexpr std::size_t kErrorPrefix = 16;

bool holdsLineEnd(std::string_view term) { return term.find_first_of("\r\n") != std::string_view::npos; }

}  // namespace

std::string_view textBeforeNul(std::string_view text) {
    if (text.empty()) return text;
    const void* nul = std::memchr(text.data(), 0, text.size());
    return nul ? text.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - text.data())) : text;
}

QueryRefusal expressionRefusal(const regexpr::EVxRegex& e) {
    const std::string what = e.what();
    QueryRefusal r;
    r.caption = "Regular Expression";
    r.message = "Error: " + (what.size() > kErrorPrefix ? what.substr(kErrorPrefix) : std::string());
    r.expressionError = true;
    r.expressionPosition = e.position();
    return r;
}

CompiledQuery::CompiledQuery(const SearchConditions& conditions)
    : conditions_(conditions), page_(&platform::CodePage::get(conditions.textEncoding)),
      type_(conditions.effectiveQueryType()) {
    switch (type_) {
        case QueryType::Multiline: buildBlocks(); break;
        case QueryType::RegExpr: buildRegExpr(); break;
        default: buildTerms(); break;
    }
}

void CompiledQuery::refuse(std::string caption, std::string message, bool atFirstFile) {
    if (refusal_) return;
    refusal_ = std::make_unique<QueryRefusal>();
    refusal_->caption = std::move(caption);
    refusal_->message = std::move(message);
    refusal_->atFirstFile = atFirstFile;
}

void CompiledQuery::buildTerms() {
    kind_ = Kind::Terms;
    const SearchConditions& c = conditions_;
    const std::string& query = c.oneLineQuery();
    BuildTermsResult built = engine::buildTerms(type_, query, c.caseSensitive, *page_);
    if (!built.ok) refuse(built.caption, built.message, false);
    if (page_->length(query) > kMaxOneLineQuery)
        refuse(kProgramTitle,
               c.tab == Tab::Find ? "The query is too long" : "The string is too long for the To Search field", true);
    terms_ = std::move(built.list);
    everyFile_ = built.ok && (query.empty() || terms_.empty());
    scanners_.reserve(terms_.size());
    for (const QueryTerm& t : terms_.terms) {
        scanners_.emplace_back(t.text, c.wholeWords, *page_, !c.caseSensitive);
        usable_.push_back(!t.text.empty() && !holdsLineEnd(t.text));
    }
    groupTerms();
}

void CompiledQuery::groupTerms() {
    std::vector<std::size_t> probed;
    for (std::size_t t = 0; t < scanners_.size(); ++t) {
        if (!usable_[t]) continue;
        if (scanners_[t].probes() && TermSetScanner::available()) probed.push_back(t);
        else loneTerms_.push_back(t);
    }
    // A single term gains nothing from a set.
    if (probed.size() < 2) {
        loneTerms_.insert(loneTerms_.end(), probed.begin(), probed.end());
        std::sort(loneTerms_.begin(), loneTerms_.end());
        return;
    }
    termSets_.reserve((probed.size() + TermSetScanner::kMaxTerms - 1) / TermSetScanner::kMaxTerms);
    for (std::size_t i = 0; i < probed.size(); i += TermSetScanner::kMaxTerms) {
        const std::size_t end = std::min(probed.size(), i + TermSetScanner::kMaxTerms);
        termSets_.emplace_back(scanners_, std::vector<std::size_t>(probed.begin() + i, probed.begin() + end));
    }
}

void CompiledQuery::buildBlocks() {
    kind_ = Kind::Blocks;
    const SearchConditions& c = conditions_;
    everyFile_ = isEmptyMemo(c.multiLineQuery());
    for (const std::string& line : c.multiLineQuery()) {
        if (page_->length(line) > kMaxQueryLine)
            refuse(kProgramTitle,
                   c.tab == Tab::Find ? "The lines are too long for the Query field"
                                      : "The lines are too long for the To Search field",
                   true);
        std::string_view v = line;
        if (c.trimLeading) v = trimLeft(v);
        if (c.trimTrailing) v = trimRight(v);
        blockLines_.push_back(c.caseSensitive ? std::string(v) : page_->toUpper(v));
    }
}

void CompiledQuery::buildRegExpr() {
    kind_ = Kind::RegExpr;
    const SearchConditions& c = conditions_;
    everyFile_ = isEmptyMemo(c.multiLineQuery());
    for (const std::string& line : c.multiLineQuery())
        if (page_->length(line) > kMaxQueryLine)
            refuse(kProgramTitle,
                   c.tab == Tab::Find ? "The lines are too long for the Query field"
                                      : "The lines are too long for the To Search field",
                   true);
    const RegExprQuery q = regExprQuery(c);
    expression_ = q.expression;
    byLine_ = q.byLine;
    if (everyFile_) return;
    // Compiled here once so that a wrong expression is known before any file is read; each
    // matcher compiles its own engine from the same settings.
    try {
        regexpr::TVxRegex probe;
        compileRegExpr(probe, c, *page_, expression_);
    } catch (const regexpr::EVxRegex& e) {
        if (!refusal_) refusal_ = std::make_unique<QueryRefusal>(expressionRefusal(e));
        expressionBroken_ = true;
    }
}

bool CompiledQuery::listed(const std::vector<std::int64_t>& counts) const {
    if (kind_ != Kind::Terms) return !counts.empty() && counts[0] > 0;
    bool any = false;
    for (std::size_t t = 0; t < terms_.terms.size() && t < counts.size(); ++t) {
        const QueryTerm& term = terms_.terms[t];
        if (term.sign == TermSign::Required && counts[t] == 0) return false;
        if (term.sign == TermSign::Excluded && counts[t] > 0) return false;
        if (counts[t] > 0) any = true;
    }
    return any || terms_.allExcluded;
}

}  // namespace vsr::engine
