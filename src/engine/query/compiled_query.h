#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/query/query_terms.h"
#include "engine/query/search_conditions.h"
#include "engine/query/term_scanner.h"
#include "engine/query/term_set_scanner.h"
#include "platform/code_page.h"

namespace vsr::regexpr {
class EVxRegex;
}

namespace vsr::engine {

class QueryMatcher;

// Why a query can't run: the message box that says so. `atFirstFile` tells a search to report it
// only when a file first reaches the matcher (a query-length check, an expression error); else
// it is reported when the run starts (a malformed list of words).
struct QueryRefusal {
    std::string caption;
    std::string message;
    bool atFirstFile = true;
    bool expressionError = false;  // the regular expression failed to compile or to run
    int expressionPosition = 0;    // 1-based character of the expression field, 0 when unknown
};

// The query of one run, built once from the conditions of its tab, for every query type: the
// terms of Phrase, Words and Search Engine queries, the normalized lines of a Multiline query,
// the expression and its line rule of a Reg Expr query. It knows no run, host, sink or row: it
// only says where a file's text matches. It never changes after it is built, so any number of
// threads may share it; each gets its own QueryMatcher, which holds the regular-expression engine.
class CompiledQuery {
public:
    enum class Kind { Terms, Blocks, RegExpr };

    explicit CompiledQuery(const SearchConditions& conditions);
    CompiledQuery(const CompiledQuery&) = delete;
    CompiledQuery& operator=(const CompiledQuery&) = delete;

    Kind kind() const { return kind_; }
    QueryType type() const { return type_; }
    // The query can't run; refusal() says why.
    bool refused() const { return refusal_ != nullptr; }
    const QueryRefusal& refusal() const { return *refusal_; }
    // False when the expression does not compile: no matcher can be made. A query refused only
    // for its length still runs, for modification, which has no such limit.
    bool runnable() const { return !expressionBroken_; }
    // An empty query: every file passing the filters is listed, without counts.
    bool listsEveryFile() const { return everyFile_; }

    // One count per term for Terms, a single count for Blocks and Reg Expr.
    std::size_t countSlots() const { return kind_ == Kind::Terms ? terms_.size() : 1; }
    const TermList& terms() const { return terms_; }
    // Whether per-term counts list the file: no Required term missing, no Excluded term found,
    // and some term found (or every term Excluded).
    bool listed(const std::vector<std::int64_t>& counts) const;

    // Reg Expr: the expression as it runs (query lines joined by CR LF, a leading ".*"
    // anchored) and whether it runs line by line rather than over the whole text.
    const std::string& expression() const { return expression_; }
    bool byLine() const { return byLine_; }
    // Multiline: the query lines, trimmed as the options say and upper-cased unless the case
    // matters.
    const std::vector<std::string>& blockLines() const { return blockLines_; }

    // A matcher for one thread; false-returning `goOn` ends long work (Stop, another row).
    // Without `literalSkips` a Reg Expr matcher hands every line or text to the engine, even
    // those without a literal every match needs (for tests comparing the two).
    std::unique_ptr<QueryMatcher> matcher(std::function<bool()> goOn = {}, bool literalSkips = true) const;

    const SearchConditions& conditions() const { return conditions_; }
    const platform::CodePage& codePage() const { return *page_; }
    const std::vector<TermScanner>& scanners() const { return scanners_; }
    // The usable terms counted together in one pass, at most TermSetScanner::kMaxTerms to a set,
    // and the usable terms each counted in a pass of its own (all of them where the processor
    // can't run the sets).
    const std::vector<TermSetScanner>& termSets() const { return termSets_; }
    const std::vector<std::size_t>& loneTerms() const { return loneTerms_; }
    // Whether a matcher's count() notes where the occurrences lie (see noteOccurrences): the
    // query has one term, counted on its own.
    bool notesOccurrences() const { return kind_ == Kind::Terms && termSets_.empty() && loneTerms_.size() == 1; }
    // Whether term `t` can match at all: a term with a line end never lies inside one line.
    bool usableTerm(std::size_t t) const { return usable_[t] != 0; }

private:
    void refuse(std::string caption, std::string message, bool atFirstFile);
    void buildTerms();
    void groupTerms();
    void buildBlocks();
    void buildRegExpr();

