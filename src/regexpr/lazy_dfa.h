#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "regexpr/char_tables.h"
#include "regexpr/nfa.h"

namespace vsr::regexpr {

// A deterministic automaton over an Nfa whose states are made as the text needs them and kept
// in a cache of bounded size, emptied when it is full: one table look-up per byte of text, and
// memory that stays bounded for any expression.
//
// Forward, it finds where the earliest start that has a match has one: its states keep the
// threads of each start apart, earliest first, and a thread already held for an earlier start is
// dropped from a later one. Backward (over the reversed Nfa), it finds the earliest start of the
// matches that end at a given position.
class LazyDfa {
public:
    enum class Direction { Forward, Backward };
    LazyDfa(const Nfa& nfa, const CharTables& tables, Direction direction);

    static constexpr std::size_t kNone = ~std::size_t{0};
    enum class Outcome { Found, None, Restart, GiveUp };
    struct Result {
        Outcome outcome;
        std::size_t at;
    };
    using Poll = std::function<void()>;

    // Forward from `from`: Found with the end of a match of the earliest start from `from` on
    // that has one; None; or Restart at a position p (at least restartAfter + 1) before which no
    // start has a match and from which nothing has been read yet.
    Result forward(const std::uint8_t* s, std::size_t len, std::size_t from, std::size_t restartAfter, const Poll& poll);
    // As forward from `from`, where the text there is known to begin with `literal`: the bytes
    // of the literal are not read again when reading them from the start raised no flag (the
    // state after them is kept until the cache is flushed). Only for an Nfa without line tests.
    Result forwardPastLiteral(const std::uint8_t* s, std::size_t len, std::size_t from, const std::string& literal,
                              std::size_t restartAfter, const Poll& poll);
    // Backward from `end` down to `lowest`: Found with the smallest start from which some match
    // ends at `end`, or None.
    Result backward(const std::uint8_t* s, std::size_t len, std::size_t end, std::size_t lowest, const Poll& poll);

    std::size_t cachedStates() const { return keys_.size(); }
    std::size_t flushes() const { return flushes_; }

private:
    static constexpr std::int32_t kMatch = 1 << 30;  // forward: a start's match ends here; backward: a start is found
    static constexpr std::int32_t kStop = 1 << 29;   // forward: the earliest live start has matched; backward: no thread left
    static constexpr std::int32_t kFresh = 1 << 28;  // forward: only the start just made is left
    static constexpr std::int32_t kIdMask = kFresh - 1;
    static constexpr int kEdgeContext = 8;

    int contextOf(int byte) const;
    std::int32_t initial(int before);
    std::int32_t intern(std::vector<std::uint32_t>&& key);
    std::int32_t step(std::int32_t state, int column);
    std::int32_t transition(std::int32_t state, int column) {
        const std::int32_t t = table_[static_cast<std::size_t>(state) * stride_ + static_cast<std::size_t>(column)];
        return t >= 0 ? t : step(state, column);
    }
    void closure(const std::vector<std::uint32_t>& kernel, int before, int after, std::vector<std::uint32_t>& out);
    bool givingUp(std::size_t scanned) const { return flushesThisScan_ > 4 && scanned < flushesThisScan_ * 4096; }

    const Nfa& nfa_;
    const CharTables& tables_;
    Direction direction_;
    std::vector<std::vector<Nfa::Edge>> edges_;  // the Nfa's edges, reversed when going backward
    std::uint32_t entry_, accept_;
    std::uint8_t column_[256];
    std::vector<int> representative_;  // a byte of each column
    std::array<int, kEdgeContext + 1> contextByte_;  // a byte of each context
    std::size_t stride_;               // columns + 1: the last stands for the edge of the text
    std::vector<std::vector<std::uint32_t>> keys_;
    std::unordered_map<std::string, std::int32_t> ids_;
    std::vector<std::int32_t> table_;
    std::vector<std::uint32_t> mark_, kernelMark_;
    std::uint32_t generation_ = 0, kernelGeneration_ = 0;
    std::size_t flushes_ = 0, flushesThisScan_ = 0;
    // The state each context of the byte before a scan starts in (-1: not made since the last
    // flush): a scan of a short line would otherwise spend more on making its key than on its bytes.
    std::array<std::int32_t, kEdgeContext + 1> initial_;
    // The state after the literal from the start state (-1: none worth keeping), made while
    // the cache had flushed `literalFlushes_` times.
    std::int32_t literalState_ = -1;
    std::size_t literalFlushes_ = ~std::size_t{0};
    Result run(const std::uint8_t* s, std::size_t len, std::size_t from, std::int32_t state, std::size_t restartAfter,
               const Poll& poll);
};

}  // namespace vsr::regexpr
