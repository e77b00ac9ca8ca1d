#include "regexpr/backtracker.h"

#include <cstring>

#include "regexpr/vx_regex_error.h"
#include "text/unicode_tables.h"
#include "text/utf8.h"

namespace vsr::regexpr {

namespace {
constexpr std::uint32_t kStepsPerClockLook = 4096;
constexpr auto kAskInterval = std::chrono::milliseconds(25);
}  // namespace

void Backtracker::checkCancel() {
    // The steps are charged here, a few thousand at a time, so the hot loop only counts.
    if (stepsLeft_ < steps_) throw EVxRegex(kErrBacktrackLimit, 0);
    stepsLeft_ -= steps_;
    steps_ = 0;
    auto now = std::chrono::steady_clock::now();
    if (now - lastAsk_ < kAskInterval) return;
    const bool stop = goOn && !goOn();
    // The interval counts from the end of the host's answer, so two questions are 25 ms apart
    // however long the host took to answer, or the thread waited between the clock and the call.
    lastAsk_ = std::chrono::steady_clock::now();
    if (stop) throw MatchInterrupted();
}

void Backtracker::push(Kind kind, std::size_t node, std::int64_t pos, std::int64_t a) {
    if (stack_.size() >= kMaxFrames) throw EVxRegex(kErrBacktrackLimit, 0);
    stack_.push_back(Frame{kind, static_cast<std::uint32_t>(node), pos, a});
}

bool Backtracker::matchOne(std::size_t n, std::size_t pos) const {
    if (pos >= len_) return false;
    std::uint8_t c = static_cast<std::uint8_t>(s_[pos]);
    const std::uint8_t* operand = code_ + n + op::kHeader;
    switch (code_[n]) {
    case op::Any: return true;
    case op::AnyButSep: return !t_->lineSep[c] && !t_->isPairedFirstAt(s_, len_, pos);
    case op::Exactly: return c == operand[0];
    case op::ExactlyCI: return c == operand[0] || c == t_->otherCase[operand[0]];
    case op::AnyDigit: return c >= '0' && c <= '9';
    case op::NotDigit: return c < '0' || c > '9';
    case op::AnyOf3: return c == operand[0] || c == operand[1] || c == operand[2];
    case op::NoneOf3: return c != operand[0] && c != operand[1] && c != operand[2];
    case op::AnyOfSet: return (operand[c >> 3] >> (c & 7)) & 1u;
    default: throw EVxRegex(kErrRepeatInappropriate, 0);
    }
}

namespace {

bool classContains(const std::uint8_t* operand, char32_t cp) {
    if (cp < 0x80 && ((operand[1 + (cp >> 3)] >> (cp & 7)) & 1u)) return true;
    if ((operand[0] & op::kClassWord) && text::unicode::isWordChar(cp)) return true;
    if (cp < 0x80) return false;
    const std::int32_t count = op::readInt(operand + 17);
    const std::uint8_t* r = operand + op::kClassFixed;
    for (std::int32_t k = 0; k < count; ++k, r += 8)
        if (static_cast<std::int32_t>(cp) >= op::readInt(r) && static_cast<std::int32_t>(cp) <= op::readInt(r + 4))
            return true;
    return false;
}

bool classMatches(const std::uint8_t* operand, char32_t cp) {
    bool in = classContains(operand, cp);
    if (!in && (operand[0] & op::kClassFold) && cp >= 0x80) {
        // Any case form of the character in the class.
        const char32_t key = text::unicode::fold(cp);
        in = key != cp && classContains(operand, key);
        for (const auto& m : text::unicode::caseMembers(key)) {
            if (in) break;
            in = m.member != cp && classContains(operand, m.member);
        }
    }
    return in != ((operand[0] & op::kClassNegate) != 0);
}

}  // namespace

std::size_t Backtracker::matchWide(std::size_t n, std::size_t pos) const {
    if (pos >= len_) return 0;
    const auto* p = reinterpret_cast<const std::uint8_t*>(s_) + pos;
    char32_t cp = p[0];
    const std::size_t len = cp < 0x80 ? 1 : text::utf8::decode(p, len_ - pos, cp);
    const std::uint8_t* operand = code_ + n + op::kHeader;
    switch (code_[n]) {
    case op::AnyU8: return len;
    case op::AnyButSepU8: return t_->lineSep[p[0]] || t_->isPairedFirstAt(s_, len_, pos) ? 0 : len;
    case op::WordU8: return text::unicode::isWordChar(cp) ? len : 0;
    case op::NotWordU8: return text::unicode::isWordChar(cp) ? 0 : len;
    case op::ClassU8: return classMatches(operand, cp) ? len : 0;
    default: throw EVxRegex(kErrRepeatInappropriate, 0);
    }
}

std::int64_t Backtracker::giveBack(std::size_t n, std::size_t start, std::int64_t taken) const {
    if (taken <= 0) return -1;
    if (!op::isWideOne(code_[n])) return taken - 1;
    const std::size_t end = start + static_cast<std::size_t>(taken);
    return static_cast<std::int64_t>(text::utf8::charStart(std::string_view(s_, len_), end - 1) - start);
}

// How many times in a row the one-character operand matches from pos, at most max; for a wide
// operand the bytes of as many characters as match (its repeats have no maximum).
std::size_t Backtracker::repeatCount(std::size_t n, std::size_t pos, std::int64_t max) const {
    if (op::isWideOne(code_[n])) {
        std::size_t k = 0;
        for (std::int64_t count = 0; max < 0 || count < max; ++count) {
            std::size_t len = matchWide(n, pos + k);
            if (!len) break;
            k += len;
        }
        return k;
    }
    std::size_t limit = len_ - pos;
    if (max >= 0 && static_cast<std::uint64_t>(max) < limit) limit = static_cast<std::size_t>(max);
    const std::uint8_t* p = reinterpret_cast<const std::uint8_t*>(s_) + pos;
    const std::uint8_t* operand = code_ + n + op::kHeader;
    std::size_t k = 0;
    switch (code_[n]) {
    case op::Any:
        return limit;
    case op::Exactly: {
        std::uint8_t a = operand[0];
        while (k < limit && p[k] == a) ++k;
        return k;
    }
    case op::ExactlyCI: {
        std::uint8_t a = operand[0], b = t_->otherCase[a];
        while (k < limit && (p[k] == a || p[k] == b)) ++k;
        return k;
    }
    case op::AnyDigit:
        while (k < limit && p[k] >= '0' && p[k] <= '9') ++k;
        return k;
    case op::NotDigit:
        while (k < limit && (p[k] < '0' || p[k] > '9')) ++k;
        return k;
    case op::AnyOf3:
        while (k < limit && (p[k] == operand[0] || p[k] == operand[1] || p[k] == operand[2])) ++k;
        return k;
    case op::NoneOf3:
        while (k < limit && p[k] != operand[0] && p[k] != operand[1] && p[k] != operand[2]) ++k;
        return k;
    case op::AnyOfSet:
        while (k < limit && ((operand[p[k] >> 3] >> (p[k] & 7)) & 1u)) ++k;
        return k;
    case op::AnyButSep:
        while (k < limit && matchOne(n, pos + k)) ++k;
        return k;
    default:
        throw EVxRegex(kErrRepeatInappropriate, 0);
    }
}

bool Backtracker::isLineStart(std::size_t pos) const {
    if (pos == 0) return true;
    std::uint8_t prev = static_cast<std::uint8_t>(s_[pos - 1]);
    int p0 = t_->paired0, p1 = t_->paired1;
    if (t_->lineSep[prev]) {
        bool between = p0 >= 0 && prev == p0 && pos < len_ && static_cast<std::uint8_t>(s_[pos]) == p1;
        if (!between) return true;
    }
    return p0 >= 0 && pos >= 2 && static_cast<std::uint8_t>(s_[pos - 2]) == p0 && prev == p1;
}

bool Backtracker::isLineEnd(std::size_t pos) const {
    if (pos >= len_) return true;
    if (t_->isPairedFirstAt(s_, len_, pos)) return true;
    std::uint8_t c = static_cast<std::uint8_t>(s_[pos]);
    if (!t_->lineSep[c]) return false;
    int p0 = t_->paired0, p1 = t_->paired1;
    bool secondOfPair = p0 >= 0 && c == p1 && pos > 0 && static_cast<std::uint8_t>(s_[pos - 1]) == p0;
    return !secondOfPair;
}

void Backtracker::repeatBounds(std::size_t node, std::int64_t& min, std::int64_t& max, std::size_t& operandNode) const {
    switch (code_[node]) {
    case op::Star: case op::StarNG:
        min = 0; max = op::kInfinity; operandNode = node + op::kHeader;
        break;
    case op::Plus: case op::PlusNG:
        min = 1; max = op::kInfinity; operandNode = node + op::kHeader;
        break;
    default:
        min = op::readInt(code_ + node + op::kHeader);
        max = op::readInt(code_ + node + op::kHeader + 4);
        operandNode = node + op::kHeader + 8;
        break;
    }
}

// When a literal follows a repeat, only counts after which the input goes on with its first
// character can succeed.
void Backtracker::followingChar(std::size_t node, int& c1, int& c2) const {
    c1 = c2 = -1;
    if (plain_) return;
    std::int32_t off = op::readInt(code_ + node + 1);
    if (off == 0) return;
    std::size_t nx = node + off;
    if (code_[nx] == op::Exactly) {
        c1 = c2 = code_[nx + op::kHeader];
    } else if (code_[nx] == op::ExactlyCI) {
        c1 = code_[nx + op::kHeader];
        c2 = t_->otherCase[c1];
    }
}

bool Backtracker::run(const Program& program, const CharTables& tables, const char* input, std::size_t length,
                      std::size_t startPos, Captures& caps, std::size_t& matchEnd) {
    code_ = program.code.data();
    const std::size_t codeSize = program.code.size();
    t_ = &tables;
    s_ = input;
    len_ = length;
    stack_.clear();
    base_ = 0;
    loopIndex_ = 0;
    leadRunEnd_ = kNoRunEnd;
    plain_ = program.plain;
    openAt_.fill(-1);

    std::size_t node = 1;
    std::size_t pos = startPos;
    const std::uint8_t* s = reinterpret_cast<const std::uint8_t*>(input);

    for (;;) {
        if (++steps_ >= kStepsPerClockLook) checkCancel();
        if (node == 0 || node >= codeSize) throw EVxRegex(kErrCorruptedPointers, 0);
        const std::uint8_t o = code_[node];
        const std::uint8_t* operand = code_ + node + op::kHeader;
        switch (o) {
        case op::End:
            matchEnd = pos;
            return true;
        case op::Bol:
            if (pos != 0) goto fail;
            break;
        case op::Eol:
            if (pos != len_) goto fail;
            break;
        case op::LineStart:
            if (!isLineStart(pos)) goto fail;
            break;
        case op::LineEnd:
            if (!isLineEnd(pos)) goto fail;
            break;
        case op::Any: case op::AnyButSep: case op::AnyDigit: case op::NotDigit:
        case op::AnyOf3: case op::NoneOf3: case op::AnyOfSet:
            if (!matchOne(node, pos)) goto fail;
            ++pos;
            break;
        case op::AnyU8: case op::AnyButSepU8: case op::WordU8: case op::NotWordU8: case op::ClassU8: {
            std::size_t len = matchWide(node, pos);
            if (!len) goto fail;
            pos += len;
            break;
        }
        case op::ExactlyFold: {
            // Character by character through the case folding; the text's may differ in length.
            std::size_t at = pos;
            for (const std::uint8_t* q = operand; *q;) {
                if (at >= len_) goto fail;
                char32_t want, got;
                q += text::utf8::decode(q, 4, want);
                at += text::utf8::decode(s + at, len_ - at, got);
                if (text::unicode::fold(got) != want) goto fail;
            }
            pos = at;
            break;
        }
        case op::Exactly: {
            std::size_t k = 0;
            for (; operand[k]; ++k)
                if (pos + k >= len_ || s[pos + k] != operand[k]) goto fail;
            pos += k;
            break;
        }
        case op::ExactlyCI: {
            std::size_t k = 0;
            for (; operand[k]; ++k) {
                if (pos + k >= len_) goto fail;
                std::uint8_t c = s[pos + k];
                if (c != operand[k] && c != t_->otherCase[operand[k]]) goto fail;
            }
            pos += k;
            break;
        }
        case op::Nothing:
        case op::Comment:
        case op::Back:
            break;
        case op::Branch: {
            std::size_t nx = node + op::readInt(code_ + node + 1);
            if (code_[nx] == op::Branch) push(kAlt, nx, static_cast<std::int64_t>(pos), 0);
            node = node + op::kHeader;
            continue;
        }
        case op::Star: case op::Plus: case op::Braces: {
            std::int64_t min, max;
            std::size_t opnd;
            repeatBounds(node, min, max, opnd);
            int c1, c2;
            followingChar(node, c1, c2);
            std::int64_t k = static_cast<std::int64_t>(repeatCount(opnd, pos, max));
            if (node == program.runSkipNode && leadRunEnd_ == kNoRunEnd) leadRunEnd_ = pos + static_cast<std::size_t>(k);
            if (program.possessive[node]) {
                if (k < min) goto fail;
                pos += k;
                break;
            }
            while (k >= min && !nextCharOk(c1, c2, pos + k)) k = giveBack(opnd, pos, k);
            if (k < min) goto fail;
            if (k > min) push(kRepGreedy, node, static_cast<std::int64_t>(pos), k);
            pos += k;
            break;
        }
        case op::StarNG: case op::PlusNG: case op::BracesNG: {
            std::int64_t min, max;
            std::size_t opnd;
            repeatBounds(node, min, max, opnd);
            int c1, c2;
            followingChar(node, c1, c2);
            // k counts bytes; a wide operand repeats only with "*" and "+" (min 0 or 1, no max).
            std::int64_t k = 0;
            for (std::int64_t taken = 0; taken < min; ++taken) {
                std::size_t len = advance(opnd, pos + k);
                if (!len) goto fail;
                k += static_cast<std::int64_t>(len);
            }
            while (!nextCharOk(c1, c2, pos + k)) {
                std::size_t len = k < max ? advance(opnd, pos + k) : 0;
                if (!len) goto fail;
                k += static_cast<std::int64_t>(len);
            }
            if (k < max) push(kRepLazy, node, static_cast<std::int64_t>(pos), k);
            pos += k;
            break;
        }
        case op::BackRef: case op::BackRefCI: {
            int g = operand[0];
            if (g >= kGroupSlots || caps.start[g] < 0 || caps.end[g] < caps.start[g]) goto fail;
            std::size_t from = static_cast<std::size_t>(caps.start[g]);
            std::size_t n = static_cast<std::size_t>(caps.end[g]) - from;
            if (o == op::BackRefCI && t_->utf8) {
                // The group's text again in any case: character by character, lengths may differ.
                std::size_t at = pos;
                for (std::size_t k = from; k < from + n;) {
                    if (at >= len_) goto fail;
                    char32_t a, b;
                    k += text::utf8::decode(s + k, from + n - k, a);
                    at += text::utf8::decode(s + at, len_ - at, b);
                    if (text::unicode::fold(a) != text::unicode::fold(b)) goto fail;
                }
                pos = at;
                break;
            }
            if (n > len_ - pos) goto fail;
            if (o == op::BackRef) {
                if (std::memcmp(s + from, s + pos, n) != 0) goto fail;
            } else {
                for (std::size_t k = 0; k < n; ++k) {
                    std::uint8_t a = s[from + k], b = s[pos + k];
                    if (a != b && b != t_->otherCase[a]) goto fail;
                }
            }
            pos += n;
            break;
        }
        case op::LoopEntry:
            trail(kUndoLoopIndex, 0, 0, loopIndex_);
            if (loopIndex_ >= kMaxLoops) throw EVxRegex(kErrLoopStackExceeded, 0);
            ++loopIndex_;
            trail(kUndoLoop, static_cast<std::size_t>(loopIndex_), loopIterStart_[loopIndex_], loopCount_[loopIndex_]);
            loopCount_[loopIndex_] = 0;
            loopIterStart_[loopIndex_] = -1;
            break;
        case op::Loop: case op::LoopNG: {
            if (loopIndex_ <= 0) throw EVxRegex(kErrLoopWithoutEntry, 0);
            const int level = loopIndex_;
            const std::int64_t min = op::readInt(operand);
            const std::int64_t max = op::readInt(operand + 4);
            const std::size_t body = node - static_cast<std::size_t>(op::readInt(operand + 8));
            const std::int64_t count = loopCount_[level];
            // An unbounded loop stops after an iteration that matched nothing (it would repeat
            // that nothing forever); bounded loops run as written, their maximum ends them.
            const bool stalled = max == op::kInfinity && loopIterStart_[level] == static_cast<std::int64_t>(pos);
            const bool more = count < max && !stalled;
            if (count < min || (o == op::Loop && more)) {
                if (count >= min) push(kLoopExit, node, static_cast<std::int64_t>(pos), 0);
                trail(kUndoLoop, static_cast<std::size_t>(level), loopIterStart_[level], count);
                loopCount_[level] = count + 1;
                loopIterStart_[level] = static_cast<std::int64_t>(pos);
                node = body;
                continue;
            }
            if (o == op::LoopNG && more) push(kLoopIter, node, static_cast<std::int64_t>(pos), 0);
            trail(kUndoLoopIndex, 0, 0, loopIndex_);
            --loopIndex_;
            break;
        }
        default:
            if (op::isOpen(o)) {
                int g = o - op::OpenBase;
                trail(kUndoOpen, static_cast<std::size_t>(g), 0, openAt_[g]);
                openAt_[g] = static_cast<std::int64_t>(pos);
            } else if (op::isClose(o)) {
                int g = o - op::CloseBase;
                trail(kUndoGroup, static_cast<std::size_t>(g), caps.start[g], caps.end[g]);
                caps.start[g] = openAt_[g];
                caps.end[g] = static_cast<std::int64_t>(pos);
            } else {
                throw EVxRegex(kErrMemoryCorruption, 0);
            }
            break;
        }
        {
            std::int32_t off = op::readInt(code_ + node + 1);
            if (off == 0) throw EVxRegex(kErrCorruptedPointers, 0);
            node = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(node) + off);
        }
        continue;

    fail:
        // Undo records restore state; the first choice point found resumes the match.
        for (;;) {
            if (stack_.empty()) return false;
            Frame f = stack_.back();
            stack_.pop_back();
            // Only going back to a choice point counts: undo records cost nothing extra.
            if (f.kind >= kAlt && backtracksLeft_-- == 0) [[unlikely]]
                throw EVxRegex(kErrBacktrackLimit, 0);
            switch (f.kind) {
            case kUndoOpen: openAt_[f.node] = f.a; continue;
            case kUndoGroup:
                caps.start[f.node] = f.pos;
                caps.end[f.node] = f.a;
                continue;
            case kUndoLoop:
                loopCount_[f.node] = f.a;
                loopIterStart_[f.node] = f.pos;
                continue;
            case kUndoLoopIndex: loopIndex_ = static_cast<int>(f.a); continue;
            case kAlt: {
                std::size_t alt = f.node;
                std::size_t nx = alt + op::readInt(code_ + alt + 1);
                if (code_[nx] == op::Branch) push(kAlt, nx, f.pos, 0);
                node = alt + op::kHeader;
                pos = static_cast<std::size_t>(f.pos);
                break;
            }
            case kRepGreedy: {
                std::int64_t min, max;
                std::size_t opnd;
                repeatBounds(f.node, min, max, opnd);
                int c1, c2;
                followingChar(f.node, c1, c2);
                const std::size_t start = static_cast<std::size_t>(f.pos);
                std::int64_t k = giveBack(opnd, start, f.a);
                while (k >= min && !nextCharOk(c1, c2, static_cast<std::size_t>(f.pos + k))) k = giveBack(opnd, start, k);
                if (k < min) continue;
                if (k > min) push(kRepGreedy, f.node, f.pos, k);
                pos = static_cast<std::size_t>(f.pos + k);
                node = f.node + op::readInt(code_ + f.node + 1);
                break;
            }
            case kRepLazy: {
                std::int64_t min, max;
                std::size_t opnd;
                repeatBounds(f.node, min, max, opnd);
                int c1, c2;
                followingChar(f.node, c1, c2);
                std::int64_t k = f.a;
                bool found = false;
                for (std::size_t len; k < max && (len = advance(opnd, static_cast<std::size_t>(f.pos + k)));) {
                    k += static_cast<std::int64_t>(len);
                    if (nextCharOk(c1, c2, static_cast<std::size_t>(f.pos + k))) {
                        found = true;
                        break;
                    }
                }
                if (!found) continue;
                if (k < max) push(kRepLazy, f.node, f.pos, k);
                pos = static_cast<std::size_t>(f.pos + k);
                node = f.node + op::readInt(code_ + f.node + 1);
                break;
            }
            case kLoopExit:
                trail(kUndoLoopIndex, 0, 0, loopIndex_);
                --loopIndex_;
                pos = static_cast<std::size_t>(f.pos);
                node = f.node + op::readInt(code_ + f.node + 1);
                break;
            case kLoopIter: {
                const int level = loopIndex_;
                trail(kUndoLoop, static_cast<std::size_t>(level), loopIterStart_[level], loopCount_[level]);
                ++loopCount_[level];
                loopIterStart_[level] = f.pos;
                pos = static_cast<std::size_t>(f.pos);
                node = f.node - static_cast<std::size_t>(op::readInt(code_ + f.node + op::kHeader + 8));
                break;
            }
            }
            break;
        }
    }
}

}  // namespace vsr::regexpr
