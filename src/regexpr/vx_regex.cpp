#include "regexpr/vx_regex.h"

#include <algorithm>
#include <cstring>

#include "regexpr/compiler.h"
#include "regexpr/opcodes.h"
#include "text/utf8.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace vsr::regexpr {

namespace {
constexpr std::size_t kMaxAutomatonMisses = 16;
}  // namespace

TVxRegex::TVxRegex() : tables_(CharTables::windows1252()) {
    caps_.clear();
    matcher_.setBacktrackLimit(defaultBacktrackLimit_);
    matcher_.setStepLimit(defaultStepLimit_);
    ResetBudget();
}

void TVxRegex::SetExpression(std::string_view expression) {
    if (!expressionSet_ || expression != expression_ || !program_) dropProgram();
    expression_.assign(expression.data(), expression.size());
    expressionSet_ = true;
}

void TVxRegex::SetModifier(int index, bool on) {
    if (index < 1 || index > 6) throw EVxRegex(kErrBadModifierIndex, 0);
    unsigned bit = 1u << (index - 1);
    modifiers_ = on ? (modifiers_ | bit) : (modifiers_ & ~bit);
}

bool TVxRegex::GetModifier(int index) const {
    if (index < 1 || index > 6) throw EVxRegex(kErrBadModifierIndex, 0);
    return (modifiers_ >> (index - 1)) & 1u;
}

void TVxRegex::SetLinePairedSeparator(std::string_view separator) {
    if (!separator.empty() && (separator.size() != 2 || separator[0] == separator[1]))
        throw EVxRegex(kErrPairedSeparator, 0);
    if (separator.empty()) {
        tables_.paired0 = tables_.paired1 = -1;
    } else {
        tables_.paired0 = static_cast<std::uint8_t>(separator[0]);
        tables_.paired1 = static_cast<std::uint8_t>(separator[1]);
    }
    dropProgram();
}

void TVxRegex::SetLineSeparators(std::string_view characters) {
    tables_.setLineSeparators(characters);
    dropProgram();
}

void TVxRegex::SetSpaceChars(std::string_view characters) {
    tables_.setSpace(characters);
    dropProgram();
}

void TVxRegex::SetCaseTable(const ByteTable& upper) {
    tables_.setUpper(upper);
    dropProgram();
}

void TVxRegex::SetUtf8(bool on) {
    tables_.setUtf8(on);
    if (!on) {
        // Back to the single-byte tables the engine starts with; the caller may set its own.
        CharTables fresh = CharTables::windows1252();
        fresh.space = tables_.space;
        fresh.lineSep = tables_.lineSep;
        fresh.paired0 = tables_.paired0;
        fresh.paired1 = tables_.paired1;
        tables_ = fresh;
    }
    dropProgram();
}

void TVxRegex::SetWordTable(const ByteTable& word) {
    tables_.setWord(word);
    dropProgram();
}

void TVxRegex::SetScanShortcuts(bool on) {
    shortcuts_ = on;
    dropProgram();
}

void TVxRegex::SetAutomaton(bool on) {
    automaton_ = on;
    dropProgram();
}

void TVxRegex::Compile() {
    dropProgram();
    forgetProbeScans();
    // A failed compilation leaves no program, so the next match compiles again.
    auto program = std::make_unique<Program>(compileExpression(expressionSet_ ? expression_ : std::string_view(),
                                                               modifiers_, tables_));
    if (!shortcuts_) dropShortcuts(*program);
    // An anchored expression is tried once anyway; without shortcuts every position is tried.
    if (automaton_ && shortcuts_ && !program->anchored) finder_ = StartFinder::make(*program, tables_);
    program_ = std::move(program);
}

void TVxRegex::compileForMatch() {
    if (!program_ || program_->modifiers != modifiers_) Compile();
    if (program_->code.empty() || program_->code[0] != op::kMagic) throw EVxRegex(kErrCorruptedProgram, 0);
}

void TVxRegex::SetInputString(std::string_view input) {
    if (!inputBuf_ || input.size() > inputCap_) {
        std::size_t cap = std::max(input.size(), inputCap_ * 2);
        inputBuf_ = std::make_unique<char[]>(cap + 1);
        inputCap_ = cap;
    }
    // One pass copies and finds a NUL, which ends the input.
    char* buf = inputBuf_.get();
    const void* nul = input.empty() ? nullptr : ::memccpy(buf, input.data(), 0, input.size());
    inputLen_ = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - buf) - 1 : input.size();
    input_ = buf;
    inputReset();
}

