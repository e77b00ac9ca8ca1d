#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/query/search_conditions.h"
#include "platform/code_page.h"

namespace vsr::engine {

enum class TermSign { Plain, Required, Excluded };

// One word or phrase of the parsed query, with its count in the file being examined.
struct QueryTerm {
    std::string text;  // upper-cased unless the search is case sensitive
    TermSign sign = TermSign::Plain;
    std::int64_t foundCount = 0;
};

inline constexpr std::size_t kMaxTerms = 499;

// The parsed query of a run; rebuilt at every run start, read until the next one.
struct TermList {
    std::vector<QueryTerm> terms;
    bool allExcluded = false;

    std::size_t size() const { return terms.size(); }
    bool empty() const { return terms.empty(); }
    void resetCounts();
    std::vector<std::int64_t> counts() const;
};

// The result of building terms: the list, or the message box that refuses the query.
struct BuildTermsResult {
    bool ok = true;
    TermList list;
    std::string caption;
    std::string message;
};

// The Missing message: the word, three blanks, a quotation mark and two blanks.
inline constexpr const char* kMissingMessage = "Missing   \"  ";

// Builds the terms of a Phrase, Words: or, Words: and or Search Engine query. Multiline and
// Reg Expr build no terms (an empty list). Terms are upper-cased through `page` unless
// `caseSensitive`.
BuildTermsResult buildTerms(QueryType type, std::string_view query, bool caseSensitive,
                            const platform::CodePage& page);

// Codes up to 32 are blanks for trimming and for the "is blank" test.
inline bool isTrimmed(unsigned char c) { return c <= 32; }
std::string_view trimLeft(std::string_view s);
std::string_view trimRight(std::string_view s);
std::string_view trim(std::string_view s);
inline bool isBlank(std::string_view s) { return trim(s).empty(); }

}  // namespace vsr::engine
