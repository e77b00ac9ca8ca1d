// The three ways a compiled query matches a text: terms, blocks of whole lines and a regular
// expression. Counting and scanning share every rule; they differ only in what they hand out.
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "engine/query/compiled_query.h"
#include "engine/query/crlf_subject.h"
#include "engine/query/literal_finder.h"
#include "engine/query/regexpr_query.h"
#include "engine/query/text_lines.h"
#include "regexpr/vx_regex.h"

namespace vsr::engine {
namespace {

// Long work asks goOn after this many bytes or lines, so Stop reaches a file of hundreds of
// megabytes and the window stays responsive.
constexpr std::size_t kSliceBytes = 1 << 20;
constexpr unsigned kSliceLines = 64;

class Pacer {
public:
    explicit Pacer(const std::function<bool()>& goOn) : goOn_(goOn) {}
    // Counts one line of `bytes`; false when goOn ended the work.
    bool line(std::size_t bytes) {
        bytes_ += bytes;
        if (++lines_ < kSliceLines && bytes_ < kSliceBytes) return true;
        return now();
    }
    bool now() {
        lines_ = 0;
        bytes_ = 0;
        return !goOn_ || goOn_();
    }

private:
    const std::function<bool()>& goOn_;
    unsigned lines_ = 0;
    std::size_t bytes_ = 0;
};

// Phrase, Words and Search Engine queries: each term is found on its own, without overlap, and
// never across a line end.
class TermsMatcher final : public QueryMatcher {
public:
    TermsMatcher(const CompiledQuery& q, std::function<bool()> goOn) : q_(q), goOn_(std::move(goOn)) {}

    ScanEnd count(std::string_view text, std::vector<std::int64_t>& counts, bool untilExcluded) override {
        counts.resize(q_.countSlots(), 0);
        if (noted_) noted_->clear();
        std::vector<Occurrence>* const noted = q_.notesOccurrences() ? noted_ : nullptr;
        Pacer pace(goOn_);
        // Reading ends at the first NUL byte. Rather than look for one in every file, an
        // occurrence is checked for a NUL before its end, so files without a match cost
        // nothing; when one turns up, the text is cut there.
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
        const std::vector<QueryTerm>& terms = q_.terms().terms;
        // Several words in one pass, in stretches: the hits of a stretch are counted before the
        // next is scanned, so a NUL byte or an Excluded word ends the work early.
        unsigned stretches = 0;
        for (const TermSetScanner& set : q_.termSets()) {
            next_.assign(set.terms().size(), 0);
            for (std::size_t from = 0; from < text.size(); from += kStretch) {
                hits_.clear();
                set.scan(text, from, from + kStretch, next_, hits_);
                for (const TermHit& h : hits_) {
                    if (!beforeNul(h.end)) continue;
                    const std::size_t t = set.terms()[h.term];
                    ++counts[t];
                    if (untilExcluded && terms[t].sign == TermSign::Excluded) return ScanEnd::Done;
                }
                if (++stretches % (kSliceBytes / kStretch) == 0 && !pace.now()) return ScanEnd::Stopped;
            }
        }
        for (std::size_t t : q_.loneTerms()) {
            const TermScanner& scanner = q_.scanners()[t];
            std::size_t pos = 0;
            std::size_t sliceEnd = kSliceBytes;
            for (;;) {
                std::size_t end = 0;
                std::size_t p = scanner.next(text, pos, sliceEnd, &end);
                if (p != std::string_view::npos && !beforeNul(end)) p = std::string_view::npos;
                if (p == std::string_view::npos) {
                    if (sliceEnd >= text.size()) break;
                    pos = pos > sliceEnd ? pos : sliceEnd;
                    sliceEnd += kSliceBytes;
                    if (!pace.now()) return ScanEnd::Stopped;
                    continue;
                }
                ++counts[t];
                if (noted) noted->push_back({p, end});
                if (untilExcluded && terms[t].sign == TermSign::Excluded) return ScanEnd::Done;
                pos = end;
            }
        }
        return ScanEnd::Done;
    }

