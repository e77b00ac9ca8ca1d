#include "regexpr/compiler.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>

#include "regexpr/opcodes.h"
#include "regexpr/vx_regex_error.h"

namespace vsr::regexpr {

namespace {

// What a parsed piece can do; decides which quantifier forms are allowed and how they compile.
enum Flag : int {
    kWorst = 0,
    kHasWidth = 1,  // never matches the empty string
    kSimple = 2,    // exactly one character: a one-character repeat can take it
    kSpStart = 4,   // starts with a repeated piece
    kNop = 8,       // a comment or inline modifier: nothing a quantifier could repeat
};

struct Quantifier {
    std::int32_t min = 0;
    std::int32_t max = 0;
    bool lazyMark = false;
    char kind = 0;  // '*', '+', '?' or '{'
};

bool isHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return c - 'A' + 10;
}
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

unsigned modifierBit(char c) {
    switch (c) {
    case 'i': case 'I': return kModI;
    case 'r': case 'R': return kModR;
    case 's': case 'S': return kModS;
    case 'g': case 'G': return kModG;
    case 'm': case 'M': return kModM;
    case 'x': case 'X': return kModX;
    default: return 0;
    }
}

class Compiler {
public:
    Compiler(std::string_view re, unsigned modifiers, const CharTables& tables)
        : re_(re), initialMods_(modifiers), t_(tables) {}

    Program run() {
        if (re_.empty()) throw EVxRegex(kErrNullArgument, 0);
        pass(true);
        if (cur_ > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max() / 2))
            throw EVxRegex(kErrTooBig, 1);
        code_.assign(cur_, 0);
        std::size_t expected = cur_;
        pass(false);
        if (cur_ != expected) throw EVxRegex(kErrInternalUrp, static_cast<int>(p_) + 1);
        Program program;
        program.code = std::move(code_);
        program.modifiers = initialMods_;
        program.groupCount = groups_;
        computeShortcuts(program, t_);
        return program;
    }

private:
    [[noreturn]] void fail(int code, std::size_t at) const {
        throw EVxRegex(code, static_cast<int>(std::min(at, re_.size() ? re_.size() - 1 : 0)) + 1);
    }

    void pass(bool sizing) {
        sizing_ = sizing;
        cur_ = 0;
        p_ = 0;
        groups_ = 0;
        mods_ = initialMods_;
        emitByte(op::kMagic);
        int flags = 0;
        parseReg(false, flags, 0);
    }

    // ---- emission -------------------------------------------------------------------------
    void need(std::size_t bytes) {
        if (!sizing_ && cur_ + bytes > code_.size()) throw EVxRegex(kErrInternalUrp, static_cast<int>(p_) + 1);
    }
    void emitByte(std::uint8_t b) {
        need(1);
        if (!sizing_) code_[cur_] = b;
        ++cur_;
    }
    void emitInt(std::int32_t v) {
        need(4);
        if (!sizing_) op::writeInt(code_.data() + cur_, v);
        cur_ += 4;
    }
    std::size_t emitNode(std::uint8_t opcode) {
        std::size_t at = cur_;
        emitByte(opcode);
        emitInt(0);
        return at;
    }
    // Inserts a node (with room for its operand bytes) in front of the operand already emitted at `at`.
    void insertNode(std::uint8_t opcode, std::size_t at, std::size_t operandBytes) {
        std::size_t total = op::kHeader + operandBytes;
        need(total);
        if (!sizing_) {
            std::uint8_t* base = code_.data();
            std::memmove(base + at + total, base + at, cur_ - at);
            std::memset(base + at, 0, total);
            base[at] = opcode;
        }
        cur_ += total;
    }
    void setIntAt(std::size_t at, std::int32_t v) {
        if (!sizing_) op::writeInt(code_.data() + at, v);
    }
    // Links the last node of the chain starting at p to val.
    void tail(std::size_t p, std::size_t val) {
        if (sizing_) return;
        std::size_t scan = p;
        for (std::size_t guard = 0; guard <= code_.size(); ++guard) {
            std::size_t nx = op::next(code_, scan);
            if (nx == 0) {
                op::writeInt(code_.data() + scan + 1,
                             static_cast<std::int32_t>(static_cast<std::ptrdiff_t>(val) - static_cast<std::ptrdiff_t>(scan)));
                return;
            }
            scan = nx;
        }
        throw EVxRegex(kErrInternalUrp, static_cast<int>(p_) + 1);
    }
    // Links the end of a branch's operand chain to val.
    void opTail(std::size_t p, std::size_t val) {
        if (sizing_ || code_[p] != op::Branch) return;
        tail(op::operand(p), val);
    }

