// The compiler's atoms: anchors, ".", classes, groups, escapes and literal runs.
#include <algorithm>
#include <cstring>
#include <string>

#include "regexpr/compiler_parser.h"
#include "regexpr/opcodes.h"
#include "regexpr/vx_regex_error.h"
#include "text/unicode_tables.h"
#include "text/utf8.h"

namespace vsr::regexpr::detail {

std::size_t Compiler::emitSet(const std::array<bool, 256>& set, bool negate) {
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

void Compiler::addRange(std::array<bool, 256>& set, int from, int to) {
    for (int c = from; c <= to; ++c) set[c] = true;
}

std::size_t Compiler::emitClassU8(const std::array<bool, 128>& ascii,
                                  const std::vector<std::pair<char32_t, char32_t>>& ranges, std::uint8_t classFlags) {
    std::size_t ret = emitNode(op::ClassU8);
    emitByte(classFlags);
    for (int byte = 0; byte < 16; ++byte) {
        std::uint8_t bits = 0;
        for (int bit = 0; bit < 8; ++bit)
            if (ascii[byte * 8 + bit]) bits |= static_cast<std::uint8_t>(1u << bit);
        emitByte(bits);
    }
    emitInt(static_cast<std::int32_t>(ranges.size()));
    for (auto [lo, hi] : ranges) {
        emitInt(static_cast<std::int32_t>(lo));
        emitInt(static_cast<std::int32_t>(hi));
    }
    return ret;
}

// A class over UTF-8 text: members and ranges are characters (code points), "\w" is every word
// character, and a negated class takes one whole character.
std::size_t Compiler::parseClassU8(int& flags) {
    std::size_t open = p_;
    ++p_;
    bool negate = false;
    if (p_ < re_.size() && re_[p_] == '^') {
        negate = true;
        ++p_;
    }
    std::array<bool, 128> ascii{};
    std::vector<std::pair<char32_t, char32_t>> ranges;
    bool word = false;
    auto add = [&](char32_t lo, char32_t hi) {
        for (char32_t c = lo; c <= hi && c < 0x80; ++c) ascii[c] = true;
        if (hi >= 0x80) ranges.emplace_back(lo < 0x80 ? 0x80 : lo, hi);
    };
    // "\d", "\s" or "\w" at `at`: adds the set and returns true.
    auto setEscape = [&](std::size_t at) {
        char e = re_[at + 1];
        if (e == 'd') add('0', '9');
        else if (e == 's') {
            for (int k = 0; k < 0x80; ++k)
                if (t_.space[k]) ascii[k] = true;
        } else if (e == 'w') word = true;
        else return false;
        return true;
    };
    bool first = true;
    for (;;) {
        if (p_ >= re_.size()) fail(kErrUnmatchedBracket, open);
        char c = re_[p_];
        if (c == ']' && !first) {
            ++p_;
            break;
        }
        first = false;
        char32_t from;
        if (c == '\\') {
            if (p_ + 1 >= re_.size()) fail(kErrClassTrailingBackslash, p_);
            if (setEscape(p_)) {
                p_ += 2;
                continue;
            }
            std::size_t i = p_ + 1;
            from = static_cast<char32_t>(escapedChar(i));
            p_ = i;
        } else {
            from = exprChar(p_);
        }
        // A range needs "-" followed by something other than the closing bracket.
        if (p_ + 1 < re_.size() && re_[p_] == '-' && re_[p_ + 1] != ']') {
            std::size_t endPos = p_ + 1;
            char32_t to;
            if (re_[endPos] == '\\') {
                if (endPos + 1 >= re_.size()) fail(kErrClassTrailingBackslash, endPos);
                char e = re_[endPos + 1];
                if (e == 'd' || e == 's' || e == 'w') {
                    add(from, from);  // "a-\d": the dash is an ordinary member
                    add('-', '-');
                    ++p_;
                    continue;
                }
                std::size_t i = endPos + 1;
                to = static_cast<char32_t>(escapedChar(i));
                p_ = i;
            } else {
                std::size_t i = endPos;
                to = exprChar(i);
                p_ = i;
            }
            if (to < from) fail(kErrInvalidRange, endPos);
            add(from, to);
        } else {
            add(from, from);
        }
    }
    const bool fold = (mods_ & kModI) != 0;
    if (fold) {
        std::array<bool, 128> folded = ascii;
        for (int c = 0; c < 0x80; ++c)
            if (ascii[c] && t_.otherCase[c] < 0x80) folded[t_.otherCase[c]] = true;
        ascii = folded;
    }
    flags = kHasWidth | kSimple;
    if (!negate && !word && ranges.empty()) {
        // ASCII members only: a byte set, one byte per character.
        std::array<bool, 256> set{};
        for (int c = 0; c < 0x80; ++c) set[c] = ascii[c];
        return emitSet(set, false);
    }
    flags |= kWide;
    std::uint8_t classFlags = (negate ? op::kClassNegate : 0) | (word ? op::kClassWord : 0) |
                              (fold && !ranges.empty() ? op::kClassFold : 0);
    return emitClassU8(ascii, ranges, classFlags);
}

std::size_t Compiler::parseClass(int& flags) {
    if (t_.utf8) return parseClassU8(flags);
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

std::size_t Compiler::parseLiteralRun(int& flags) {
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
    if (t_.utf8) {
        // Items are characters. A case-insensitive run with letters beyond ASCII is compared
        // through the case folding; one with ASCII letters only through the byte tables.
        bool foldRun = false, asciiCase = false;
        if (mods_ & kModI)
            for (const Item& it : items) {
                const auto cp = static_cast<char32_t>(it.ch);
                if (cp < 0x80) asciiCase = asciiCase || t_.otherCase[cp] != cp;
                else if (!text::utf8::isInvalid(cp))
                    foldRun = foldRun || text::unicode::fold(cp) != cp || !text::unicode::caseMembers(cp).empty();
            }
        std::string bytes;
        for (const Item& it : items) {
            const auto cp = static_cast<char32_t>(it.ch);
            text::utf8::append(bytes, foldRun ? text::unicode::fold(cp) : cp);
        }
        std::size_t ret = emitNode(foldRun ? op::ExactlyFold : asciiCase ? op::ExactlyCI : op::Exactly);
        for (char b : bytes) emitByte(static_cast<std::uint8_t>(b));
        emitByte(0);
        // A character of several bytes repeats as a group, not byte by byte.
        flags = kHasWidth | (bytes.size() == 1 ? kSimple : 0);
        return ret;
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

std::size_t Compiler::parseAtom(int& flags) {
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
        if (t_.utf8) {
            flags = kHasWidth | kSimple | kWide;
            return emitNode((mods_ & kModS) ? op::AnyU8 : op::AnyButSepU8);
        }
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

std::size_t Compiler::parseSpecialGroup(int& flags) {
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

std::size_t Compiler::parseEscapeAtom(int& flags) {
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
        if (t_.utf8) {
            std::array<bool, 128> digits{};
            for (int c = '0'; c <= '9'; ++c) digits[c] = true;
            flags |= kWide;
            return emitClassU8(digits, {}, op::kClassNegate);
        }
        return emitNode(op::NotDigit);
    case 's': case 'S': case 'w': case 'W': {
        p_ += 2;
        flags = kHasWidth | kSimple;
        if (t_.utf8 && e != 's') {
            flags |= kWide;
            if (e == 'w') return emitNode(op::WordU8);
            if (e == 'W') return emitNode(op::NotWordU8);
            std::array<bool, 128> spaces{};
            for (int c = 0; c < 0x80; ++c) spaces[c] = t_.space[c];
            return emitClassU8(spaces, {}, op::kClassNegate);
        }
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

std::size_t Compiler::emitNulAtom() {
    std::size_t ret = emitNode(op::AnyOfSet);
    for (int k = 0; k < 32; ++k) emitByte(k == 0 ? 1 : 0);
    return ret;
}

}  // namespace vsr::regexpr::detail
