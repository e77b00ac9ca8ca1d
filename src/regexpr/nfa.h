#pragma once
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "regexpr/char_tables.h"
#include "regexpr/program.h"

namespace vsr::regexpr {

// A position test that takes no character: decided by the bytes on either side of the position
// (kTextEdge where the position is the start or the end of the input).
enum class Assertion : std::uint8_t { InputStart, InputEnd, LineStart, LineEnd };
inline constexpr int kTextEdge = 256;
bool assertionHolds(Assertion a, int before, int after, const CharTables& t);

// The expression as a set of states without choices of order: which texts match, never which
// of several ways wins. That is all a search needs to know where a match can start; the
// backtracker, run from there, chooses the span and the groups as it always has.
//
// Some nodes are widened (a character beyond ASCII stands for any run of such bytes, a very large
// count of repeats for any count); the set then holds every text that matches and a few more,
// which costs a wasted attempt at worst, never a missed match.
struct Nfa {
    enum class Kind : std::uint8_t { Empty, Byte, Test };
    struct Edge {
        Kind kind;
        Assertion test;     // Kind::Test
        std::uint32_t set;  // Kind::Byte: index into sets
        std::uint32_t to;
    };
    std::vector<std::vector<Edge>> out;  // the edges leaving each state
    std::vector<std::bitset<256>> sets;
    std::uint32_t start = 0;
    std::uint32_t match = 0;
    bool hasTests = false;

    std::size_t size() const { return out.size(); }
};

// The states of `program`, or null when the expression is not one for an automaton: it refers
// back to a group, it repeats a piece that itself holds a choice (where the backtracker's budget
// must stay the judge of an expression that tries for ever), or it is too large.
std::unique_ptr<Nfa> buildNfa(const Program& program, const CharTables& tables);

}  // namespace vsr::regexpr
