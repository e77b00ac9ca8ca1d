#include <algorithm>
#include <cstring>
#include <vector>

#include "regexpr/compiler.h"
#include "regexpr/opcodes.h"
#include "text/unicode_tables.h"
#include "text/utf8.h"

namespace vsr::regexpr {

namespace {

using Set = std::array<bool, 256>;

std::int32_t intAt(const std::vector<std::uint8_t>& code, std::size_t at) { return op::readInt(code.data() + at); }

}  // namespace

void addOneChar(const std::vector<std::uint8_t>& code, std::size_t node, const CharTables& t, ByteSet& set) {
    const std::uint8_t* operand = code.data() + node + op::kHeader;
    switch (code[node]) {
    case op::Exactly:
        set[operand[0]] = true;
        break;
    case op::ExactlyCI:
        set[operand[0]] = true;
        set[t.otherCase[operand[0]]] = true;
        break;
    case op::AnyOf3:
        for (int k = 0; k < 3; ++k) set[operand[k]] = true;
        break;
    case op::NoneOf3:
        for (int c = 0; c < 256; ++c)
            if (c != operand[0] && c != operand[1] && c != operand[2]) set[c] = true;
        break;
    case op::AnyOfSet:
        for (int c = 0; c < 256; ++c)
            if (operand[c >> 3] & (1u << (c & 7))) set[c] = true;
        break;
    case op::AnyDigit:
        for (int c = '0'; c <= '9'; ++c) set[c] = true;
        break;
    case op::NotDigit:
        for (int c = 0; c < 256; ++c)
            if (c < '0' || c > '9') set[c] = true;
        break;
    // UTF-8 nodes: their ASCII bytes, and every byte from 0x80 (any character beyond ASCII or
    // an invalid byte may begin there).
    case op::WordU8: case op::NotWordU8:
        for (int c = 0; c < 0x80; ++c)
            if (text::unicode::isWordChar(static_cast<char32_t>(c)) == (code[node] == op::WordU8)) set[c] = true;
        for (int c = 0x80; c < 256; ++c) set[c] = true;
        break;
    case op::ClassU8: {
        const bool negate = (operand[0] & op::kClassNegate) != 0;
        const bool word = (operand[0] & op::kClassWord) != 0;
        for (int c = 0; c < 0x80; ++c) {
            const bool in = ((operand[1 + (c >> 3)] >> (c & 7)) & 1u) ||
                            (word && text::unicode::isWordChar(static_cast<char32_t>(c)));
            if (in != negate) set[c] = true;
        }
        if (negate || (operand[0] & op::kClassWord) || op::readInt(operand + 17) > 0)
            for (int c = 0x80; c < 256; ++c) set[c] = true;
        break;
    }
    case op::ExactlyFold: {
        // The first byte of every case form of the first character.
        char32_t key;
        text::utf8::decode(operand, 4, key);
        std::string form;
        text::utf8::append(form, key);
        set[static_cast<std::uint8_t>(form[0])] = true;
        for (const auto& m : text::unicode::caseMembers(key)) {
            form.clear();
            text::utf8::append(form, m.member);
            set[static_cast<std::uint8_t>(form[0])] = true;
        }
        break;
    }
    default:  // Any, AnyButSep, AnyU8, AnyButSepU8 and anything unexpected: every byte
        set.fill(true);
        break;
    }
}

namespace {

// The bytes that can begin a match from `start`, as the union over every path. Unlike a walk
// that stops at the first node replacing the set, a union never drops an alternative; reaching
// the end node records that the match can be empty there.
void firstChars(const std::vector<std::uint8_t>& code, std::size_t start, const CharTables& t, Set& set,
                bool& canBeEmpty) {
    set.fill(false);
    canBeEmpty = false;
    std::vector<bool> visited(code.size(), false);
    std::vector<std::size_t> work{start};
    while (!work.empty()) {
        std::size_t n = work.back();
        work.pop_back();
        if (n == 0 || n >= code.size() || visited[n]) continue;
        visited[n] = true;
        std::uint8_t o = code[n];
        std::size_t nx = op::next(code, n);
        switch (o) {
        case op::End:
            canBeEmpty = true;
            break;
        case op::Exactly: case op::ExactlyCI: case op::AnyOf3: case op::NoneOf3: case op::AnyOfSet:
        case op::AnyDigit: case op::NotDigit: case op::Any: case op::AnyButSep:
        case op::AnyU8: case op::AnyButSepU8: case op::WordU8: case op::NotWordU8: case op::ClassU8:
        case op::ExactlyFold:
            addOneChar(code, n, t, set);
            break;
        case op::BackRef: case op::BackRefCI:
            set.fill(true);
            work.push_back(nx);  // an empty group makes an empty back-reference
            break;
        case op::Branch:
            work.push_back(op::operand(n));
            if (nx && code[nx] == op::Branch) work.push_back(nx);
            break;
        case op::Star: case op::StarNG:
            addOneChar(code, op::operand(n), t, set);
            work.push_back(nx);
            break;
        case op::Plus: case op::PlusNG:
            addOneChar(code, op::operand(n), t, set);
            break;
        case op::Braces: case op::BracesNG:
            addOneChar(code, op::operand(n) + 8, t, set);
            if (intAt(code, op::operand(n)) == 0) work.push_back(nx);
            break;
        case op::Loop: case op::LoopNG:
            work.push_back(n - static_cast<std::size_t>(intAt(code, op::operand(n) + 8)));
            work.push_back(nx);  // the body may match empty: over-approximating is safe
            break;
        default:  // zero-width nodes, group marks, loop entry, jumps
            work.push_back(nx);
            break;
        }
    }
}

// The bytes of node n up to the next node in layout order; a repeat's operand node follows
// inside it, so for a repeat that is its own header only.
std::size_t nodeSize(const std::vector<std::uint8_t>& code, std::size_t n) {
    const std::uint8_t* operand = code.data() + n + op::kHeader;
    switch (code[n]) {
    case op::Exactly: case op::ExactlyCI: case op::ExactlyFold:
        return op::kHeader + std::strlen(reinterpret_cast<const char*>(operand)) + 1;
    case op::ClassU8: return op::kHeader + op::kClassFixed + 8 * static_cast<std::size_t>(op::readInt(operand + 17));
    case op::AnyOf3: case op::NoneOf3: return op::kHeader + 3;
    case op::AnyOfSet: return op::kHeader + 32;
    case op::BackRef: case op::BackRefCI: return op::kHeader + 1;
    case op::Loop: case op::LoopNG: return op::kHeader + 12;
    case op::Braces: case op::BracesNG: return op::kHeader + 8;
    default: return op::kHeader;
    }
}

// Marks greedy one-character repeats whose operand shares no byte with what can follow them.
// What follows must consume a byte right where the repeat stops; after giving one back that byte
// would be the operand's, which the continuation cannot take. So the first count is the only one.
void markPossessive(Program& p, const CharTables& t) {
    const auto& code = p.code;
    p.possessive.assign(code.size(), false);
    p.hasBackRefs = false;
    // Walk every node of the program in layout order.
    for (std::size_t n = 1; n < code.size(); n += nodeSize(code, n)) {
        const std::uint8_t o = code[n];
        if (o == op::BackRef || o == op::BackRefCI) p.hasBackRefs = true;
        if (o == op::Star || o == op::Plus || o == op::Braces) {
            Set own{};
            addOneChar(code, n + nodeSize(code, n), t, own);
            Set follow{};
            bool canBeEmpty = false;
            firstChars(code, op::next(code, n), t, follow, canBeEmpty);
            bool disjoint = !canBeEmpty;
            for (int c = 0; c < 256 && disjoint; ++c) disjoint = !(own[c] && follow[c]);
            p.possessive[n] = disjoint;
        }
    }
}

// The bytes that the nodes laid out before `end` can take, in every match. Every node of the
// pieces before a node of the top-level chain lies before it, nested ones included.
bool bytesBefore(const std::vector<std::uint8_t>& code, std::size_t end, const CharTables& t, Set& set) {
    set.fill(false);
    for (std::size_t n = 1; n < end; n += nodeSize(code, n)) {
        const std::uint8_t* operand = code.data() + n + op::kHeader;
        switch (code[n]) {
        case op::Exactly: case op::ExactlyCI:
            for (const std::uint8_t* q = operand; *q; ++q) {
                set[*q] = true;
                if (code[n] == op::ExactlyCI) set[t.otherCase[*q]] = true;
            }
            break;
        case op::ClassU8:
            addOneChar(code, n, t, set);
            // A character beyond ASCII may match through its case forms.
            if (operand[0] & op::kClassFold)
                for (int c = 0x80; c < 256; ++c) set[c] = true;
            break;
        case op::AnyOf3: case op::NoneOf3: case op::AnyOfSet: case op::AnyDigit: case op::NotDigit:
        case op::AnyU8: case op::WordU8: case op::NotWordU8:
            addOneChar(code, n, t, set);
            break;
        case op::Bol: case op::Eol: case op::LineStart: case op::LineEnd: case op::Branch: case op::Back:
        case op::Nothing: case op::Comment: case op::Star: case op::Plus: case op::Braces: case op::StarNG:
        case op::PlusNG: case op::BracesNG: case op::LoopEntry: case op::Loop: case op::LoopNG:
            break;  // no character of their own (a repeat's operand is the node after it)
        default:
            if (op::isOpen(code[n]) || op::isClose(code[n])) break;
            set.fill(true);  // ".", back-references, folded literals and anything else
            return false;
        }
    }
    for (int c = 0; c < 256; ++c)
        if (!set[c]) return true;
    return false;
}
// The first node of a match from `node` that can take a character or make a choice: group
// starts, comments and groups of a single alternative (whose Branch offers no other) lead into it.
std::size_t leadingNode(const std::vector<std::uint8_t>& code, std::size_t node) {
    for (std::size_t steps = 0; node && steps < code.size(); ++steps) {
        const std::uint8_t o = code[node];
        if (op::isOpen(o) || o == op::Comment) {
            node = op::next(code, node);
        } else if (o == op::Branch) {
            const std::size_t nx = op::next(code, node);
            if (nx && code[nx] == op::Branch) break;
            node = op::operand(node);
        } else {
            break;
        }
    }
    return node;
}

// A rough rank of how common a byte is in source code and prose; the required literal is found
// through its least common byte.
int commonness(std::uint8_t c) {
    static const char* const kByRank = " etaoinsrlcdu_hmpf(),;g.b=yw*x-k/v0\"1>{}<[]&TSECARNILODPM:+2FBUGq#jzH'VK3WXYQZJ";
    const char* hit = std::strchr(kByRank, c);
    if (!hit || c == 0) return 0;
    return 100 - static_cast<int>(hit - kByRank);
}

}  // namespace

void computeShortcuts(Program& p, const CharTables& t) {
    const auto& code = p.code;
    p.startChar = -1;
    p.anchored = false;
    p.required.clear();
    p.requiredIsPrefix = false;
    p.requiredCI = false;
    p.runSkipNode = 0;
    p.beforeRequiredSkip = false;
    p.canMatchEmpty = false;
    p.anchoredPrefix.clear();
    p.requiredProbe = 0;
    p.requiredProbeCommon = false;
    firstChars(p.code, 1, t, p.firstSet, p.canMatchEmpty);
    markPossessive(p, t);

    std::size_t first = 1;
    if (code[first] != op::Branch || code[op::next(code, first)] != op::End) return;  // several branches
    std::size_t scan = op::operand(first);
    while (code[scan] == op::Comment) scan = op::next(code, scan);

    // A match that begins with a greedy repeat without a maximum (group starts aside): started
    // inside the run of its characters, the repeat can stop at fewer places of the run than from
    // the run's first character, and nothing after it knows where it started unless a
    // back-reference reads a group. So one failed start stands for the whole run.
    if (!p.hasBackRefs) {
        const std::size_t lead = leadingNode(code, scan);
        const std::uint8_t lo = code[lead];
        if (lo == op::Plus || lo == op::Star ||
            (lo == op::Braces && intAt(code, lead + op::kHeader + 4) == op::kInfinity))
            p.runSkipNode = lead;
    }
    if (code[scan] == op::Exactly) {
        p.startChar = code[scan + op::kHeader];
    } else if (code[scan] == op::Bol) {
        p.anchored = true;
        std::size_t after = op::next(code, scan);
        while (after && code[after] == op::Comment) after = op::next(code, after);
        if (after && code[after] == op::Exactly)
            p.anchoredPrefix = reinterpret_cast<const char*>(code.data() + after + op::kHeader);
    }

    // Every node on the top-level chain runs in every match, so its longest literal is required
    // (a case-insensitive one too; a case-sensitive one wins a tie, being cheaper to find).
    std::size_t bestNode = 0, bestScore = 0;
    std::size_t steps = 0;
    for (std::size_t s = op::operand(first); s && code[s] != op::End && steps < code.size(); s = op::next(code, s), ++steps) {
        if (code[s] != op::Exactly && code[s] != op::ExactlyCI) continue;
        std::size_t len = std::strlen(reinterpret_cast<const char*>(code.data() + s + op::kHeader));
        std::size_t score = len * 2 + (code[s] == op::Exactly ? 1 : 0);
        if (score > bestScore) {
            bestScore = score;
            bestNode = s;
        }
    }
    if (bestScore) {
        p.required = reinterpret_cast<const char*>(code.data() + bestNode + op::kHeader);
        p.requiredCI = code[bestNode] == op::ExactlyCI;
        p.requiredIsPrefix = bestNode == scan;
        auto rank = [&](std::size_t k) {
            std::uint8_t c = static_cast<std::uint8_t>(p.required[k]);
            return p.requiredCI ? std::max(commonness(c), commonness(t.otherCase[c])) : commonness(c);
        };
        for (std::size_t k = 1; k < p.required.size(); ++k)
            if (rank(k) < rank(p.requiredProbe)) p.requiredProbe = k;
        // Among the fifteen commonest bytes a memchr for it stops every few bytes.
        p.requiredProbeCommon = p.required.size() >= 2 && rank(p.requiredProbe) >= 85;
        // What a match holds before the literal; a byte outside it ends the room for a start.
        if (!p.requiredIsPrefix) p.beforeRequiredSkip = bytesBefore(code, bestNode, t, p.beforeRequired);
    }
}

bool startsInRequiredLine(const Program& p) {
    if (p.required.empty() || p.anchored || p.requiredSet.size() != 1) return false;
    const RequiredLiteral& lit = p.requiredSet[0];
    if (lit.bytes != p.required || lit.ignoreCase != p.requiredCI) return false;
    if (!p.requiredIsPrefix && !(p.beforeRequiredSkip && !p.beforeRequired['\n'] && !p.beforeRequired['\r'])) return false;
    for (std::size_t n = 1; n < p.code.size(); n += nodeSize(p.code, n))
        if (p.code[n] == op::Bol) return false;
    return true;
}

// Whether every node that can take a line-end byte is a greedy repeat of one character,
// unbounded and needing at most one, whose operand takes both CR and LF and that keeps no choice
// (possessive). Such a repeat always takes a whole run of its characters, and no other node
// takes or tests a line end, so a run holding LF where the text had CR LF (or CR LF for a lone
// CR) is taken whole all the same: the matches correspond one to one, in number and order.
bool lineEndsAlike(const Program& p, const CharTables& t) {
    const auto& code = p.code;
    if (p.possessive.size() != code.size()) return false;
    std::size_t operandOf = 0, repeat = 0;  // the operand node of the repeat at `repeat`
    for (std::size_t n = 1; n < code.size(); n += nodeSize(code, n)) {
        const std::uint8_t o = code[n];
        const std::uint8_t* operand = code.data() + n + op::kHeader;
        switch (o) {
        case op::Star: case op::Plus: case op::Braces: case op::StarNG: case op::PlusNG: case op::BracesNG:
            repeat = n;
            operandOf = n + nodeSize(code, n);
            continue;
        case op::Exactly: case op::ExactlyCI: case op::ExactlyFold:
            for (const std::uint8_t* q = operand; *q; ++q)
                if (*q == '\r' || *q == '\n' || t.otherCase[*q] == '\r' || t.otherCase[*q] == '\n') return false;
            if (n == operandOf) operandOf = 0;  // a literal's bytes, all of them neither
            continue;
        case op::AnyOf3: case op::NoneOf3: case op::AnyOfSet: case op::AnyDigit: case op::NotDigit: case op::Any:
        case op::AnyButSep: case op::AnyU8: case op::AnyButSepU8: case op::WordU8: case op::NotWordU8:
        case op::ClassU8: {
            ByteSet own{};
            addOneChar(code, n, t, own);
            if (!own['\r'] && !own['\n']) continue;
            if (n != operandOf || !own['\r'] || !own['\n'] || !p.possessive[repeat]) return false;
            const std::uint8_t r = code[repeat];
            if (r == op::Braces && (intAt(code, op::operand(repeat)) > 1 ||
                                    intAt(code, op::operand(repeat) + 4) != op::kInfinity))
                return false;
            if (r != op::Star && r != op::Plus && r != op::Braces) return false;
            continue;
        }
        case op::End: case op::Branch: case op::Back: case op::Nothing: case op::Comment: case op::LoopEntry:
        case op::Loop: case op::LoopNG:
            continue;
        default:
            if (op::isOpen(o) || op::isClose(o)) continue;
            return false;  // anchors, line tests, back-references and anything unknown
        }
    }
    return true;
}

void dropShortcuts(Program& p) {
    p.startsInRequiredLine = false;
    p.lineEndsAlike = false;
    p.startChar = -1;
    p.anchored = false;
    p.anchoredPrefix.clear();
    p.required.clear();
    p.requiredIsPrefix = false;
    p.requiredCI = false;
    p.requiredProbe = 0;
    p.requiredProbeCommon = false;
    p.beforeRequiredSkip = false;
    p.firstSet.fill(true);
    p.canMatchEmpty = true;  // so every position is tried, the end of the input included
    p.possessive.assign(p.code.size(), false);
    p.runSkipNode = 0;
    p.plain = true;
}

}  // namespace vsr::regexpr