    ScanEnd scan(std::string_view text, const std::function<bool(const MatchSpan&)>& visit) override {
        text = textBeforeNul(text);
        const std::vector<TermScanner>& scanners = q_.scanners();
        Pacer pace(goOn_);
        LineCursor cursor(text);
        std::string_view line;
        MatchSpan span;
        for (std::size_t number = 0; cursor.next(line); ++number) {
            if (!pace.line(line.size())) return ScanEnd::Stopped;
            span.line = number;
            for (std::size_t t = 0; t < scanners.size(); ++t) {
                if (!q_.usableTerm(t)) continue;
                std::size_t end = 0;
                for (std::size_t p = scanners[t].next(line, 0, std::string_view::npos, &end); p != std::string_view::npos;
                     p = scanners[t].next(line, end, std::string_view::npos, &end)) {
                    span.term = static_cast<std::uint32_t>(t);
                    span.column = span.offset = p;
                    span.length = end - p;
                    if (!visit(span)) return ScanEnd::Stopped;
                }
            }
        }
        return ScanEnd::Done;
    }

    void release() override {
        std::vector<TermHit>().swap(hits_);
    }

private:
    // The stretch of text whose hits are gathered at once: small enough that the hits of a text
    // of one repeated letter stay few, large enough that a stretch costs nothing to start.
    static constexpr std::size_t kStretch = 64 << 10;

    const CompiledQuery& q_;
    std::function<bool()> goOn_;
    std::vector<std::size_t> next_;
    std::vector<TermHit> hits_;
};

// Multiline queries: the query's lines standing as whole lines of the text (trimmed as the
// options say), taken from the top without overlap.
// A query of one count slot: the count is the number of its matches.
ScanEnd countMatches(QueryMatcher& matcher, std::string_view text, std::vector<std::int64_t>& counts) {
    counts.resize(1, 0);
    return matcher.scan(text, [&counts](const MatchSpan&) {
        ++counts[0];
        return true;
    });
}

class BlocksMatcher final : public QueryMatcher {
public:
    BlocksMatcher(const CompiledQuery& q, std::function<bool()> goOn) : q_(q), goOn_(std::move(goOn)) {
        const SearchConditions& c = q.conditions();
        trimLeading_ = c.trimLeading;
        trimTrailing_ = c.trimTrailing;
        fold_ = c.caseSensitive ? nullptr : &q.codePage();
    }

    ScanEnd count(std::string_view text, std::vector<std::int64_t>& counts, bool) override {
        return countMatches(*this, text, counts);
    }

    ScanEnd scan(std::string_view text, const std::function<bool(const MatchSpan&)>& visit) override {
        text = textBeforeNul(text);
        const std::vector<std::string>& query = q_.blockLines();
        const std::size_t k = query.size();
        if (k == 0) return ScanEnd::Done;
        Pacer pace(goOn_);
        LineCursor cursor(text);
        std::string_view line;
        MatchSpan span;
        span.lines = k;
        std::size_t number = 0;
        while (cursor.next(line)) {
            if (!pace.line(line.size())) return ScanEnd::Stopped;
            if (same(line, query[0])) {
                // The rest of the block is compared on a copy of the cursor, so a failed block
                // goes on with the next line.
                LineCursor ahead = cursor;
                std::size_t j = 1;
                std::string_view next;
                while (j < k && ahead.next(next) && same(next, query[j])) ++j;
                if (j == k) {
                    span.line = number;
                    if (!visit(span)) return ScanEnd::Stopped;
                    cursor = ahead;  // blocks never overlap
                    number += k;
                    continue;
                }
            }
            ++number;
        }
        return ScanEnd::Done;
    }

private:
    bool same(std::string_view line, const std::string& query) const {
        if (trimLeading_) line = trimLeft(line);
        if (trimTrailing_) line = trimRight(line);
        if (fold_ && fold_->isUtf8()) return fold_->sameFolded(line, query);
        if (line.size() != query.size()) return false;
        if (!fold_) return line == query;
        for (std::size_t i = 0; i < line.size(); ++i)
            if (fold_->upper(static_cast<unsigned char>(line[i])) != static_cast<unsigned char>(query[i])) return false;
        return true;
    }