    // ---- scanning helpers -----------------------------------------------------------------
    bool extended() const { return (mods_ & kModX) != 0; }
    std::size_t skipExtendedFrom(std::size_t at) const {
        if (!extended()) return at;
        while (at < re_.size()) {
            if (isBlank(re_[at])) {
                ++at;
            } else if (re_[at] == '#') {
                while (at < re_.size() && re_[at] != '\n' && re_[at] != '\r') ++at;
            } else {
                break;
            }
        }
        return at;
    }
    void skipExtended() { p_ = skipExtendedFrom(p_); }

    // "{n}", "{n,}" or "{n,m}" at `at`; anything else leaves the brace an ordinary character.
    bool braceSyntax(std::size_t at, std::size_t* after = nullptr) const {
        std::size_t i = at;
        if (i >= re_.size() || re_[i] != '{') return false;
        ++i;
        std::size_t digits = 0;
        while (i < re_.size() && isDigit(re_[i])) ++i, ++digits;
        if (digits == 0) return false;
        if (i < re_.size() && re_[i] == ',') {
            ++i;
            while (i < re_.size() && isDigit(re_[i])) ++i;
        }
        if (i >= re_.size() || re_[i] != '}') return false;
        if (after) *after = i + 1;
        return true;
    }
    bool quantifierAt(std::size_t at) const {
        if (at >= re_.size()) return false;
        char c = re_[at];
        return c == '*' || c == '+' || c == '?' || braceSyntax(at);
    }

    std::int32_t braceNumber(std::size_t& i, std::size_t bracePos) const {
        std::size_t start = i;
        while (i < re_.size() && isDigit(re_[i])) ++i;
        if (i - start > 8) fail(kErrBracesTooBig, bracePos);
        std::int32_t v = 0;
        for (std::size_t k = start; k < i; ++k) v = v * 10 + (re_[k] - '0');
        return v;
    }

    bool parseQuantifier(Quantifier& q) {
        if (!quantifierAt(p_)) return false;
        q.kind = re_[p_];
        switch (q.kind) {
        case '*': q.min = 0; q.max = op::kInfinity; ++p_; break;
        case '+': q.min = 1; q.max = op::kInfinity; ++p_; break;
        case '?': q.min = 0; q.max = 1; ++p_; break;
        default: {
            std::size_t bracePos = p_;
            std::size_t i = p_ + 1;
            q.min = braceNumber(i, bracePos);
            q.max = q.min;
            if (re_[i] == ',') {
                ++i;
                q.max = (i < re_.size() && isDigit(re_[i])) ? braceNumber(i, bracePos) : op::kInfinity;
            }
            if (q.max < q.min) fail(kErrBracesMinGreater, bracePos);
            p_ = i + 1;  // past "}"
        }
        }
        if (p_ < re_.size() && re_[p_] == '?') {
            q.lazyMark = true;
            ++p_;
        }
        return true;
    }

    // "\x41" or "\x{41}"; `i` is just past the "x".
    int parseHex(std::size_t& i) const {
        std::size_t xPos = i - 1;
        if (i >= re_.size()) fail(kErrNoHexCode, xPos);
        if (re_[i] == '{') {
            std::size_t open = i;
            ++i;
            int v = 0, digits = 0;
            while (i < re_.size() && re_[i] != '}') {
                if (!isHex(re_[i])) fail(kErrBadHexDigit, i);
                if (digits == 2) fail(kErrHexTooBig, i);
                v = v * 16 + hexValue(re_[i]);
                ++digits;
                ++i;
            }
            if (i >= re_.size() || digits == 0) fail(kErrNoHexCode, open);
            ++i;
            return v;
        }
        int v = 0;
        for (int d = 0; d < 2; ++d) {
            if (i >= re_.size()) fail(kErrNoHexCode, xPos);
            if (!isHex(re_[i])) fail(kErrBadHexDigit, i);
            v = v * 16 + hexValue(re_[i]);
            ++i;
        }
        return v;
    }

