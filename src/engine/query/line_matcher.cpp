#include "engine/query/line_matcher.h"

#include <cstring>

namespace vsr::engine {
namespace {

constexpr std::size_t kMaxOneLineQuery = 4000;
// The scan of one buffer looks at the stop flag after this many bytes, so Stop reaches a search
// inside a file of hundreds of megabytes.
constexpr std::size_t kScanSlice = 1 << 20;

bool holdsLineEnd(std::string_view term) { return term.find_first_of("\r\n") != std::string_view::npos; }

}  // namespace

bool LineMatcher::checkQuery() {
    if (!run_.queryChecked) {
        run_.queryChecked = true;
        const SearchConditions& c = run_.conditions();
        if (run_.codePage().length(c.oneLineQuery()) > kMaxOneLineQuery) {
            run_.queryAcceptable = false;
            run_.fail(kProgramTitle, c.tab == Tab::Find ? "The query is too long"
                                                        : "The string is too long for the To Search field");
        }
    }
    return run_.queryAcceptable;
}

void LineMatcher::prepareScanners() {
    if (prepared_) return;
    prepared_ = true;
    const SearchConditions& c = run_.conditions();
    scanners_.clear();
    for (const QueryTerm& t : run_.terms().terms)
        scanners_.emplace_back(t.text, c.wholeWords, run_.codePage(), !c.caseSensitive);
}

bool LineMatcher::countTerms(std::string_view text, bool listing) {
    prepareScanners();
    // Reading ends at the first NUL byte. Rather than look for one in every file, an
    // occurrence is checked for a NUL before its end, so files without a match cost nothing;
    // when one turns up, the text is cut there.
    std::size_t nulFree = 0;
    auto beforeNul = [&](std::size_t end) {
        if (end <= nulFree) return true;
        const void* nul = std::memchr(text.data() + nulFree, 0, end - nulFree);
        if (!nul) {
            nulFree = end;
            return true;
        }
        text = text.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - text.data()));
        nulFree = text.size();
        return false;
    };
    std::vector<QueryTerm>& terms = run_.terms().terms;
    for (std::size_t t = 0; t < terms.size(); ++t) {
        QueryTerm& term = terms[t];
        // A term with a line end can't lie inside one line, so it never counts.
        if (term.text.empty() || holdsLineEnd(term.text)) continue;
        const TermScanner& scanner = scanners_[t];
        std::size_t pos = 0;
        std::size_t sliceEnd = kScanSlice;
        for (;;) {
            std::size_t end = 0;
            std::size_t p = scanner.next(text, pos, sliceEnd, &end);
            if (p != std::string_view::npos && !beforeNul(end)) p = std::string_view::npos;
            if (p == std::string_view::npos) {
                if (sliceEnd >= text.size()) break;
                pos = pos > sliceEnd ? pos : sliceEnd;
                sliceEnd += kScanSlice;
                if (run_.stopped()) return false;
                continue;
            }
            ++term.foundCount;
            if (listing && term.sign == TermSign::Excluded) return false;
            pos = end;
        }
    }
    return true;
}

void LineMatcher::matchFile(const std::string& dir, platform::DirEntry& entry) {
    if (!checkQuery()) return;
    TermList& terms = run_.terms();
    terms.resetCounts();
    if (run_.conditions().oneLineQuery().empty() || terms.empty()) {
        run_.removeFoundColumn();
        run_.listFile(dir, entry, {0});
        return;
    }
    platform::ReadStatus status = run_.readFile(run_.fullPath(dir, entry.name), false);
    // Files too large to read are left out rather than judged on contents never seen.
    if (status == platform::ReadStatus::TooLarge) return;
    if (status == platform::ReadStatus::Ok) {
        if (!countTerms(run_.buffer().view(), true)) return;
    }
    bool matches = false;
    for (const QueryTerm& t : terms.terms) {
        if (t.sign == TermSign::Required && t.foundCount == 0) return;
        if (t.foundCount > 0) matches = true;
    }
    if (terms.allExcluded) matches = true;  // every count is 0 here, or we returned above
    if (matches) run_.listFile(dir, entry, terms.counts());
}

}  // namespace vsr::engine
