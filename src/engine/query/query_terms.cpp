#include "engine/query/query_terms.h"

namespace vsr::engine {

void TermList::resetCounts() {
    for (QueryTerm& t : terms) t.foundCount = 0;
}

std::vector<std::int64_t> TermList::counts() const {
    std::vector<std::int64_t> out;
    out.reserve(terms.size());
    for (const QueryTerm& t : terms) out.push_back(t.foundCount);
    return out;
}

std::string_view trimLeft(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && isTrimmed(static_cast<unsigned char>(s[i]))) ++i;
    return s.substr(i);
}

std::string_view trimRight(std::string_view s) {
    std::size_t n = s.size();
    while (n > 0 && isTrimmed(static_cast<unsigned char>(s[n - 1]))) --n;
    return s.substr(0, n);
}

std::string_view trim(std::string_view s) { return trimRight(trimLeft(s)); }

namespace {

BuildTermsResult refuseTerms(const char* caption, const char* message) {
    BuildTermsResult r;
    r.ok = false;
    r.caption = caption;
    r.message = message;
    return r;
}

std::string caseFold(std::string_view text, bool caseSensitive, const platform::CodePage& page) {
    return caseSensitive ? std::string(text) : page.toUpper(text);
}

BuildTermsResult buildWords(std::string_view query, TermSign sign, bool caseSensitive,
                            const platform::CodePage& page) {
    BuildTermsResult r;
    std::string_view text = query;
    if (!isBlank(text)) text = trim(text);
    if (!text.empty() && isBlank(text)) return refuseTerms("Find", "Please specify the word or words");
    std::size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && text[pos] == ' ') ++pos;
        if (pos >= text.size()) break;
        if (r.list.terms.size() == kMaxTerms) return refuseTerms(kProgramTitle, "Too many words");
        std::size_t end = text.find(' ', pos);
        if (end == std::string_view::npos) end = text.size();
        r.list.terms.push_back({caseFold(text.substr(pos, end - pos), caseSensitive, page), sign, 0});
        pos = end;
    }
    return r;
}

BuildTermsResult buildSearchEngine(std::string_view query, bool caseSensitive, const platform::CodePage& page) {
    BuildTermsResult r;
    std::string_view text = query;
    if (!isBlank(text)) text = trimLeft(text);
    const std::size_t n = text.size();
    auto signFollowedByWord = [&](std::size_t p, char sign) {
        return p < n && text[p] == sign && p + 1 < n && text[p + 1] != ' ';
    };
    std::size_t pos = 0;
    while (pos < n) {
        if (r.list.terms.size() == kMaxTerms) return refuseTerms(kProgramTitle, "Too many words and phrases");
        TermSign sign = TermSign::Plain;
        if (signFollowedByWord(pos, '+')) {
            sign = TermSign::Required;
            ++pos;
        }
        if (signFollowedByWord(pos, '-')) {
            sign = TermSign::Excluded;
            ++pos;
        }
        std::string_view term;
        if (pos < n && text[pos] == '"') {
            // The phrase ends at the first quotation mark followed by a blank or the end.
            std::size_t close = std::string_view::npos;
            for (std::size_t j = pos + 1; j < n; ++j) {
                if (text[j] == '"' && (j + 1 == n || text[j + 1] == ' ')) {
                    close = j;
                    break;
                }
            }
            if (close == std::string_view::npos) return refuseTerms("Find", kMissingMessage);
            term = text.substr(pos + 1, close - pos - 1);
            pos = close + 1;
        } else {
            std::size_t end = text.find(' ', pos);
            if (end == std::string_view::npos) end = n;
            term = text.substr(pos, end - pos);
            pos = end;
        }
        if (term.empty()) return refuseTerms("Find", kMissingMessage);
        r.list.terms.push_back({caseFold(term, caseSensitive, page), sign, 0});
        while (pos < n && text[pos] == ' ') ++pos;
    }
    bool allExcluded = !r.list.terms.empty();
    for (const QueryTerm& t : r.list.terms)
        if (t.sign != TermSign::Excluded) allExcluded = false;
    r.list.allExcluded = allExcluded;
    return r;
}

}  // namespace

BuildTermsResult buildTerms(QueryType type, std::string_view query, bool caseSensitive,
                            const platform::CodePage& page) {
    switch (type) {
        case QueryType::Phrase: {
            BuildTermsResult r;
            if (!query.empty()) r.list.terms.push_back({caseFold(query, caseSensitive, page), TermSign::Plain, 0});
            return r;
        }
        case QueryType::WordsOr: return buildWords(query, TermSign::Plain, caseSensitive, page);
        case QueryType::WordsAnd: return buildWords(query, TermSign::Required, caseSensitive, page);
        case QueryType::SearchEngine: return buildSearchEngine(query, caseSensitive, page);
        case QueryType::Multiline:
        case QueryType::RegExpr: break;
    }
    return {};
}

}  // namespace vsr::engine