    // The single character an escape stands for (t, n, r, f, a, e, x and "itself");
    // `i` points at the character after the backslash and moves past the escape.
    int escapedChar(std::size_t& i) const {
        char e = re_[i++];
        switch (e) {
        case 't': return '\t';
        case 'n': return '\n';
        case 'r': return '\r';
        case 'f': return '\f';
        case 'a': return 7;
        case 'e': return 27;
        case 'x': return parseHex(i);
        default: return static_cast<std::uint8_t>(e);
        }
    }

    // A character of a literal run at `at`: an ordinary character, an escape for one character,
    // or a brace that starts no quantifier.
    bool literalItemAt(std::size_t at, int& ch, std::size_t& after) const {
        if (at >= re_.size()) return false;
        char c = re_[at];
        switch (c) {
        case '^': case '$': case '.': case '[': case '(': case ')': case '|':
        case '?': case '+': case '*':
            return false;
        case '{':
            if (braceSyntax(at)) return false;
            ch = '{';
            after = at + 1;
            return true;
        case '\\': {
            if (at + 1 >= re_.size()) return false;
            char e = re_[at + 1];
            if (std::string_view("dDsSwWAZ123456789").find(e) != std::string_view::npos) return false;
            std::size_t i = at + 1;
            int v = escapedChar(i);
            if (v == 0) return false;  // NUL cannot sit in a NUL-terminated literal
            ch = v;
            after = i;
            return true;
        }
        case '\0':
            return false;  // NUL cannot sit in a NUL-terminated literal
        default:
            ch = static_cast<std::uint8_t>(c);
            after = at + 1;
            return true;
        }
    }

    // ---- grammar --------------------------------------------------------------------------
    std::size_t parseReg(bool paren, int& flags, std::size_t openPos) {
        flags = kHasWidth;
        unsigned savedMods = mods_;
        std::size_t ret = 0;
        int group = 0;
        if (paren) {
            if (groups_ >= op::kMaxGroups) fail(kErrTooManyGroups, openPos);
            group = ++groups_;
            ret = emitNode(static_cast<std::uint8_t>(op::OpenBase + group));
        }
        std::vector<std::size_t> branches;
        int f = 0;
        std::size_t br = parseBranch(f);
        branches.push_back(br);
        if (ret) tail(ret, br);
        else ret = br;
        if (!(f & kHasWidth)) flags &= ~kHasWidth;
        flags |= f & kSpStart;
        while (p_ < re_.size() && re_[p_] == '|') {
            ++p_;
            br = parseBranch(f);
            branches.push_back(br);
            tail(ret, br);
            if (!(f & kHasWidth)) flags &= ~kHasWidth;
            flags |= f & kSpStart;
        }
        std::size_t ender = emitNode(paren ? static_cast<std::uint8_t>(op::CloseBase + group) : op::End);
        tail(ret, ender);
        for (std::size_t b : branches) opTail(b, ender);
        if (paren) {
            if (p_ >= re_.size() || re_[p_] != ')') fail(kErrUnmatchedOpen, openPos);
            ++p_;
            mods_ = savedMods;  // inline modifiers end with their group
        } else if (p_ < re_.size()) {
            fail(re_[p_] == ')' ? kErrUnmatchedClose : kErrJunkOnEnd, p_);
        }
        return ret;
    }

    std::size_t parseBranch(int& flags) {
        flags = kWorst;
        std::size_t ret = emitNode(op::Branch);
        std::size_t chain = 0;
        bool first = true;
        for (;;) {
            skipExtended();
            if (p_ >= re_.size() || re_[p_] == '|' || re_[p_] == ')') break;
            int f = 0;
            std::size_t latest = parsePiece(f);
            flags |= f & kHasWidth;
            if (first && !(f & kNop)) {
                flags |= f & kSpStart;
                first = false;
            }
            if (chain) tail(chain, latest);
            chain = latest;
        }
        if (!chain) emitNode(op::Nothing);
        return ret;
    }