    SearchConditions conditions_;
    const platform::CodePage* page_;
    QueryType type_;
    Kind kind_ = Kind::Terms;
    std::unique_ptr<QueryRefusal> refusal_;
    bool everyFile_ = false;
    TermList terms_;
    std::vector<TermScanner> scanners_;
    std::vector<char> usable_;
    std::vector<TermSetScanner> termSets_;
    std::vector<std::size_t> loneTerms_;
    std::vector<std::string> blockLines_;
    std::string expression_;
    bool byLine_ = true;
    bool expressionBroken_ = false;
};

// One match in a file's text. Lines are those of the text (split at CR LF, LF or CR, numbered
// from 0). A Reg Expr match over the whole text may run on over line ends, each of which it
// counts as CR LF; a Multiline match is `lines` whole lines.
struct MatchSpan {
    std::uint32_t term = 0;  // index of the term; 0 for Multiline and Reg Expr
    std::size_t line = 0;    // line of the first character
    std::size_t column = 0;  // offset of the first character in its line
    std::size_t length = 0;  // bytes (0 for a Multiline block)
    std::size_t lines = 1;   // lines touched, up to the one holding the last character
    std::size_t offset = 0;  // offset of the first character in QueryMatcher::input()
};

// Where an occurrence lies in a text: [begin, end).
struct Occurrence {
    std::size_t begin = 0;
    std::size_t end = 0;
};

// How a scan ended.
enum class ScanEnd {
    Done,             // the text was matched to its end
    Stopped,          // goOn or the visitor said no: what was seen so far stands
    ExpressionError,  // the expression could not run on this text; error() says why
};

// Runs a compiled query over texts, one at a time. Not to be shared between threads.
class QueryMatcher {
public:
    virtual ~QueryMatcher() = default;

    // The count of every slot in `text` (read up to its first NUL byte), added to `counts`
    // (resized to countSlots()). With `untilExcluded` a Terms scan ends at the first Excluded
    // term found: the file won't be listed anyway.
    virtual ScanEnd count(std::string_view text, std::vector<std::int64_t>& counts, bool untilExcluded = false) = 0;
    // Every match of `text` (read up to its first NUL byte) in line order; the matches of one
    // line come term by term. A visitor returning false ends the scan (Stopped).
    virtual ScanEnd scan(std::string_view text, const std::function<bool(const MatchSpan&)>& visit) = 0;

    // During a Reg Expr visit: the input the span's offset points into (the line, or the whole
    // text joined by CR LF), valid until the next scan or release().
    virtual std::string_view input() const { return {}; }
    // During a Reg Expr visit: `templateText` with the match's groups put in.
    virtual std::string expand(std::string_view /*templateText*/) const { return {}; }
    // While set, count() also notes where each occurrence it counts lies, in order, when the
    // query notesOccurrences() (a phrase); `into` is emptied as each count starts.
    void noteOccurrences(std::vector<Occurrence>* into) { noted_ = into; }
    // The failure of the last ExpressionError.
    const QueryRefusal& error() const { return error_; }
    // Frees the buffers kept between texts.
    virtual void release() {}

protected:
    QueryRefusal error_;
    std::vector<Occurrence>* noted_ = nullptr;
};

// The message box of a regular-expression error: "Error: " and the engine's message without its
// origin prefix, caption "Regular Expression", with the position of the error.
QueryRefusal expressionRefusal(const regexpr::EVxRegex& error);

// The text up to its first NUL byte: reading a file stops there.
std::string_view textBeforeNul(std::string_view text);

}  // namespace vsr::engine
