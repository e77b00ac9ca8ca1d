#pragma once
#include <memory>
#include <string>

#include "engine/search/search_run.h"
#include "regexpr/vx_regex.h"

namespace vsr::engine {

// The matcher of Reg Expr queries (Listing): counts the non-empty matches of the expression,
// line by line or over the whole text by the shared rule, and lists a file that has any.
class RegExprMatcher final : public ContentMatcher {
public:
    explicit RegExprMatcher(SearchRun& run);
    void matchFile(const std::string& dir, platform::DirEntry& entry) override;

    // The expression as it is run: the query lines joined by CR LF, a leading ".*" anchored.
    static std::string runExpression(const SearchConditions& c);

private:
    enum class Outcome { Counted, Stopped, Failed };
    bool checkQuery();
    bool prepare();
    Outcome count(std::string_view text, std::int64_t& matches);
    std::int64_t countInput(std::string_view input);
    void reportError(const regexpr::EVxRegex& e);

    SearchRun& run_;
    regexpr::TVxRegex engine_;
    bool prepared_ = false;
    bool usable_ = false;
    bool byLine_ = true;
    std::string subject_;  // the whole text with CR LF line ends, reused between files
};

// The regular-expression error report of a search: "Error: " + the message without its
// 16-character origin prefix, caption "Regular Expression"; the query field's character at the
// error position is selected; the run ends after the file.
void reportRegExprError(SearchRun& run, const regexpr::EVxRegex& error);

}  // namespace vsr::engine