    std::size_t parsePiece(int& flags) {
        int f = 0;
        std::size_t ret = parseAtom(f);
        skipExtended();
        std::size_t qPos = p_;
        Quantifier q;
        if (!parseQuantifier(q)) {
            flags = f;
            return ret;
        }
        if (f & kNop) fail(kErrFollowsNothing, qPos);
        if ((q.kind == '*' || q.kind == '+') && !(f & kHasWidth)) fail(kErrOperandCouldBeEmpty, qPos);
        bool greedy = (mods_ & kModG) && !q.lazyMark;

        if (f & kSimple) {
            std::uint8_t opcode;
            if (q.kind == '*') opcode = greedy ? op::Star : op::StarNG;
            else if (q.kind == '+') opcode = greedy ? op::Plus : op::PlusNG;
            else opcode = greedy ? op::Braces : op::BracesNG;
            bool braces = opcode == op::Braces || opcode == op::BracesNG;
            insertNode(opcode, ret, braces ? 8 : 0);
            if (braces) {
                setIntAt(ret + op::kHeader, q.min);
                setIntAt(ret + op::kHeader + 4, q.max);
            }
        } else if (greedy && q.kind == '*') {
            // x* as: Branch(x Back->Branch) Branch(Nothing)
            insertNode(op::Branch, ret, 0);
            opTail(ret, emitNode(op::Back));
            opTail(ret, ret);
            tail(ret, emitNode(op::Branch));
            tail(ret, emitNode(op::Nothing));
        } else if (greedy && q.kind == '+') {
            // x+ as: x Branch(Back->x) Branch(Nothing)
            std::size_t br = emitNode(op::Branch);
            tail(ret, br);
            tail(emitNode(op::Back), ret);
            tail(br, emitNode(op::Branch));
            tail(ret, emitNode(op::Nothing));
        } else if (greedy && q.kind == '?') {
            // x? as: Branch(x) Branch(Nothing)
            insertNode(op::Branch, ret, 0);
            tail(ret, emitNode(op::Branch));
            std::size_t nothing = emitNode(op::Nothing);
            tail(ret, nothing);
            opTail(ret, nothing);
        } else {
            // Braces and non-greedy forms on a general operand: LoopEntry body Loop(n, m, back).
            insertNode(op::LoopEntry, ret, 0);
            std::size_t loop = emitNode(greedy ? op::Loop : op::LoopNG);
            std::size_t body = ret + op::kHeader;
            emitInt(q.min);
            emitInt(q.max);
            emitInt(static_cast<std::int32_t>(loop - body));
            tail(ret, loop);
            tail(body, loop);
        }
        flags = kSpStart | ((q.min > 0 && (f & kHasWidth)) ? kHasWidth : 0);

        skipExtended();
        if (quantifierAt(p_)) fail(kErrNestedQuantifier, p_);
        return ret;
    }

    std::size_t emitSet(const std::array<bool, 256>& set, bool negate) {
        std::array<bool, 256> s = set;
        int members = 0;
        std::uint8_t chars[3] = {0, 0, 0};
        for (int c = 0; c < 256; ++c) {
            if (!s[c]) continue;
            if (members < 3) chars[members] = static_cast<std::uint8_t>(c);
            ++members;
        }
        if (members >= 1 && members <= 3) {
            std::size_t ret = emitNode(negate ? op::NoneOf3 : op::AnyOf3);
            for (int k = 0; k < 3; ++k) emitByte(chars[k < members ? k : 0]);
            return ret;
        }
        if (negate)
            for (auto& b : s) b = !b;
        std::size_t ret = emitNode(op::AnyOfSet);
        for (int byte = 0; byte < 32; ++byte) {
            std::uint8_t bits = 0;
            for (int bit = 0; bit < 8; ++bit)
                if (s[byte * 8 + bit]) bits |= static_cast<std::uint8_t>(1u << bit);
            emitByte(bits);
        }
        return ret;
    }

    void addRange(std::array<bool, 256>& set, int from, int to) {
        for (int c = from; c <= to; ++c) set[c] = true;
    }

