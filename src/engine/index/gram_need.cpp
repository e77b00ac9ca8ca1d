#include "engine/index/gram_need.h"

#include <algorithm>
#include <optional>
#include <string>

#include "engine/decode/utf8_check.h"
#include "engine/index/index_text.h"
#include "engine/query/literal_finder.h"
#include "engine/query/regexpr_query.h"

namespace vsr::engine::index {
namespace {

bool isAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The folded bytes every occurrence of `text` leaves in a file's folded text, as the matcher
// compares it: exactly (`ignoreCase` off), or through the page's case (the text is then the
// matcher's own folded form). Nothing when that can't be said for sure.
std::optional<std::string> foldedSource(const platform::CodePage& page, std::string_view text, bool ignoreCase,
                                        bool charFolded) {
    if (page.isUtf8()) {
        // A byte that is no character may stand inside one of the file's; U+FFFD is what the
        // decoder makes of such bytes.
        if (!isUtf8Text(text) || text.find('\0') != std::string_view::npos ||
            text.find("\xEF\xBF\xBD") != std::string_view::npos)
            return std::nullopt;
    }
    std::string out;
    if (!ignoreCase) {
        foldForIndex(page, text, out);
        return out;
    }
    // Compared byte by byte with the file's bytes through the page's table: the occurrence
    // folds to exactly these bytes.
    if (!page.isUtf8() || isAscii(text) || !charFolded) return std::string(text);
    // Compared character by character through the case folding.
    return page.toUpper(text);
}

GramNeed needOfSource(const std::optional<std::string>& source) {
    return source ? needOfFolded(*source) : GramNeed{};
}

GramNeed termsNeed(const CompiledQuery& q) {
    const TermList& list = q.terms();
    if (list.allExcluded || list.empty()) return {};
    const platform::CodePage& page = q.codePage();
    const bool ignoreCase = !q.conditions().caseSensitive;
    std::vector<GramNeed> required, some;
    for (std::size_t t = 0; t < list.size(); ++t) {
        const QueryTerm& term = list.terms[t];
        if (term.sign == TermSign::Excluded) continue;
        // A term that can't match makes no file match by it: it asks for nothing.
        GramNeed need = q.usableTerm(t) ? needOfSource(foldedSource(page, term.text, ignoreCase, true)) : GramNeed{};
        if (term.sign == TermSign::Required) required.push_back(need);
        some.push_back(std::move(need));
    }
    // Every Required term, and some term that is not Excluded.
    required.push_back(GramNeed::oneOf(std::move(some)));
    return GramNeed::allOf(std::move(required));
}

GramNeed blocksNeed(const CompiledQuery& q) {
    const platform::CodePage& page = q.codePage();
    const bool ignoreCase = !q.conditions().caseSensitive;
    std::vector<GramNeed> lines;
    // Each query line, trimmed as the file's line is before they are compared, stands whole
    // in a line of the file.
    for (const std::string& line : q.blockLines()) lines.push_back(needOfSource(foldedSource(page, line, ignoreCase, false)));
    return GramNeed::allOf(std::move(lines));
}

GramNeed literalNeed(const regexpr::RequiredLiteral& literal, const platform::CodePage& page) {
    const std::string& b = literal.bytes;
    std::vector<GramNeed> windows;
    GramNeed all;
    all.kind = GramNeed::Kind::All;
    for (std::size_t i = 0; i + 3 <= b.size(); ++i) {
        bool usable = true;
        char folded[3];
        for (std::size_t j = i; j < i + 3 && usable; ++j) {
            const auto c = static_cast<unsigned char>(b[j]);
            // A line end may stand in the text matched in another form than in the file; under
            // UTF-8 a byte above ASCII belongs to a character the index folded as a whole.
            if (c == '\n' || c == '\r' || (page.isUtf8() && c >= 0x80)) usable = false;
            if (literal.ignoreCase &&
                (j >= literal.otherCase.size() ||
                 page.upper(c) != page.upper(static_cast<unsigned char>(literal.otherCase[j]))))
                usable = false;
            folded[j - i] = static_cast<char>(page.upper(c));
        }
        if (usable) all.grams.push_back(gramAt(folded));
    }
    if (all.grams.empty()) return {};
    std::sort(all.grams.begin(), all.grams.end());
    all.grams.erase(std::unique(all.grams.begin(), all.grams.end()), all.grams.end());
    return all;
}

GramNeed regExprNeed(const CompiledQuery& q) {
    if (!q.runnable()) return {};
    regexpr::TVxRegex rx;
    try {
        compileRegExpr(rx, q.conditions(), q.codePage(), q.expression());
    } catch (const regexpr::EVxRegex&) {
        return {};
    }
    const std::vector<regexpr::RequiredLiteral>& literals = rx.RequiredLiterals();
    // Only where the matcher itself passes over a text without a literal: elsewhere the
    // engine runs on every file, and what it says of one (an expression too complex for its
    // text) must still be said.
    const std::unique_ptr<LiteralFinder> finder = LiteralFinder::make(literals);
    if (!finder || (!q.byLine() && finder->holdsLineEnd())) return {};
    std::vector<GramNeed> any;
    for (const regexpr::RequiredLiteral& literal : literals) any.push_back(literalNeed(literal, q.codePage()));
    return GramNeed::oneOf(std::move(any));
}

}  // namespace

GramNeed GramNeed::allOf(std::vector<GramNeed> parts) {
    GramNeed out;
    out.kind = Kind::All;
    for (GramNeed& p : parts) {
        if (p.anything()) continue;
        if (p.kind == Kind::All && p.parts.empty()) {
            out.grams.insert(out.grams.end(), p.grams.begin(), p.grams.end());
            continue;
        }
        out.parts.push_back(std::move(p));
    }
    std::sort(out.grams.begin(), out.grams.end());
    out.grams.erase(std::unique(out.grams.begin(), out.grams.end()), out.grams.end());
    if (out.grams.empty() && out.parts.empty()) return {};
    if (out.grams.empty() && out.parts.size() == 1) return std::move(out.parts.front());
    return out;
}

GramNeed GramNeed::oneOf(std::vector<GramNeed> parts) {
    if (parts.empty()) return {};
    for (const GramNeed& p : parts)
        if (p.anything()) return {};
    if (parts.size() == 1) return std::move(parts.front());
    GramNeed out;
    out.kind = Kind::OneOf;
    out.parts = std::move(parts);
    return out;
}

GramNeed needOfFolded(std::string_view folded) {
    GramNeed need;
    for (std::size_t i = 0; i + 3 <= folded.size(); ++i) {
        const std::uint32_t g = gramAt(folded.data() + i);
        if (!gramHoldsLineEnd(g)) need.grams.push_back(g);
    }
    if (need.grams.empty()) return {};
    need.kind = GramNeed::Kind::All;
    std::sort(need.grams.begin(), need.grams.end());
    need.grams.erase(std::unique(need.grams.begin(), need.grams.end()), need.grams.end());
    return need;
}

GramNeed queryNeed(const CompiledQuery& query) {
    if (query.refused() || query.listsEveryFile()) return {};
    switch (query.kind()) {
        case CompiledQuery::Kind::Terms: return termsNeed(query);
        case CompiledQuery::Kind::Blocks: return blocksNeed(query);
        case CompiledQuery::Kind::RegExpr: return regExprNeed(query);
    }
    return {};
}

}  // namespace vsr::engine::index