    const CompiledQuery& q_;
    std::function<bool()> goOn_;
    bool trimLeading_ = true;
    bool trimTrailing_ = true;
    const platform::CodePage* fold_ = nullptr;
};

// Whether every line end of `text` is CR LF: then the text is its own whole-text subject.
bool allLineEndsCrLf(std::string_view text) {
    const char* base = text.data();
    const std::size_t n = text.size();
    std::size_t lf = 0;
    for (std::size_t pos = 0; pos < n;) {
        const void* hit = std::memchr(base + pos, '\n', n - pos);
        if (!hit) break;
        const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(hit) - base);
        if (at == 0 || base[at - 1] != '\r') return false;
        ++lf;
        pos = at + 1;
    }
    std::size_t cr = 0;
    for (std::size_t pos = 0; pos < n;) {
        const void* hit = std::memchr(base + pos, '\r', n - pos);
        if (!hit) break;
        ++cr;
        pos = static_cast<std::size_t>(static_cast<const char*>(hit) - base) + 1;
    }
    return cr == lf;
}

// The line ends (CR LF, LF or CR) that begin in [from, to) of `text`; `to` is a line start.
std::size_t lineEndsIn(std::string_view text, std::size_t from, std::size_t to) {
    const char* base = text.data();
    std::size_t count = 0, at = from;
#if defined(__x86_64__)
    // Each byte lane counts its LFs (a match is -1) for up to 255 blocks, then the lanes are summed.
    const __m128i lf = _mm_set1_epi8('\n'), zero = _mm_setzero_si128();
    auto drain = [&](__m128i lanes) {
        const __m128i sums = _mm_sad_epu8(lanes, zero);
        count += static_cast<std::size_t>(_mm_cvtsi128_si64(sums)) +
                 static_cast<std::size_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums)));
    };
    __m128i lanes = zero;
    for (int blocks = 0; at + 16 <= to; at += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + at));
        lanes = _mm_sub_epi8(lanes, _mm_cmpeq_epi8(v, lf));
        if (++blocks == 255) {
            drain(lanes);
            lanes = zero;
            blocks = 0;
        }
    }
    drain(lanes);
#endif
    for (; at < to; ++at) count += base[at] == '\n';
    // A CR ends a line of its own unless an LF follows it.
    for (at = from; at < to;) {
        const void* cr = std::memchr(base + at, '\r', to - at);
        if (!cr) break;
        at = static_cast<std::size_t>(static_cast<const char*>(cr) - base) + 1;
        if (at >= text.size() || base[at] != '\n') ++count;
    }
    return count;
}

// Reg Expr queries: non-empty matches of the expression, line by line or over the whole text.
// The whole text is the lines joined by CR LF, with a final CR LF only where the file has a final
// line end: a match never counts a line end the file does not have.
class RegExprMatcher final : public QueryMatcher {
public:
    RegExprMatcher(const CompiledQuery& q, std::function<bool()> goOn, bool literalSkips)
        : q_(q), goOn_(std::move(goOn)) {
        compileRegExpr(rx_, q.conditions(), q.codePage(), q.expression());
        if (literalSkips) finder_ = LiteralFinder::make(rx_.RequiredLiterals());
        // Inside one long match the engine asks at most every 25 ms; false interrupts it.
        if (goOn_) rx_.SetCancelHook([this] { return goOn_(); });
        // One budget of steps for a whole text: a file of many lines, each just within a
        // budget of its own, would otherwise cost a second per line.
        rx_.SetSharedBudget(true);
    }

    ScanEnd count(std::string_view text, std::vector<std::int64_t>& counts, bool) override {
        if (q_.byLine()) return countMatches(*this, text, counts);
        counts.resize(1, 0);
        return matchText(text, nullptr, &counts[0]);
    }

