#include "engine/search/gitignore_glob.h"

#include <cstring>

namespace vsr::engine {
namespace {

// What a failed match tells the callers up the chain of "*": no match here, no match anywhere
// (a later start can't help), or none until the next "**" (a "*" can't cross the "/" it met).
enum class GlobResult { Match, NoMatch, AbortAll, AbortToDoubleStar };

// The character classes, ASCII only, as the C locale and version control both define them.
bool inGlobClass(std::string_view name, unsigned char c, bool& known) {
    known = true;
    const bool upper = c >= 'A' && c <= 'Z';
    const bool lower = c >= 'a' && c <= 'z';
    const bool digit = c >= '0' && c <= '9';
    const bool graph = c >= 0x21 && c <= 0x7e;
    if (name == "alnum") return upper || lower || digit;
    if (name == "alpha") return upper || lower;
    if (name == "blank") return c == ' ' || c == '\t';
    if (name == "cntrl") return c < 0x20 || c == 0x7f;
    if (name == "digit") return digit;
    if (name == "graph") return graph;
    if (name == "lower") return lower;
    if (name == "print") return graph || c == ' ';
    if (name == "punct") return graph && !upper && !lower && !digit;
    if (name == "space") return c == ' ' || c == '\t' || c == '\n' || c == '\r';
    if (name == "upper") return upper;
    if (name == "xdigit") return digit || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    known = false;
    return false;
}

bool globSpecial(char c) { return c == '*' || c == '?' || c == '[' || c == '\\'; }

class GlobMatcher {
public:
    GlobMatcher(std::string_view pattern, std::string_view text, bool pathName)
        : pat_(pattern), text_(text), pathName_(pathName) {}

    GlobResult match(std::size_t p, std::size_t t) const {
        for (; p < pat_.size(); ++p, ++t) {
            unsigned char pc = at(pat_, p);
            if (t >= text_.size() && pc != '*') return GlobResult::AbortAll;
            const unsigned char tc = at(text_, t);
            switch (pc) {
            case '\\':
                // A "\" at the very end matches nothing: the NUL after it never equals a byte.
                pc = at(pat_, ++p);
                if (p >= pat_.size() || tc != pc) return GlobResult::NoMatch;
                continue;
            default:
                if (tc != pc) return GlobResult::NoMatch;
                continue;
            case '?':
                if (pathName_ && tc == '/') return GlobResult::NoMatch;
                continue;
            case '*':
                return star(p, t);
            case '[': {
                const GlobResult r = bracket(p, tc);
                if (r != GlobResult::Match) return r;
                continue;
            }
            }
        }
        return t < text_.size() ? GlobResult::NoMatch : GlobResult::Match;
    }

private:
    static unsigned char at(std::string_view s, std::size_t i) {
        return i < s.size() ? static_cast<unsigned char>(s[i]) : 0;
    }

    // `p` is at a "*" and `t` at the byte it starts on.
    GlobResult star(std::size_t p, std::size_t t) const {
        bool matchSlash;
        if (at(pat_, ++p) == '*') {
            const std::size_t first = p - 1;
            while (at(pat_, ++p) == '*') {
            }
            const bool afterSlash = first == 0 || pat_[first - 1] == '/';
            const unsigned char next = at(pat_, p);
            if (!pathName_) {
                matchSlash = true;
            } else if (afterSlash && (p >= pat_.size() || next == '/' || (next == '\\' && at(pat_, p + 1) == '/'))) {
                // "**/" may match no folder at all: "a/**/b" matches "a/b".
                if (next == '/' && match(p + 1, t) == GlobResult::Match) return GlobResult::Match;
                matchSlash = true;
            } else {
                matchSlash = !pathName_;
            }
        } else {
            matchSlash = !pathName_;
        }
        if (p >= pat_.size()) {
            // A trailing "*" takes the rest unless a "/" is in it.
            if (!matchSlash && text_.find('/', t) != std::string_view::npos) return GlobResult::NoMatch;
            return GlobResult::Match;
        }
        if (!matchSlash && pat_[p] == '/') {
            // One "*" before a "/" takes the rest of this folder's name.
            const std::size_t slash = text_.find('/', t);
            if (slash == std::string_view::npos) return GlobResult::NoMatch;
            return match(p, slash);
        }
        for (;;) {
            if (t >= text_.size()) break;
            if (!globSpecial(pat_[p])) {
                // A literal after the star: skip to where it occurs.
                const char lit = pat_[p];
                while (t < text_.size() && (matchSlash || text_[t] != '/') && text_[t] != lit) ++t;
                if (t >= text_.size() || text_[t] != lit)
                    return matchSlash ? GlobResult::AbortAll : GlobResult::AbortToDoubleStar;
            }
            const GlobResult r = match(p, t);
            if (r != GlobResult::NoMatch) {
                if (!matchSlash || r != GlobResult::AbortToDoubleStar) return r;
            } else if (!matchSlash && text_[t] == '/') {
                return GlobResult::AbortToDoubleStar;
            }
            ++t;
        }
        return GlobResult::AbortAll;
    }

    // `p` is at a "[" and `tc` the byte it must take; on a match `p` is left at the "]".
    GlobResult bracket(std::size_t& p, unsigned char tc) const {
        unsigned char pc = at(pat_, ++p);
        if (pc == '^') pc = '!';
        const bool negated = pc == '!';
        if (negated) pc = at(pat_, ++p);
        unsigned char prev = 0;
        bool matched = false;
        do {
            if (p >= pat_.size()) return GlobResult::AbortAll;
            if (pc == '\\') {
                pc = at(pat_, ++p);
                if (p >= pat_.size()) return GlobResult::AbortAll;
                if (tc == pc) matched = true;
            } else if (pc == '-' && prev && p + 1 < pat_.size() && pat_[p + 1] != ']') {
                pc = at(pat_, ++p);
                if (pc == '\\') {
                    pc = at(pat_, ++p);
                    if (p >= pat_.size()) return GlobResult::AbortAll;
                }
                if (tc <= pc && tc >= prev) matched = true;
                pc = 0;  // a range's end starts no range
            } else if (pc == '[' && at(pat_, p + 1) == ':') {
                const std::size_t s = p + 2;
                std::size_t e = s;
                while (e < pat_.size() && pat_[e] != ']') ++e;
                if (e >= pat_.size()) return GlobResult::AbortAll;
                if (e == s || pat_[e - 1] != ':') {
                    // No ":]": the "[" is a byte of the set.
                    if (tc == '[') matched = true;
                } else {
                    bool known = false;
                    if (inGlobClass(pat_.substr(s, e - 1 - s), tc, known)) matched = true;
                    if (!known) return GlobResult::AbortAll;
                    p = e;
                    pc = 0;
                }
            } else if (tc == pc) {
                matched = true;
            }
            prev = pc;
            pc = at(pat_, ++p);
        } while (pc != ']' || p >= pat_.size());
        if (matched == negated || (pathName_ && tc == '/')) return GlobResult::NoMatch;
        return GlobResult::Match;
    }

    std::string_view pat_;
    std::string_view text_;
    bool pathName_;
};

}  // namespace

bool gitignoreGlobMatches(std::string_view pattern, std::string_view text, bool pathName) {
    return GlobMatcher(pattern, text, pathName).match(0, 0) == GlobResult::Match;
}

}  // namespace vsr::engine
