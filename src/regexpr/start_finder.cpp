#include "regexpr/start_finder.h"

namespace vsr::regexpr {

std::unique_ptr<StartFinder> StartFinder::make(const Program& program, const CharTables& tables) {
    std::unique_ptr<Nfa> nfa = buildNfa(program, tables);
    if (!nfa) return nullptr;
    return std::unique_ptr<StartFinder>(new StartFinder(std::move(nfa), tables));
}

StartFinder::StartFinder(std::unique_ptr<Nfa> nfa, const CharTables& tables)
    : nfa_(std::move(nfa)),
      tables_(tables),
      forward_(*nfa_, tables_, LazyDfa::Direction::Forward),
      backward_(*nfa_, tables_, LazyDfa::Direction::Backward) {}

StartFinder::Result StartFinder::leftmostStart(const char* text, std::size_t length, std::size_t from,
                                               std::size_t restartAfter, const LazyDfa::Poll& poll,
                                               const std::string* literal) {
    const auto* s = reinterpret_cast<const std::uint8_t*>(text);
    const Result ahead = literal ? forward_.forwardPastLiteral(s, length, from, *literal, restartAfter, poll)
                                 : forward_.forward(s, length, from, restartAfter, poll);
    if (ahead.outcome != Outcome::Found) return ahead;
    const Result back = backward_.backward(s, length, ahead.at, from, poll);
    // The forward pass saw a match end there, so the backward one finds its start; should it not,
    // the backtracker decides.
    return back.outcome == Outcome::Found ? back : Result{Outcome::GiveUp, 0};
}

}  // namespace vsr::regexpr