void TVxRegex::SetInputView(std::string_view input) {
    const void* nul = input.empty() ? nullptr : std::memchr(input.data(), 0, input.size());
    inputLen_ = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - input.data()) : input.size();
    input_ = input.data() ? input.data() : "";
    inputReset();
}

void TVxRegex::inputReset() {
    hasInput_ = true;
    automatonMisses_ = 0;
    forgetProbeScans();
    if (program_) caps_.clear(program_->groupCount);
    else caps_.clear();
    lastMatched_ = false;
}

bool TVxRegex::Exec(std::string_view input) {
    ensureCompiled();
    SetInputString(input);
    return searchFrom(0);
}

bool TVxRegex::ExecView(std::string_view input) {
    ensureCompiled();
    SetInputView(input);
    return searchFrom(0);
}

bool TVxRegex::ExecViewWithoutNul(std::string_view input) {
    ensureCompiled();
    inputLen_ = input.size();
    input_ = input.data() ? input.data() : "";
    inputReset();
    return searchFrom(0);
}

bool TVxRegex::ExecPos(std::int64_t offset) {
    ensureCompiled();
    if (!hasInput_) throw EVxRegex(kErrNoInput, 0);
    if (offset < 1) throw EVxRegex(kErrOffsetBelowOne, 0);
    caps_.clear(program_->groupCount);
    lastMatched_ = false;
    if (static_cast<std::uint64_t>(offset) > inputLen_ + 1) return false;
    return searchFrom(static_cast<std::size_t>(offset - 1));
}

bool TVxRegex::searchFrom(std::size_t from) {
    matcher_.resetBacktracks();
    if (!sharedBudget_) matcher_.resetSteps();
    try {
        lastMatched_ = search(from);
    } catch (...) {
        caps_.clear();
        throw;
    }
    if (!lastMatched_) caps_.clear(program_->groupCount);  // a failed attempt may leave groups set
    return lastMatched_;
}

bool TVxRegex::ExecNext() {
    if (!lastMatched_) throw EVxRegex(kErrExecNextWithoutExec, 0);
    std::int64_t next = caps_.end[0];
    if (caps_.end[0] == caps_.start[0]) ++next;  // past an empty match, so loops always end
    return ExecPos(next + 1);
}

bool TVxRegex::attempt(std::size_t pos, std::size_t* runEnd) {
    if (runEnd) *runEnd = Backtracker::kNoRunEnd;
    const std::string_view text(input_, inputLen_);
    if (tables_.utf8 && !text::utf8::isCharStart(text, pos)) return false;
    matcher_.allowStart();
    caps_.clear(program_->groupCount);
    std::size_t end = 0;
    const bool matched = matcher_.run(*program_, tables_, input_, inputLen_, pos, caps_, end);
    if (runEnd) *runEnd = matcher_.leadRunEnd();
    if (!matched) return false;
    // Only a literal of invalid bytes could end inside a character: such a match is no match.
    if (tables_.utf8 && !text::utf8::isCharStart(text, end)) {
        caps_.clear(program_->groupCount);
        return false;
    }
    caps_.start[0] = static_cast<std::int64_t>(pos);
    caps_.end[0] = static_cast<std::int64_t>(end);
    return true;
}