    std::size_t parseClass(int& flags) {
        std::size_t open = p_;
        ++p_;
        bool negate = false;
        if (p_ < re_.size() && re_[p_] == '^') {
            negate = true;
            ++p_;
        }
        std::array<bool, 256> set{};
        bool first = true;
        for (;;) {
            if (p_ >= re_.size()) fail(kErrUnmatchedBracket, open);
            char c = re_[p_];
            if (c == ']' && !first) {
                ++p_;
                break;
            }
            first = false;
            // One member: a character, or a set escape (\d, \s, \w).
            int from = -1;
            std::size_t fromPos = p_;
            if (c == '\\') {
                if (p_ + 1 >= re_.size()) fail(kErrClassTrailingBackslash, p_);
                char e = re_[p_ + 1];
                if (e == 'd' || e == 's' || e == 'w') {
                    p_ += 2;
                    for (int k = 0; k < 256; ++k) {
                        bool in = e == 'd' ? (k >= '0' && k <= '9') : e == 's' ? t_.space[k] : t_.word[k];
                        if (in) set[k] = true;
                    }
                    continue;
                }
                std::size_t i = p_ + 1;
                from = escapedChar(i);
                p_ = i;
            } else {
                from = static_cast<std::uint8_t>(c);
                ++p_;
            }
            // A range needs "-" followed by something other than the closing bracket.
            if (p_ + 1 < re_.size() && re_[p_] == '-' && re_[p_ + 1] != ']') {
                std::size_t endPos = p_ + 1;
                int to;
                if (re_[endPos] == '\\') {
                    if (endPos + 1 >= re_.size()) fail(kErrClassTrailingBackslash, endPos);
                    char e = re_[endPos + 1];
                    if (e == 'd' || e == 's' || e == 'w') {
                        set[from] = true;  // "a-\d": the dash is an ordinary member
                        set['-'] = true;
                        ++p_;
                        continue;
                    }
                    std::size_t i = endPos + 1;
                    to = escapedChar(i);
                    p_ = i;
                } else {
                    to = static_cast<std::uint8_t>(re_[endPos]);
                    p_ = endPos + 1;
                }
                bool russian = (mods_ & kModR) != 0;
                if (russian && from == 0xE0 && to == 0xFF) {
                    addRange(set, 0xE0, 0xFF);
                    set[0xB8] = true;
                } else if (russian && from == 0xC0 && to == 0xDF) {
                    addRange(set, 0xC0, 0xDF);
                    set[0xA8] = true;
                } else if (russian && from == 0xE0 && to == 0xDF) {
                    addRange(set, 0xC0, 0xFF);
                    set[0xA8] = set[0xB8] = true;
                } else {
                    if (to < from) fail(kErrInvalidRange, endPos);
                    addRange(set, from, to);
                }
                (void)fromPos;
            } else {
                set[from] = true;
            }
        }
        if (mods_ & kModI) {
            std::array<bool, 256> folded = set;
            for (int c = 0; c < 256; ++c)
                if (set[c]) folded[t_.otherCase[c]] = true;
            set = folded;
        }
        flags = kHasWidth | kSimple;
        return emitSet(set, negate);
    }

    std::size_t parseLiteralRun(int& flags) {
        struct Item {
            int ch;
            std::size_t pos;
        };
        std::vector<Item> items;
        std::size_t at = p_;
        for (;;) {
            std::size_t itemPos = skipExtendedFrom(at);
            int ch = 0;
            std::size_t after = 0;
            if (!literalItemAt(itemPos, ch, after)) break;
            items.push_back({ch, itemPos});
            at = after;
        }
        if (items.empty()) fail(kErrInternalDisaster, p_);
        p_ = at;
        // A quantifier after a run applies to its last character alone.
        if (items.size() > 1 && quantifierAt(skipExtendedFrom(p_))) {
            p_ = items.back().pos;
            items.pop_back();
        }
        bool folding = false;
        if (mods_ & kModI)
            for (const Item& it : items) folding = folding || t_.otherCase[it.ch] != it.ch;
        std::size_t ret = emitNode(folding ? op::ExactlyCI : op::Exactly);
        for (const Item& it : items) emitByte(static_cast<std::uint8_t>(it.ch));
        emitByte(0);
        flags = kHasWidth | (items.size() == 1 ? kSimple : 0);
        return ret;
    }

