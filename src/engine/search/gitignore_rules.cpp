#include "engine/search/gitignore_rules.h"

#include "engine/search/gitignore_glob.h"

namespace vsr::engine {
namespace {

bool isGlobByte(char c) { return c == '*' || c == '?' || c == '[' || c == '\\'; }

// The bytes before the first special byte and after the last ("]" counts: it may close a set).
void findPlainEnds(GitignorePattern& p) {
    const std::string& g = p.glob;
    std::size_t head = 0;
    while (head < g.size() && !isGlobByte(g[head])) ++head;
    std::size_t tail = g.size();
    while (tail > head && !isGlobByte(g[tail - 1]) && g[tail - 1] != ']') --tail;
    // "**/" may match no folder at all, taking no "/" of its own: "a/**/b" matches "a/b".
    if (tail > 0 && tail < g.size() && g[tail - 1] == '*' && g[tail] == '/') ++tail;
    p.plainHead = head;
    p.plainTail = g.size() - tail;
}

// Trailing blanks are dropped unless a "\" escapes them; a "\" at the very end keeps them all.
std::string_view withoutTrailingSpaces(std::string_view s) {
    std::size_t keep = s.size();
    bool inSpaces = false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == ' ') {
            if (!inSpaces) keep = i;
            inSpaces = true;
        } else {
            if (s[i] == '\\' && ++i == s.size()) return s;
            inSpaces = false;
        }
    }
    return inSpaces ? s.substr(0, keep) : s;
}

}  // namespace

bool parseGitignoreLine(std::string_view line, GitignorePattern& out) {
    // A NUL byte ends the pattern, as it ends a C string.
    line = line.substr(0, line.find('\0'));
    if (line.empty() || line.front() == '#') return false;
    line = withoutTrailingSpaces(line);
    out = GitignorePattern{};
    if (!line.empty() && line.front() == '!') {
        out.negative = true;
        line.remove_prefix(1);
    }
    if (!line.empty() && line.back() == '/') {
        out.foldersOnly = true;
        line.remove_suffix(1);
    }
    out.nameOnly = line.find('/') == std::string_view::npos;
    if (!out.nameOnly && line.front() == '/') line.remove_prefix(1);
    // An empty pattern matches no name.
    if (line.empty()) return false;
    out.glob.assign(line);
    std::size_t specials = 0;
    for (char c : line) specials += isGlobByte(c);
    if (specials == 0) out.shape = GitignorePattern::Shape::Literal;
    else if (out.nameOnly && specials == 1 && line.front() == '*') out.shape = GitignorePattern::Shape::EndsWith;
    else findPlainEnds(out);
    return true;
}

GitignoreRules::GitignoreRules(std::string_view bytes, std::size_t baseLength) : baseLength_(baseLength) {
    // A UTF-8 byte order mark at the start is not part of the first pattern.
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        GitignorePattern p;
        if (parseGitignoreLine(line, p)) patterns_.push_back(std::move(p));
    }
}

GitignoreVerdict GitignoreRules::verdict(std::string_view path, std::string_view name, bool isFolder) const {
    const std::string_view relative = path.substr(baseLength_);
    for (auto it = patterns_.rbegin(); it != patterns_.rend(); ++it) {
        const GitignorePattern& p = *it;
        if (p.foldersOnly && !isFolder) continue;
        const std::string_view subject = p.nameOnly ? name : relative;
        bool hit;
        switch (p.shape) {
        case GitignorePattern::Shape::Literal:
            hit = subject == p.glob;
            break;
        case GitignorePattern::Shape::EndsWith:
            hit = subject.size() >= p.glob.size() - 1 &&
                  subject.substr(subject.size() - (p.glob.size() - 1)) == std::string_view(p.glob).substr(1);
            break;
        default: {
            const std::string_view g = p.glob;
            hit = subject.size() >= p.plainHead + p.plainTail &&
                  subject.substr(0, p.plainHead) == g.substr(0, p.plainHead) &&
                  subject.substr(subject.size() - p.plainTail) == g.substr(g.size() - p.plainTail) &&
                  gitignoreGlobMatches(g, subject, !p.nameOnly);
        }
        }
        if (hit) return p.negative ? GitignoreVerdict::Kept : GitignoreVerdict::Ignored;
    }
    return GitignoreVerdict::None;
}

}  // namespace vsr::engine
