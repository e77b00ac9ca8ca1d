// The compiler's reading of single characters: quantifiers, escapes, hexadecimal codes and the
// characters of literal runs.
#include <algorithm>
#include <cstring>
#include <string>

#include "regexpr/compiler_parser.h"
#include "text/utf8.h"
#include "regexpr/opcodes.h"
#include "regexpr/vx_regex_error.h"

namespace vsr::regexpr::detail {

std::size_t Compiler::skipExtendedFrom(std::size_t at) const {
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

bool Compiler::braceSyntax(std::size_t at, std::size_t* after) const {
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

bool Compiler::quantifierAt(std::size_t at) const {
    if (at >= re_.size()) return false;
    char c = re_[at];
    return c == '*' || c == '+' || c == '?' || braceSyntax(at);
}

std::int32_t Compiler::braceNumber(std::size_t& i, std::size_t bracePos) const {
    std::size_t start = i;
    while (i < re_.size() && isDigit(re_[i])) ++i;
    if (i - start > 8) fail(kErrBracesTooBig, bracePos);
    std::int32_t v = 0;
    for (std::size_t k = start; k < i; ++k) v = v * 10 + (re_[k] - '0');
    return v;
}

bool Compiler::parseQuantifier(Quantifier& q) {
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

int Compiler::parseHex(std::size_t& i) const {
    std::size_t xPos = i - 1;
    if (i >= re_.size()) fail(kErrNoHexCode, xPos);
    if (re_[i] == '{') {
        std::size_t open = i;
        ++i;
        int v = 0, digits = 0;
        // A byte; under UTF-8 a code point up to U+10FFFF.
        const int maxDigits = t_.utf8 ? 6 : 2;
        while (i < re_.size() && re_[i] != '}') {
            if (!isHex(re_[i])) fail(kErrBadHexDigit, i);
            if (digits == maxDigits) fail(kErrHexTooBig, i);
            v = v * 16 + hexValue(re_[i]);
            if (v > 0x10FFFF) fail(kErrHexTooBig, i);
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

int Compiler::escapedChar(std::size_t& i) const {
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

bool Compiler::literalItemAt(std::size_t at, int& ch, std::size_t& after) const {
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
        if (t_.utf8) {
            after = at;
            ch = static_cast<int>(exprChar(after));
            return true;
        }
        ch = static_cast<std::uint8_t>(c);
        after = at + 1;
        return true;
    }
}

char32_t Compiler::exprChar(std::size_t& i) const {
    const auto b = static_cast<std::uint8_t>(re_[i]);
    if (b < 0x80) {
        ++i;
        return b;
    }
    char32_t cp;
    i += text::utf8::decode(re_, i, cp);
    return cp;
}

}  // namespace vsr::regexpr::detail