    std::size_t parseAtom(int& flags) {
        flags = kWorst;
        char c = re_[p_];
        switch (c) {
        case '^':
            ++p_;
            return emitNode((mods_ & kModM) ? op::LineStart : op::Bol);
        case '$':
            ++p_;
            return emitNode((mods_ & kModM) ? op::LineEnd : op::Eol);
        case '.':
            ++p_;
            flags = kHasWidth | kSimple;
            return emitNode((mods_ & kModS) ? op::Any : op::AnyButSep);
        case '[':
            return parseClass(flags);
        case '(':
            if (p_ + 1 < re_.size() && re_[p_ + 1] == '?') return parseSpecialGroup(flags);
            {
                std::size_t open = p_;
                ++p_;
                int f = 0;
                std::size_t ret = parseReg(true, f, open);
                flags = f & (kHasWidth | kSpStart);
                return ret;
            }
        case '|':
        case ')':
            fail(kErrInternalDisaster, p_);
        case '?':
        case '+':
        case '*':
            fail(kErrFollowsNothing, p_);
        case '{':
            if (braceSyntax(p_)) fail(kErrFollowsNothing, p_);
            return parseLiteralRun(flags);
        case '\\':
            return parseEscapeAtom(flags);
        case '\0':
            ++p_;
            flags = kHasWidth | kSimple;
            return emitNulAtom();
        default:
            return parseLiteralRun(flags);
        }
    }

    std::size_t parseSpecialGroup(int& flags) {
        std::size_t open = p_;
        flags = kNop;
        if (p_ + 2 < re_.size() && re_[p_ + 2] == '#') {
            std::size_t close = re_.find(')', p_ + 3);
            if (close == std::string_view::npos) fail(kErrUnclosedComment, open);
            p_ = close + 1;
            return emitNode(op::Comment);
        }
        unsigned mods = mods_;
        bool on = true;
        std::size_t i = p_ + 2;
        for (; i < re_.size() && re_[i] != ')'; ++i) {
            if (re_[i] == '-') {
                on = false;
                continue;
            }
            unsigned bit = modifierBit(re_[i]);
            if (!bit) fail(kErrUnknownModifier, i);
            mods = on ? (mods | bit) : (mods & ~bit);
        }
        if (i >= re_.size()) fail(kErrUnknownModifier, open);
        p_ = i + 1;
        mods_ = mods;
        return emitNode(op::Comment);
    }

    std::size_t parseEscapeAtom(int& flags) {
        if (p_ + 1 >= re_.size()) fail(kErrTrailingBackslash, p_);
        char e = re_[p_ + 1];
        switch (e) {
        case 'd':
            p_ += 2;
            flags = kHasWidth | kSimple;
            return emitNode(op::AnyDigit);
        case 'D':
            p_ += 2;
            flags = kHasWidth | kSimple;
            return emitNode(op::NotDigit);
        case 's': case 'S': case 'w': case 'W': {
            p_ += 2;
            flags = kHasWidth | kSimple;
            bool spaces = e == 's' || e == 'S';
            bool negate = e == 'S' || e == 'W';
            return emitSet(spaces ? t_.space : t_.word, negate);
        }
        case 'A':
            p_ += 2;
            return emitNode(op::Bol);
        case 'Z':
            p_ += 2;
            return emitNode(op::Eol);
        default:
            break;
        }
        if (e >= '1' && e <= '9') {
            p_ += 2;
            std::size_t ret = emitNode((mods_ & kModI) ? op::BackRefCI : op::BackRef);
            emitByte(static_cast<std::uint8_t>(e - '0'));
            return ret;
        }
        int ch = 0;
        std::size_t after = 0;
        if (literalItemAt(p_, ch, after)) return parseLiteralRun(flags);
        std::size_t i = p_ + 1;
        escapedChar(i);
        p_ = i;
        flags = kHasWidth | kSimple;
        return emitNulAtom();
    }

    // A NUL, written as such or as "\x00": the input ends at its first NUL, so this never matches.
    std::size_t emitNulAtom() {
        std::size_t ret = emitNode(op::AnyOfSet);
        for (int k = 0; k < 32; ++k) emitByte(k == 0 ? 1 : 0);
        return ret;
    }

    std::string_view re_;
    unsigned initialMods_;
    const CharTables& t_;
    unsigned mods_ = 0;
    std::size_t p_ = 0;
    int groups_ = 0;
    bool sizing_ = true;
    std::size_t cur_ = 0;
    std::vector<std::uint8_t> code_;
};

}  // namespace

Program compileExpression(std::string_view expression, unsigned modifiers, const CharTables& tables) {
    return Compiler(expression, modifiers, tables).run();
}

}  // namespace vsr::regexpr