    ScanEnd scan(std::string_view text, const std::function<bool(const MatchSpan&)>& visit) override {
        return matchText(text, &visit, nullptr);
    }

    std::string_view input() const override { return input_; }
    std::string expand(std::string_view templateText) const override { return rx_.ExpandTemplate(templateText); }
    void release() override {
        std::string().swap(subject_);
        crLfCopy_.reset();
        crLfRoom_ = 0;
        input_ = {};
    }

private:
    // Hands each match to `visit`, or only counts it into `tally`.
    ScanEnd matchText(std::string_view text, const std::function<bool(const MatchSpan&)>* visit, std::int64_t* tally) {
        // A text without a required literal can't match: that is seen before the text is even
        // cut at its first NUL byte. Over the whole text the literal must not hold a line end,
        // which the text matched has in another form.
        std::size_t first = std::string_view::npos;
        if (finder_ && (q_.byLine() || !finder_->holdsLineEnd())) {
            Pacer pace(goOn_);
            bool stopped = false;
            first = firstLiteral(text, pace, stopped);
            if (first == std::string_view::npos) return stopped ? ScanEnd::Stopped : ScanEnd::Done;
        }
        rx_.ResetBudget();
        try {
            if (q_.byLine()) {
                text = textBeforeNul(text);
                return finder_ ? scanLinesWithLiterals(text, *visit) : scanLines(text, *visit);
            }
            if (tally) return countWhole(text, first, *tally);
            return scanWhole(text, *visit);
        } catch (const regexpr::MatchInterrupted&) {
            return ScanEnd::Stopped;
        } catch (const regexpr::EVxRegex& e) {
            error_ = expressionRefusal(e);
            return ScanEnd::ExpressionError;
        }
    }

    ScanEnd scanLines(std::string_view text, const std::function<bool(const MatchSpan&)>& visit) {
        Pacer pace(goOn_);
        LineCursor cursor(text);
        std::string_view line;
        MatchSpan span;
        for (std::size_t number = 0; cursor.next(line); ++number) {
            if (!pace.line(line.size())) return ScanEnd::Stopped;
            input_ = line;
            span.line = number;
            for (bool found = rx_.ExecView(line); found; found = rx_.ExecNext()) {
                const std::int64_t length = rx_.MatchLength(0);
                if (length <= 0) continue;
                span.column = span.offset = static_cast<std::size_t>(rx_.MatchStart(0) - 1);
                span.length = static_cast<std::size_t>(length);
                if (!visit(span)) return ScanEnd::Stopped;
            }
        }
        return ScanEnd::Done;
    }

