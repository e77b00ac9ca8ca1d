#include <cstring>
#include <vector>

#include "regexpr/compiler.h"
#include "regexpr/opcodes.h"

namespace vsr::regexpr {

namespace {

using Set = std::array<bool, 256>;

std::int32_t intAt(const std::vector<std::uint8_t>& code, std::size_t at) { return op::readInt(code.data() + at); }

// Adds the bytes a one-character node can match.
void addOneChar(const std::vector<std::uint8_t>& code, std::size_t node, const CharTables& t, Set& set) {
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
    default:  // Any, AnyButSep and anything unexpected: every byte
        set.fill(true);
        break;
    }
}

// The bytes that can begin a match, as the union over every path from the first node. Unlike a
// walk that stops at the first node replacing the set, a union never drops an alternative, and
// reaching the end node records that the match can be empty at its start.
void firstChars(Program& p, const CharTables& t) {
    const auto& code = p.code;
    Set& set = p.firstSet;
    set.fill(false);
    std::vector<bool> visited(code.size(), false);
    std::vector<std::size_t> work{1};
    while (!work.empty()) {
        std::size_t n = work.back();
        work.pop_back();
        if (n == 0 || n >= code.size() || visited[n]) continue;
        visited[n] = true;
        std::uint8_t o = code[n];
        std::size_t nx = op::next(code, n);
        switch (o) {
        case op::End:
            p.canMatchEmpty = true;
            break;
        case op::Exactly: case op::ExactlyCI: case op::AnyOf3: case op::NoneOf3: case op::AnyOfSet:
        case op::AnyDigit: case op::NotDigit: case op::Any: case op::AnyButSep:
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

}  // namespace

void computeShortcuts(Program& p, const CharTables& t) {
    const auto& code = p.code;
    p.startChar = -1;
    p.anchored = false;
    p.required.clear();
    p.requiredIsPrefix = false;
    p.canMatchEmpty = false;
    firstChars(p, t);

    std::size_t first = 1;
    if (code[first] != op::Branch || code[op::next(code, first)] != op::End) return;  // several branches
    std::size_t scan = op::operand(first);
    while (code[scan] == op::Comment) scan = op::next(code, scan);
    if (code[scan] == op::Exactly) p.startChar = code[scan + op::kHeader];
    else if (code[scan] == op::Bol) p.anchored = true;

    // Every node on the top-level chain runs in every match, so its longest literal is required.
    std::size_t bestNode = 0, bestLen = 0;
    std::size_t steps = 0;
    for (std::size_t s = op::operand(first); s && code[s] != op::End && steps < code.size(); s = op::next(code, s), ++steps) {
        if (code[s] != op::Exactly) continue;
        std::size_t len = std::strlen(reinterpret_cast<const char*>(code.data() + s + op::kHeader));
        if (len > bestLen) {
            bestLen = len;
            bestNode = s;
        }
    }
    if (bestLen) {
        p.required.assign(reinterpret_cast<const char*>(code.data() + bestNode + op::kHeader), bestLen);
        p.requiredIsPrefix = bestNode == scan;
    }
}

}  // namespace vsr::regexpr