namespace {

#if defined(__x86_64__)
// Starts of the literal `lit` (of at least two bytes) from `at` on, sixteen at a time, each byte
// also matching its other case when `other` is given: the literal's rarest byte (at `probe`)
// and its last (or first) byte are tested together, a pair far rarer than either byte, and only
// those candidates compared in full. Returns the first start found, or null with `at` moved to the first start not tested
// (fewer than sixteen remain up to `last`, the last possible start).
const char* scanLiteralBlocks(const char*& at, const char* last, const std::string& lit, std::size_t probe,
                              const ByteTable* other) {
    const std::size_t n = lit.size();
    auto same = [&](const char* start) {
        for (std::size_t k = 0; k < n; ++k) {
            const unsigned char x = static_cast<unsigned char>(start[k]), l = static_cast<unsigned char>(lit[k]);
            if (x != l && (!other || x != (*other)[l])) return false;
        }
        return true;
    };
    const std::size_t o1 = probe, o2 = probe == n - 1 ? 0 : n - 1;
    const unsigned char f = static_cast<unsigned char>(lit[o1]), e = static_cast<unsigned char>(lit[o2]);
    const __m128i f1 = _mm_set1_epi8(static_cast<char>(f)), f2 = _mm_set1_epi8(static_cast<char>(other ? (*other)[f] : f));
    const __m128i e1 = _mm_set1_epi8(static_cast<char>(e)), e2 = _mm_set1_epi8(static_cast<char>(other ? (*other)[e] : e));
    // Sixteen starts from `at` end at or before last + n - 1, the input's last byte.
    for (; last - at >= 15; at += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + o1));
        const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + o2));
        const __m128i hit = _mm_and_si128(_mm_or_si128(_mm_cmpeq_epi8(v, f1), _mm_cmpeq_epi8(v, f2)),
                                          _mm_or_si128(_mm_cmpeq_epi8(w, e1), _mm_cmpeq_epi8(w, e2)));
        for (unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hit)); mask; mask &= mask - 1)
            if (same(at + __builtin_ctz(mask))) return at + __builtin_ctz(mask);
    }
    return nullptr;
}

// The same, thirty-two starts at a time, on a processor with AVX2; the last starts are left to
// scanLiteralBlocks.
__attribute__((target("avx2"))) const char* scanLiteralBlocksWide(const char*& at, const char* last, const std::string& lit,
                                                                 std::size_t probe, const ByteTable* other) {
    const std::size_t n = lit.size();
    const std::size_t o1 = probe, o2 = probe == n - 1 ? 0 : n - 1;
    const unsigned char f = static_cast<unsigned char>(lit[o1]), e = static_cast<unsigned char>(lit[o2]);
    const __m256i f1 = _mm256_set1_epi8(static_cast<char>(f)), f2 = _mm256_set1_epi8(static_cast<char>(other ? (*other)[f] : f));
    const __m256i e1 = _mm256_set1_epi8(static_cast<char>(e)), e2 = _mm256_set1_epi8(static_cast<char>(other ? (*other)[e] : e));
    for (; last - at >= 31; at += 32) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + o1));
        const __m256i w = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + o2));
        const __m256i hit = _mm256_and_si256(_mm256_or_si256(_mm256_cmpeq_epi8(v, f1), _mm256_cmpeq_epi8(v, f2)),
                                             _mm256_or_si256(_mm256_cmpeq_epi8(w, e1), _mm256_cmpeq_epi8(w, e2)));
        for (unsigned mask = static_cast<unsigned>(_mm256_movemask_epi8(hit)); mask; mask &= mask - 1) {
            const char* start = at + __builtin_ctz(mask);
            std::size_t k = 0;
            for (; k < n; ++k) {
                const unsigned char x = static_cast<unsigned char>(start[k]), l = static_cast<unsigned char>(lit[k]);
                if (x != l && (!other || x != (*other)[l])) break;
            }
            if (k == n) return start;
        }
    }
    return scanLiteralBlocks(at, last, lit, probe, other);
}
#endif

}  // namespace