    // Line by line, but only the lines that hold a required literal reach the engine: the
    // others can't hold a match. The lines are numbered only where a match is found.
    ScanEnd scanLinesWithLiterals(std::string_view text, const std::function<bool(const MatchSpan&)>& visit) {
        Pacer pace(goOn_);
        const char* base = text.data();
        const std::size_t n = text.size();
        finder_->start(text);
        // The next LF and CR at or after the last look (n: none; kUnknown: not looked for yet).
        constexpr std::size_t kUnknown = ~std::size_t{0};
        std::size_t nextLf = kUnknown, nextCr = kUnknown;
        auto ahead = [&](std::size_t& cached, char c, std::size_t from) {
            if (cached == kUnknown || cached < from) {
                const void* hit = std::memchr(base + from, c, n - from);
                cached = hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - base) : n;
            }
            return cached;
        };
        std::size_t counted = 0, number = 0;  // line `number` starts at offset `counted`
        std::size_t from = 0;                 // the lines before it were looked at
        MatchSpan span;
        while (from < n) {
            const std::size_t hit = finder_->find(from, from + kSliceBytes);
            if (hit == std::string_view::npos) {
                from += kSliceBytes;
                if (from < n && !pace.now()) return ScanEnd::Stopped;
                continue;
            }
            if (base[hit] == '\n' || base[hit] == '\r') {  // in a line end: in no line
                from = hit + 1;
                continue;
            }
            std::size_t lineStart = from;
            for (char c : {'\n', '\r'})
                if (const void* p = memrchr(base + lineStart, c, hit - lineStart))
                    lineStart = static_cast<std::size_t>(static_cast<const char*>(p) - base) + 1;
            const std::size_t lineEnd = std::min(ahead(nextLf, '\n', hit), ahead(nextCr, '\r', hit));
            from = lineEnd >= n ? n : lineEnd + (base[lineEnd] == '\r' && lineEnd + 1 < n && base[lineEnd + 1] == '\n' ? 2 : 1);
            const std::string_view line(base + lineStart, lineEnd - lineStart);
            if (!pace.line(line.size())) return ScanEnd::Stopped;
            input_ = line;
            for (bool found = rx_.ExecView(line); found; found = rx_.ExecNext()) {
                const std::int64_t length = rx_.MatchLength(0);
                if (length <= 0) continue;
                if (counted < lineStart) {
                    number += lineEndsIn(text, counted, lineStart);
                    counted = lineStart;
                }
                span.line = number;
                span.column = span.offset = static_cast<std::size_t>(rx_.MatchStart(0) - 1);
                span.length = static_cast<std::size_t>(length);
                if (!visit(span)) return ScanEnd::Stopped;
            }
        }
        return ScanEnd::Done;
    }

    // Where a required literal first stands in the text (or a little before: see LiteralFinder);
    // npos when nowhere, or when goOn said stop.
    std::size_t firstLiteral(std::string_view text, Pacer& pace, bool& stopped) {
        finder_->start(text);
        for (std::size_t from = 0; from < text.size(); from += kSliceBytes) {
            const std::size_t hit = finder_->find(from, from + kSliceBytes);
            if (hit != std::string_view::npos) return hit;
            if (!pace.now()) {
                stopped = true;
                return std::string_view::npos;
            }
        }
        return std::string_view::npos;
    }

    // Room for `size` bytes of CR LF copy and the copy's slack.
    char* crLfRoom(std::size_t size) {
        if (crLfRoom_ < size + kCrLfCopySlack) {
            crLfRoom_ = size + kCrLfCopySlack;
            crLfCopy_.reset(new char[crLfRoom_]);
        }
        return crLfCopy_.get();
    }

    // Sets input_ to the whole-text subject: the text up to its first NUL with every line end
    // made CR LF. It holds no NUL byte.
    void makeSubject(std::string_view text) {
        // The usual text has LF line ends only and no NUL: it is copied with its LFs made CR LF
        // straight away, the copy noticing whether the text was such a one. Any other, and a
        // long one, is looked at first.
        if (text.size() <= kCopyFirstBytes) {
            bool clean = false;
            const std::size_t size = copyWithCrLf(text, crLfRoom(2 * text.size()), clean);
            input_ = std::string_view(crLfCopy_.get(), size);
            if (clean) return;
        }
        const LineEndCensus census = lineEndCensus(text);
        text = text.substr(0, census.length);
        if (!census.carriageReturn) {
            // No line end at all: the text is its own subject.
            if (census.lineFeeds == 0) {
                input_ = text;
                return;
            }
            bool clean = false;
            const std::size_t size = copyWithCrLf(text, crLfRoom(text.size() + census.lineFeeds), clean);
            input_ = std::string_view(crLfCopy_.get(), size);
        } else if (allLineEndsCrLf(text)) {
            input_ = text;
        } else {
            subject_.clear();
            subject_.reserve(text.size() + text.size() / 8 + 2);
            LineCursor cursor(text);
            std::string_view line;
            while (cursor.next(line)) {
                subject_.append(line);
                if (cursor.position() < text.size() || text.back() == '\n' || text.back() == '\r') subject_.append("\r\n");
            }
            input_ = subject_;
        }
    }

    // The non-empty matches over the whole text, counted. Where no match can begin before the
    // line of the first required literal (`first`), the subject starts at that line: the text
    // before it is neither copied nor matched, and every match after it is the same.
    ScanEnd countWhole(std::string_view text, std::size_t first, std::int64_t& tally) {
        std::size_t from = 0;
        if (first != std::string_view::npos && first < text.size() && rx_.CompiledProgram()->startsInRequiredLine) {
            const char* base = text.data();
            for (char c : {'\n', '\r'})
                if (const void* p = memrchr(base + from, c, first - from))
                    from = static_cast<std::size_t>(static_cast<const char*>(p) - base) + 1;
            // The text ends at its first NUL byte: one before that line leaves no literal in it.
            if (from > 0 && std::memchr(base, 0, from)) return ScanEnd::Done;
        }
        // Where no match can tell the line ends apart, the text counts as its own subject: it
        // has as many matches as the copy with CR LF line ends.
        if (rx_.CompiledProgram()->lineEndsAlike) input_ = textBeforeNul(text.substr(from));
        else makeSubject(text.substr(from));
        Pacer pace(goOn_);
        for (bool found = rx_.ExecViewWithoutNul(input_); found; found = rx_.ExecNext()) {
            if (!pace.now()) return ScanEnd::Stopped;
            if (rx_.MatchLength(0) > 0) ++tally;
        }
        return ScanEnd::Done;
    }

    ScanEnd scanWhole(std::string_view text, const std::function<bool(const MatchSpan&)>& visit) {
        makeSubject(text);
        const std::string_view s = input_;
        Pacer pace(goOn_);
        std::size_t lineIndex = 0, lineStart = 0;
        MatchSpan span;
        for (bool found = rx_.ExecViewWithoutNul(s); found; found = rx_.ExecNext()) {
            if (!pace.now()) return ScanEnd::Stopped;
            const std::int64_t length = rx_.MatchLength(0);
            if (length <= 0) continue;
            const std::size_t begin = static_cast<std::size_t>(rx_.MatchStart(0) - 1);
            const std::size_t end = begin + static_cast<std::size_t>(length);
            // Every line end of the subject is CR LF, so a line starts after each LF.
            for (;;) {
                const void* lf = std::memchr(s.data() + lineStart, '\n', s.size() - lineStart);
                if (!lf) break;
                const std::size_t next = static_cast<std::size_t>(static_cast<const char*>(lf) - s.data()) + 1;
                if (next > begin) break;
                lineStart = next;
                ++lineIndex;
            }
            span.line = lineIndex;
            span.column = begin - lineStart;
            span.offset = begin;
            span.length = end - begin;
            // The lines up to the one holding the last character.
            span.lines = 1;
            for (std::size_t p = begin; p + 1 < end;) {
                const void* lf = std::memchr(s.data() + p, '\n', end - 1 - p);
                if (!lf) break;
                ++span.lines;
                p = static_cast<std::size_t>(static_cast<const char*>(lf) - s.data()) + 1;
            }
            if (!visit(span)) return ScanEnd::Stopped;
        }
        return ScanEnd::Done;
    }

    const CompiledQuery& q_;
    std::function<bool()> goOn_;
    regexpr::TVxRegex rx_;
    std::unique_ptr<LiteralFinder> finder_;
    std::string subject_;
    // Texts up to this size are copied before they are looked at, into twice their room.
    static constexpr std::size_t kCopyFirstBytes = 8u << 20;
    std::unique_ptr<char[]> crLfCopy_;  // an LF-only text with its line ends made CR LF
    std::size_t crLfRoom_ = 0;
    std::string_view input_;
};

}  // namespace

std::unique_ptr<QueryMatcher> CompiledQuery::matcher(std::function<bool()> goOn, bool literalSkips) const {
    switch (kind_) {
        case Kind::Blocks: return std::make_unique<BlocksMatcher>(*this, std::move(goOn));
        case Kind::RegExpr:
            if (!runnable()) return nullptr;
            return std::make_unique<RegExprMatcher>(*this, std::move(goOn), literalSkips);
        case Kind::Terms: break;
    }
    return std::make_unique<TermsMatcher>(*this, std::move(goOn));
}

}  // namespace vsr::engine
