#include "engine/line_matcher.h"

#include "engine/text_lines.h"

namespace vsr::engine {
namespace {

constexpr std::size_t kMaxOneLineQuery = 4000;
// The scan of one buffer returns to the pump after this many bytes, so Stop reaches a search
// inside a file of hundreds of megabytes.
constexpr std::size_t kScanSlice = 1 << 20;

bool holdsLineEnd(std::string_view term) { return term.find_first_of("\r\n") != std::string_view::npos; }

}  // namespace

bool LineMatcher::checkQuery() {
    if (!run_.queryChecked) {
        run_.queryChecked = true;
        const SearchConditions& c = run_.conditions();
        if (c.oneLineQuery().size() > kMaxOneLineQuery) {
            run_.queryAcceptable = false;
            run_.fail(kProgramTitle, c.tab == Tab::Find ? "The query is too long"
                                                        : "The string is too long for the To Search field");
        }
    }
    return run_.queryAcceptable;
}

std::string_view LineMatcher::comparisonText() {
    platform::FileBuffer& buf = run_.buffer();
    if (run_.conditions().caseSensitive) return buf.view();
    // Fold the whole file once; the terms were upper-cased the same way.
    platform::FileBuffer& fold = run_.foldBuffer();
    fold.setSize(buf.size());
    const auto& table = run_.codePage().upperTable();
    const unsigned char* src = reinterpret_cast<const unsigned char*>(buf.data());
    unsigned char* dst = reinterpret_cast<unsigned char*>(fold.data());
    for (std::size_t i = 0, n = buf.size(); i < n; ++i) dst[i] = table[src[i]];
    return fold.view();
}

bool LineMatcher::countTerms(std::string_view text, bool listing) {
    const SearchConditions& c = run_.conditions();
    const bool folded = !c.caseSensitive;
    for (QueryTerm& term : run_.terms().terms) {
        // A term with a line end can't lie inside one line, so it never counts.
        if (term.text.empty() || holdsLineEnd(term.text)) continue;
        TermScanner scanner(term.text, c.wholeWords, run_.codePage(), folded);
        std::size_t pos = 0;
        std::size_t sliceEnd = kScanSlice;
        for (;;) {
            std::size_t p = scanner.next(text, pos, sliceEnd);
            if (p == std::string_view::npos) {
                if (sliceEnd >= text.size()) break;
                pos = pos > sliceEnd ? pos : sliceEnd;
                sliceEnd += kScanSlice;
                run_.pumpIfDue(25);
                if (run_.stopped()) return false;
                continue;
            }
            ++term.foundCount;
            if (listing && term.sign == TermSign::Excluded) return false;
            pos = p + scanner.length();
        }
    }
    return true;
}

void LineMatcher::matchFile(const std::string& dir, platform::DirEntry& entry) {
    if (!checkQuery()) return;
    TermList& terms = run_.terms();
    terms.resetCounts();
    if (run_.conditions().oneLineQuery().empty() || terms.empty()) {
        run_.host().results().removeFoundColumn();
        run_.pumpIfDue(15);
        run_.listFile(dir, entry, {0});
        return;
    }
    platform::ReadStatus status = run_.readFile(platform::joinPath(dir, entry.name));
    // Files too large to read are left out rather than judged on contents never seen.
    if (status == platform::ReadStatus::TooLarge) return;
    if (status == platform::ReadStatus::Ok) {
        if (!countTerms(comparisonText(), true)) return;
    }
    bool matches = false;
    for (const QueryTerm& t : terms.terms) {
        if (t.sign == TermSign::Required && t.foundCount == 0) return;
        if (t.foundCount > 0) matches = true;
    }
    if (terms.allExcluded) matches = true;  // every count is 0 here, or we returned above
    if (matches) run_.listFile(dir, entry, terms.counts());
}

bool LineMatcher::scanFile(const std::string& fullName, LineMatchMode mode, FoundLineSink* sink,
                           const std::vector<std::int64_t>& highlightedLines) {
    TermList& terms = run_.terms();
    terms.resetCounts();
    if (run_.readFile(fullName) != platform::ReadStatus::Ok) return false;
    std::string_view original = run_.buffer().view();
    std::string_view text = comparisonText();
    if (mode != LineMatchMode::Lines || !sink) return countTerms(text, false);

    const SearchConditions& c = run_.conditions();
    std::vector<TermScanner> scanners;
    for (const QueryTerm& t : terms.terms) scanners.emplace_back(t.text, c.wholeWords, run_.codePage(), !c.caseSensitive);
    LineCursor cursor(text);
    std::string_view line;
    std::int64_t number = 0;
    std::size_t nextHighlight = 0;
    bool wanted = true;
    while (cursor.next(line)) {
        ++number;
        run_.pumpIfDue(25);
        if (run_.stopped()) return false;
        int hits = 0;
        for (std::size_t i = 0; i < scanners.size(); ++i) {
            if (terms.terms[i].text.empty() || holdsLineEnd(terms.terms[i].text)) continue;
            for (std::size_t p = scanners[i].next(line, 0); p != std::string_view::npos;
                 p = scanners[i].next(line, p + scanners[i].length())) {
                ++terms.terms[i].foundCount;
                ++hits;
            }
        }
        int link = -1;
        while (nextHighlight < highlightedLines.size() && highlightedLines[nextHighlight] < number) ++nextHighlight;
        if (nextHighlight < highlightedLines.size() && highlightedLines[nextHighlight] == number) {
            link = static_cast<int>(nextHighlight) + 1;
            ++nextHighlight;
        }
        if (hits > 0 && wanted) {
            std::size_t offset = static_cast<std::size_t>(line.data() - text.data());
            wanted = sink->foundLine(number, original.substr(offset, line.size()), hits, link);
        }
    }
    return true;
}

}  // namespace vsr::engine
