#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

#include "regexpr/char_tables.h"
#include "regexpr/lazy_dfa.h"
#include "regexpr/nfa.h"
#include "regexpr/program.h"

namespace vsr::regexpr {

// Finds where the leftmost match from a position on starts, without trying the positions before
// it: forward to where the earliest start that has a match has one, then backward from there to
// that start. Which span the match takes there is the backtracker's to say.
class StartFinder {
public:
    // Null when the expression is not one for an automaton (see buildNfa).
    static std::unique_ptr<StartFinder> make(const Program& program, const CharTables& tables);

    using Outcome = LazyDfa::Outcome;
    using Result = LazyDfa::Result;
    // Found: the start; None: no match starts at or after `from`; Restart: none starts before
    // the position given (at least restartAfter + 1), look again from there; GiveUp: the
    // automaton would cost more than it saves here, let the backtracker search.
    // `literal`, when given, is known to stand at `from`: its bytes need not be read again.
    Result leftmostStart(const char* text, std::size_t length, std::size_t from, std::size_t restartAfter,
                         const LazyDfa::Poll& poll, const std::string* literal = nullptr);

    std::size_t cachedStates() const { return forward_.cachedStates() + backward_.cachedStates(); }

private:
    StartFinder(std::unique_ptr<Nfa> nfa, const CharTables& tables);

    std::unique_ptr<Nfa> nfa_;
    CharTables tables_;
    LazyDfa forward_, backward_;
};

}  // namespace vsr::regexpr