// Where the required literal first occurs at or after `from`: over a long stretch, a literal of
// common bytes only through two of them at once (scanLiteralBlocks); otherwise the rarest byte
// of the literal is looked for with memchr and the rest compared around it.
const char* TVxRegex::findRequired(std::size_t from) const {
    const Program& p = *program_;
    const std::string& lit = p.required;
    const std::size_t n = lit.size(), probe = p.requiredProbe;
    const char* s = input_;
    const std::size_t len = inputLen_;
    if (len < n || len - n < from) return nullptr;
#if defined(__x86_64__)
    if (p.requiredProbeCommon && len - n - from >= 15) {
        const char* next = s + from;
        static const bool wide = __builtin_cpu_supports("avx2");
        const ByteTable* other = p.requiredCI ? &tables_.otherCase : nullptr;
        if (const char* hit = wide ? scanLiteralBlocksWide(next, s + (len - n), lit, probe, other)
                                   : scanLiteralBlocks(next, s + (len - n), lit, probe, other))
            return hit;
        from = static_cast<std::size_t>(next - s);
    }
#endif
    const char* at = s + from + probe;
    const char* last = s + (len - n) + probe;  // last place the probe byte may stand
    const char want = lit[probe];
    if (p.requiredCI) {
        // Either case of the probe byte, then either case of every other byte.
        const unsigned char a = static_cast<unsigned char>(want), b = tables_.otherCase[a];
        auto next = [&](const char* from, unsigned char c) -> const char* {
            if (from > last) return nullptr;
            // A scan that started at or before `from` and found nothing before it still holds.
            ProbeScan& known = probeScans_[c == a ? 0 : 1];
            if (known.byte == c && known.from <= from && (!known.hit || from <= known.hit)) return known.hit;
            const char* hit =
                static_cast<const char*>(std::memchr(from, c, static_cast<std::size_t>(last - from) + 1));
            known = ProbeScan{c, from, hit};
            return hit;
        };
        const char* pa = next(at, a);
        const char* pb = a == b ? nullptr : next(at, b);
        while (pa || pb) {
            const char* hit = !pb || (pa && pa < pb) ? pa : pb;
            const char* start = hit - probe;
            std::size_t k = 0;
            for (; k < n; ++k) {
                const unsigned char x = static_cast<unsigned char>(start[k]), l = static_cast<unsigned char>(lit[k]);
                if (x != l && x != tables_.otherCase[l]) break;
            }
            if (k == n) return start;
            if (hit == pa) pa = next(pa + 1, a);
            else pb = next(pb + 1, b);
        }
        return nullptr;
    }
    while (at <= last) {
        const void* hit = std::memchr(at, want, static_cast<std::size_t>(last - at) + 1);
        if (!hit) return nullptr;
        const char* start = static_cast<const char*>(hit) - probe;
        if (std::memcmp(start, lit.data(), n) == 0) return start;
        at = static_cast<const char*>(hit) + 1;
    }
    return nullptr;
}

int TVxRegex::searchWithAutomaton(std::size_t& from, const char* ahead) {
    const Program& p = *program_;
    const std::uint8_t* u = reinterpret_cast<const std::uint8_t*>(input_);
    const std::size_t len = inputLen_;
    // Made only once the automaton runs: most short inputs lack the required literal.
    LazyDfa::Poll poll;
    while (from <= len) {
        // A match holds the required literal: the automaton starts where the first one ahead can
        // be reached from, and once past it with nothing under way, the next one is looked for.
        std::size_t at = from, restartAfter = LazyDfa::kNone;
        const std::string* known = nullptr;  // a literal known to stand at `at`
        if (!p.required.empty()) {
            const char* hit = ahead ? ahead : findRequired(from);
            ahead = nullptr;
            if (!hit) return 0;
            restartAfter = static_cast<std::size_t>(hit - input_);
            if (p.requiredIsPrefix) {
                at = restartAfter;
                if (!p.requiredCI) known = &p.required;
            } else if (p.beforeRequiredSkip) {
                at = restartAfter;
                while (at > from && p.beforeRequired[u[at - 1]]) --at;
            }
        }
        if (!poll) poll = [this] { matcher_.poll(); };
        const StartFinder::Result r = finder_->leftmostStart(input_, len, at, restartAfter, poll, known);
        switch (r.outcome) {
        case StartFinder::Outcome::None: return 0;
        case StartFinder::Outcome::Restart: from = r.at; continue;
        case StartFinder::Outcome::GiveUp: from = at; return -1;
        case StartFinder::Outcome::Found: break;
        }
        // The plain search tries only the starts its shortcuts leave; so does this one.
        const bool tried = p.canMatchEmpty || (r.at < len && p.firstSet[u[r.at]]);
        if (tried && attempt(r.at)) return 1;
        from = r.at + 1;
        if (++automatonMisses_ >= kMaxAutomatonMisses) return -1;
    }
    return 0;
}

