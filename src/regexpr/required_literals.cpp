#include "regexpr/required_literals.h"

#include <algorithm>
#include <cstring>

#include "regexpr/opcodes.h"
#include "regexpr/program.h"

namespace vsr::regexpr {

namespace {

using Code = std::vector<std::uint8_t>;

// Every node the walk of the matcher can reach, with the nodes it can go on to. Repeats of one
// character hold their operand inside them, so that operand is no node of its own here. The
// graph may allow more ways than the matcher takes (a loop's exit before its minimum), never
// fewer: a literal found on every way of it is on every way of the matcher.
struct Graph {
    std::vector<std::size_t> nodes;                 // reachable nodes, in the order found
    std::vector<std::vector<std::size_t>> succ;     // by node offset
    std::vector<std::vector<std::size_t>> pred;
    std::vector<char> reachable;
    std::size_t end = 0;                            // the End node, 0 when none is reached
    bool sound = true;                              // false: the program had a shape not understood
};

Graph buildGraph(const Code& code) {
    Graph g;
    const std::size_t n = code.size();
    g.succ.assign(n, {});
    g.pred.assign(n, {});
    g.reachable.assign(n, 0);
    std::vector<std::size_t> work{1};
    auto edge = [&](std::size_t from, std::size_t to) {
        if (to == 0 || to >= n) {
            g.sound = false;
            return;
        }
        g.succ[from].push_back(to);
        g.pred[to].push_back(from);
        work.push_back(to);
    };
    while (!work.empty()) {
        const std::size_t at = work.back();
        work.pop_back();
        if (at == 0 || at >= n) {
            g.sound = false;
            continue;
        }
        if (g.reachable[at]) continue;
        g.reachable[at] = 1;
        g.nodes.push_back(at);
        const std::uint8_t o = code[at];
        if (o == op::End) {
            g.end = at;
            continue;
        }
        if (at + op::kHeader > n) {
            g.sound = false;
            continue;
        }
        const std::size_t nx = op::next(code, at);
        switch (o) {
        case op::Branch:
            edge(at, op::operand(at));
            if (nx && nx < n && code[nx] == op::Branch) edge(at, nx);
            break;
        case op::Loop: case op::LoopNG:
            if (at + op::kHeader + 12 > n) {
                g.sound = false;
                break;
            }
            edge(at, at - static_cast<std::size_t>(op::readInt(code.data() + op::operand(at) + 8)));
            edge(at, nx);
            break;
        default:
            edge(at, nx);
            break;
        }
    }
    return g;
}

bool isLiteral(const Code& code, std::size_t node) {
    return code[node] == op::Exactly || code[node] == op::ExactlyCI;
}

RequiredLiteral literalAt(const Code& code, std::size_t node, const CharTables& t) {
    RequiredLiteral lit;
    lit.bytes = reinterpret_cast<const char*>(code.data() + op::operand(node));
    lit.ignoreCase = code[node] == op::ExactlyCI;
    if (lit.ignoreCase) {
        lit.otherCase = lit.bytes;
        for (char& c : lit.otherCase) c = static_cast<char>(t.otherCase[static_cast<std::uint8_t>(c)]);
    }
    return lit;
}

// Whether End can be reached from the first node without passing any node of `cut`.
bool endAvoiding(const Code& code, const Graph& g, const std::vector<char>& cut) {
    std::vector<char> seen(code.size(), 0);
    std::vector<std::size_t> work{1};
    while (!work.empty()) {
        const std::size_t at = work.back();
        work.pop_back();
        if (seen[at] || cut[at]) continue;
        seen[at] = 1;
        if (at == g.end) return true;
        for (std::size_t s : g.succ[at]) work.push_back(s);
    }
    return false;
}

// The literal nodes met first walking from `from` along `edges`, without going past one; empty
// when `goal` can be reached without meeting any, or when there are too many.
std::vector<std::size_t> frontier(const Code& code, std::size_t from, std::size_t goal,
                                  const std::vector<std::vector<std::size_t>>& edges) {
    std::vector<std::size_t> met;
    std::vector<char> seen(code.size(), 0);
    std::vector<std::size_t> work{from};
    while (!work.empty()) {
        const std::size_t at = work.back();
        work.pop_back();
        if (seen[at]) continue;
        seen[at] = 1;
        if (isLiteral(code, at)) {
            met.push_back(at);
            if (met.size() > kMaxRequiredLiterals) return {};
            continue;
        }
        if (at == goal) return {};
        for (std::size_t s : edges[at]) work.push_back(s);
    }
    std::sort(met.begin(), met.end());
    return met;
}

// How good a set is to look for: its shortest literal decides how many places it stops at,
// a case-sensitive set is cheaper to find, and every alternative adds to the work.
int score(const Code& code, const std::vector<std::size_t>& set) {
    if (set.empty()) return -1;
    std::size_t shortest = SIZE_MAX;
    bool exact = true;
    for (std::size_t node : set) {
        shortest = std::min(shortest, std::strlen(reinterpret_cast<const char*>(code.data() + op::operand(node))));
        exact = exact && code[node] == op::Exactly;
    }
    return static_cast<int>(std::min<std::size_t>(shortest, 64)) * 4 + (exact ? 2 : 0) -
           static_cast<int>(set.size() > 1 ? 1 + set.size() / 4 : 0);
}

}  // namespace

std::vector<RequiredLiteral> requiredLiterals(const Program& program, const CharTables& tables) {
    const Code& code = program.code;
    if (code.size() < 2 || code[0] != op::kMagic) return {};
    const Graph g = buildGraph(code);
    if (!g.sound || g.end == 0) return {};

    std::vector<std::size_t> best;
    int bestScore = -1;
    auto consider = [&](std::vector<std::size_t> set) {
        const int s = score(code, set);
        if (s > bestScore) {
            bestScore = s;
            best = std::move(set);
        }
    };
    // Single literals every way passes: a few dozen tries of a walk each.
    std::vector<char> cut(code.size(), 0);
    std::size_t tried = 0;
    for (std::size_t node : g.nodes) {
        if (!isLiteral(code, node) || ++tried > 64) continue;
        cut[node] = 1;
        if (!endAvoiding(code, g, cut)) consider({node});
        cut[node] = 0;
    }
    consider(frontier(code, 1, g.end, g.succ));
    consider(frontier(code, g.end, 1, g.pred));

    std::vector<RequiredLiteral> out;
    for (std::size_t node : best) {
        out.push_back(literalAt(code, node, tables));
        if (out.back().bytes.empty()) return {};  // found everywhere: no use
    }
    return out;
}

}  // namespace vsr::regexpr
