#pragma once
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "regexpr/char_tables.h"
#include "regexpr/opcodes.h"
#include "regexpr/program.h"

namespace vsr::regexpr {

inline constexpr int kGroupSlots = op::kMaxGroups + 1;

struct Captures {
    std::array<std::int64_t, kGroupSlots> start;
    std::array<std::int64_t, kGroupSlots> end;
    void clear() {
        start.fill(-1);
        end.fill(-1);
    }
    // Clears group 0 and groups 1..groups; the others are never set. With groups, every slot:
    // that is a few vector stores, where a loop up to the count would become two calls to memset.
    void clear(int groups) {
        if (groups > 0) return clear();
        start[0] = end[0] = -1;
    }
};

// Runs a program at one position of the input. The choice points and the undo records live on
// an explicit, size-bounded stack, so neither a deep expression nor a long input can overflow the
// machine stack; the bound raises an EVxRegex instead.
class Backtracker {
public:
    // Asked at most every 25 ms while matching; returning false stops the match.
    std::function<bool()> goOn;
    static constexpr std::size_t kMaxFrames = std::size_t(1) << 21;
    // Choice points one search may go back to before it gives up with error 1016. Ten million
    // take about a second; an expression that needs more on one text is exponential there.
    static constexpr std::uint64_t kDefaultBacktrackLimit = 10'000'000;
    // Each start position tried adds this much, so that one search through a long text, which
    // may try millions of positions, is never taken for an exponential one; an ordinary
    // expression goes back a few times per position at most.
    static constexpr std::uint64_t kBacktracksPerStart = 64;

    // Steps (nodes walked) one budget allows before it gives up with error 1016, whatever the
    // choices were: an expression such as (a?){300}a{300} walks hundreds of nodes between two
    // choices, so counting choices alone let it run for a minute. A hundred million steps take
    // well under a second.
    static constexpr std::uint64_t kDefaultStepLimit = 100'000'000;
    // Each start position adds this many steps, as kBacktracksPerStart does for choices.
    static constexpr std::uint64_t kStepsPerStart = 256;

    void setBacktrackLimit(std::uint64_t limit) { backtrackLimit_ = limit; }
    std::uint64_t backtrackLimit() const { return backtrackLimit_; }
    void setStepLimit(std::uint64_t limit) { stepLimit_ = limit; }
    std::uint64_t stepLimit() const { return stepLimit_; }
    // Starts a fresh budget of choices, and one of steps.
    void resetBacktracks() { backtracksLeft_ = backtrackLimit_; }
    void resetSteps() { stepsLeft_ = stepLimit_; }
    void allowStart() {
        backtracksLeft_ += kBacktracksPerStart;
        stepsLeft_ += kStepsPerStart;
    }

    Backtracker() { lastAsk_ = std::chrono::steady_clock::now(); }

    // Asks the host whether to go on when 25 ms have passed, as a match does between its steps.
    void poll() { checkCancel(); }

    // Tries a match beginning at `pos`; on success `matchEnd` is where it ended.
    bool run(const Program& program, const CharTables& tables, const char* input, std::size_t length,
             std::size_t pos, Captures& caps, std::size_t& matchEnd);
    // After a run: where the run of characters ended that the program's run-skip repeat
    // (Program::runSkipNode) took when it opened the attempt, or kNoRunEnd when the attempt
    // never reached it.
    static constexpr std::size_t kNoRunEnd = ~std::size_t{0};
    std::size_t leadRunEnd() const { return leadRunEnd_; }

private:
    enum Kind : std::uint32_t {
        kUndoOpen, kUndoGroup, kUndoLoop, kUndoLoopIndex,  // restore state on the way back
        kAlt, kRepGreedy, kRepLazy, kLoopExit, kLoopIter,   // resume matching from here
    };
    struct Frame {
        Kind kind;
        std::uint32_t node;
        std::int64_t pos;
        std::int64_t a;
    };

    void push(Kind kind, std::size_t node, std::int64_t pos, std::int64_t a);
    void trail(Kind kind, std::size_t node, std::int64_t pos, std::int64_t a) {
        if (stack_.size() > base_) push(kind, node, pos, a);
    }
    void checkCancel();

    bool matchOne(std::size_t operandNode, std::size_t pos) const;
    // UTF-8: the bytes of the one character a wide node (opcodes.h) matches at pos; 0 for none.
    std::size_t matchWide(std::size_t node, std::size_t pos) const;
    // One match of a repeat's operand at pos: its length in bytes, 0 for none.
    std::size_t advance(std::size_t operandNode, std::size_t pos) const {
        if (op::isWideOne(code_[operandNode])) return matchWide(operandNode, pos);
        return matchOne(operandNode, pos) ? 1 : 0;
    }
    // The repeat from `start` that took `taken` bytes gives back its last character: the bytes it
    // keeps, -1 when it had none.
    std::int64_t giveBack(std::size_t operandNode, std::size_t start, std::int64_t taken) const;
    std::size_t repeatCount(std::size_t operandNode, std::size_t pos, std::int64_t max) const;
    bool isLineStart(std::size_t pos) const;
    bool isLineEnd(std::size_t pos) const;
    bool nextCharOk(int c1, int c2, std::size_t pos) const {
        if (c1 < 0) return true;
        if (pos >= len_) return false;
        std::uint8_t c = static_cast<std::uint8_t>(s_[pos]);
        return c == c1 || c == c2;
    }
    void repeatBounds(std::size_t node, std::int64_t& min, std::int64_t& max, std::size_t& operandNode) const;
    void followingChar(std::size_t node, int& c1, int& c2) const;

    std::vector<Frame> stack_;
    // Where each group's current attempt began. A group's span in Captures changes only when the
    // group closes, so a back-reference inside the group sees its last complete text.
    std::array<std::int64_t, kGroupSlots> openAt_{};
    std::size_t base_ = 0;
    std::size_t leadRunEnd_ = kNoRunEnd;
    bool plain_ = false;  // the program's shortcuts are off (Program::plain)
    std::uint32_t steps_ = 0;
    std::uint64_t backtrackLimit_ = kDefaultBacktrackLimit;
    std::uint64_t backtracksLeft_ = kDefaultBacktrackLimit;
    std::uint64_t stepLimit_ = kDefaultStepLimit;
    std::uint64_t stepsLeft_ = kDefaultStepLimit;
    std::chrono::steady_clock::time_point lastAsk_{};

    // Loop counters: level 0 is unused, levels 1..10 belong to nested brace loops.
    static constexpr int kMaxLoops = 10;
    std::array<std::int64_t, kMaxLoops + 1> loopCount_{};
    std::array<std::int64_t, kMaxLoops + 1> loopIterStart_{};
    int loopIndex_ = 0;

    const std::uint8_t* code_ = nullptr;
    const CharTables* t_ = nullptr;
    const char* s_ = nullptr;
    std::size_t len_ = 0;
};

}  // namespace vsr::regexpr