bool TVxRegex::search(std::size_t from) {
    const Program& p = *program_;
    const char* s = input_;
    const std::size_t len = inputLen_;

    if (p.anchored) {
        // One attempt, and only at the very start: check the literal that must open the input.
        if (from != 0) return false;
        const std::string& prefix = p.anchoredPrefix;
        if (len < prefix.size()) return false;
        if (!prefix.empty() && (s[0] != prefix[0] || std::memcmp(s, prefix.data(), prefix.size()) != 0)) return false;
        return attempt(0);
    }
    // A match from `at` holds the required literal at `at` or later: once the starts pass the
    // occurrence found last, the next one is looked for, and when there is none no start is
    // left. Before the occurrence, the match holds only bytes it can hold before the literal, so
    // it starts after the last byte before the occurrence that is not one of them.
    const std::uint8_t* u = reinterpret_cast<const std::uint8_t*>(s);
    std::size_t required = len + 1;  // where the required literal stands next (len + 1: nothing required)
    std::size_t earliest = 0;        // the first start that can reach it
    auto findAhead = [&](std::size_t at) {
        const char* hit = findRequired(at);
        if (!hit) return false;
        required = static_cast<std::size_t>(hit - s);
        earliest = at;
        if (p.beforeRequiredSkip) {
            earliest = required;
            while (earliest > at && p.beforeRequired[u[earliest - 1]]) --earliest;
        }
        return true;
    };
    // Moves `at` to the first start that can still reach a required literal; false when none can.
    auto requiredAhead = [&](std::size_t& at) {
        if (at > required && !findAhead(at)) return false;
        if (at < earliest) at = earliest;
        return true;
    };
    if (finder_ && automatonMisses_ < kMaxAutomatonMisses) {
        // Most short inputs lack the required literal: they need no automaton.
        const char* ahead = nullptr;
        if (!p.required.empty() && !(ahead = findRequired(from))) return false;
        const int found = searchWithAutomaton(from, ahead);
        if (found >= 0) return found == 1;
    }
    if (!p.required.empty()) {
        if (!findAhead(from)) return false;
        if (p.requiredIsPrefix) {
            // The match begins with the literal: try only where it stands.
            for (;;) {
                if (attempt(required)) return true;
                if (!findAhead(required + 1)) return false;
            }
        }
    }
    if (p.startChar >= 0) {
        for (std::size_t at = from; at < len;) {
            const void* hit = std::memchr(s + at, p.startChar, len - at);
            if (!hit) return false;
            at = static_cast<std::size_t>(static_cast<const char*>(hit) - s);
            const std::size_t was = at;
            if (!requiredAhead(at)) return false;
            if (at != was) continue;  // moved on: find the start character again from there
            if (attempt(at)) return true;
            ++at;
        }
        return false;
    }
    if (p.canMatchEmpty) {
        for (std::size_t at = from; at <= len; ++at) {
            if (!requiredAhead(at)) return false;
            if (attempt(at)) return true;
        }
        return false;
    }
    for (std::size_t at = from; at < len;) {
        if (!p.firstSet[u[at]]) {
            ++at;
            continue;
        }
        const std::size_t was = at;
        if (!requiredAhead(at)) return false;
        if (at != was) continue;  // moved on: look at the byte there first
        std::size_t runEnd;
        if (attempt(at, &runEnd)) return true;
        // A failed start inside the run the leading repeat took would fail the same way.
        at = runEnd != Backtracker::kNoRunEnd && runEnd > at ? runEnd : at + 1;
    }
    return false;
}

std::int64_t TVxRegex::MatchStart(int group) const {
    if (group < 0 || group >= kGroupSlots || !hasInput_) return -1;
    if (caps_.start[group] < 0 || caps_.end[group] < 0) return -1;
    return caps_.start[group] + 1;
}

std::int64_t TVxRegex::MatchLength(int group) const {
    if (group < 0 || group >= kGroupSlots || !hasInput_) return -1;
    if (caps_.start[group] < 0 || caps_.end[group] < 0) return -1;
    return caps_.end[group] - caps_.start[group];
}

std::string_view TVxRegex::Match(int group) const {
    std::int64_t start = MatchStart(group);
    if (start < 0) return {};
    return InputString().substr(static_cast<std::size_t>(start - 1),
                                           static_cast<std::size_t>(MatchLength(group)));
}

std::string_view TVxRegex::InputString() const {
    if (!hasInput_) throw EVxRegex(kErrNoInputString, 0);
    return std::string_view(input_, inputLen_);
}

}  // namespace vsr::regexpr
