#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "regexpr/backtracker.h"
#include "regexpr/char_tables.h"
#include "regexpr/program.h"
#include "regexpr/start_finder.h"
#include "regexpr/vx_regex_error.h"

namespace vsr::regexpr {

// The program's regular-expression engine: one object per use. Set the modifiers and the
// expression, run Exec/ExecPos/ExecNext, read the groups. Positions are 1-based.
//
// Empty matches: an expression that can match the empty string at its start position (such as
// "$", "^" under m, or "x*") is tried at every position, the end of the input included, so it
// finds its empty matches as well as every non-empty one. ExecNext after an empty match starts
// one character further, so a loop of ExecNext calls always ends; callers that only want
// non-empty matches skip those of length 0.
class TVxRegex {
public:
    TVxRegex();

    void SetExpression(std::string_view expression);
    const std::string& Expression() const { return expression_; }

    // index 1 to 6: i, r, s, g, m, x. Any other index is error 1013.
    void SetModifier(int index, bool on);
    bool GetModifier(int index) const;
    void SetModifiers(unsigned bits) { modifiers_ = bits & 63u; }
    unsigned Modifiers() const { return modifiers_; }

    // Empty, or two different characters treated as one line break; else error 128.
    void SetLinePairedSeparator(std::string_view separator);
    void SetLineSeparators(std::string_view characters);
    void SetSpaceChars(std::string_view characters);
    // The configured code page: its upper-case table, and which bytes are word characters
    // (non-zero = word character). Both default to Windows-1252.
    void SetCaseTable(const ByteTable& upper);
    void SetWordTable(const ByteTable& word);
    // UTF-8 text: ".", negated classes, \W and \S take one whole character, class ranges are
    // ranges of code points, \w and case-insensitive matching know every script, "\x{...}"
    // names a code point, and a match never starts or ends inside a character. An invalid byte
    // is one character that is no letter. Off by default (single-byte text).
    void SetUtf8(bool on);
    bool Utf8() const { return tables_.utf8; }

    // Asked at most every 25 ms during a match; returning false raises MatchInterrupted.
    void SetCancelHook(std::function<bool()> goOn) { matcher_.goOn = std::move(goOn); }

    // How many times one Exec, ExecPos or ExecNext may go back to an earlier choice, besides a
    // small allowance for each start position it tries; past it the match ends with error 1016.
    // The default suits every sane expression.
    void SetBacktrackLimit(std::uint64_t limit) { matcher_.setBacktrackLimit(limit); }
    std::uint64_t BacktrackLimit() const { return matcher_.backtrackLimit(); }
    // The limit every engine made from now on starts with; tests lower it so that reaching it
    // costs them a fraction of a second even in a sanitizer build.
    static void SetDefaultBacktrackLimit(std::uint64_t limit) { defaultBacktrackLimit_ = limit; }
    static std::uint64_t DefaultBacktrackLimit() { return defaultBacktrackLimit_; }

    // Steps (nodes walked) a budget allows, besides a small allowance for each start position;
    // past it the match ends with error 1016 as for too many choices. Every Exec, ExecPos and
    // ExecNext starts a fresh budget of steps, unless SetSharedBudget is on: then they all draw
    // on the one ResetBudget starts, so that a caller can give a whole file one budget (the
    // choices stay a budget per call).
    void SetStepLimit(std::uint64_t limit) { matcher_.setStepLimit(limit); }
    std::uint64_t StepLimit() const { return matcher_.stepLimit(); }
    static void SetDefaultStepLimit(std::uint64_t limit) { defaultStepLimit_ = limit; }
    static std::uint64_t DefaultStepLimit() { return defaultStepLimit_; }
    void SetSharedBudget(bool on) { sharedBudget_ = on; }
    void ResetBudget() {
        matcher_.resetBacktracks();
        matcher_.resetSteps();
    }

    // On by default. Off, a match is looked for the plain way: tried at every position, with
    // every choice of every repeat kept. Slower, with the same results; tests compare the two.
    void SetScanShortcuts(bool on);
    bool ScanShortcuts() const { return shortcuts_; }

    // On by default. An expression without back-references, whose repeated pieces hold no
    // choice of their own, then finds where its next match starts with an automaton that reads
    // each byte once; the backtracker runs only there, for the span and the groups. The results
    // are the same either way. The choices' budget (SetBacktrackLimit) is the backtracker's: it
    // is spent where the backtracker runs, and the text the automaton passes over costs none of
    // it, so an expression the automaton takes only meets it at a start that has a match. Off,
    // or for other expressions, every start the scan shortcuts leave is tried in turn.
    void SetAutomaton(bool on);
    bool Automaton() const { return automaton_; }
    // Whether the compiled expression is run with the automaton.
    bool UsesAutomaton() const { return finder_ != nullptr; }

    // Compiles now (otherwise the next match does); errors are raised as EVxRegex.
    void Compile();

    // Exec = SetInputString + ExecPos(1). The input is copied up to its first NUL.
    void SetInputString(std::string_view input);
    bool Exec(std::string_view input);
    // Matches in the caller's text without copying it (up to its first NUL). The text must stay
    // in place, unchanged, as long as matches, ExecNext or ExpandTemplate read it.
    void SetInputView(std::string_view input);
    bool ExecView(std::string_view input);
    // As ExecView, for a text the caller knows to hold no NUL byte: none is looked for.
    bool ExecViewWithoutNul(std::string_view input);
    bool ExecPos(std::int64_t offset = 1);
    bool ExecNext();

    std::int64_t MatchStart(int group) const;
    std::int64_t MatchLength(int group) const;
    std::string_view Match(int group) const;

    std::string ExpandTemplate(std::string_view templateText) const;

    std::string_view InputString() const;
    // The compiled program's bytes (empty when not compiled); its first byte is 216.
    const std::vector<std::uint8_t>& ProgramCode() const { return program_ ? program_->code : empty_; }
    const Program* CompiledProgram() const { return program_.get(); }
    // Literals of which every match holds one (empty: none known, or not compiled).
    const std::vector<RequiredLiteral>& RequiredLiterals() const {
        static const std::vector<RequiredLiteral> none;
        return program_ ? program_->requiredSet : none;
    }

private:
    void ensureCompiled() {
        if (!program_ || program_->modifiers != modifiers_ || program_->code[0] != 216) [[unlikely]]
            compileForMatch();
    }
    void compileForMatch();
    bool searchFrom(std::size_t from);
    void dropProgram() {
        program_.reset();
        finder_.reset();
    }
    bool search(std::size_t from);
    // The search with the automaton: 1 matched, 0 no match; -1 left to the plain search from
    // `from` (moved on past the starts already ruled out).
    // `ahead`: where findRequired(from) found the required literal, when one is required.
    int searchWithAutomaton(std::size_t& from, const char* ahead);
    const char* findRequired(std::size_t from) const;
    // One match attempt at pos. runEnd, when given, receives where the program's run-skip repeat
    // stopped (Backtracker::leadRunEnd), or kNoRunEnd.
    bool attempt(std::size_t pos, std::size_t* runEnd = nullptr);

    std::string expression_;
    bool expressionSet_ = false;
    bool shortcuts_ = true;
    unsigned modifiers_ = kDefaultModifiers;
    CharTables tables_;
    std::unique_ptr<Program> program_;
    std::unique_ptr<StartFinder> finder_;
    bool automaton_ = true;
    // Starts the automaton offered that the backtracker refused on this input (the automaton may
    // take a few texts more than the expression does); past a few, it is not asked again.
    std::size_t automatonMisses_ = 0;
    // The private copy of the input: a buffer that only grows, so copying a line costs one pass.
    std::unique_ptr<char[]> inputBuf_;
    const char* input_ = nullptr;  // the private copy, or the caller's text
    std::size_t inputCap_ = 0;
    std::size_t inputLen_ = 0;
    bool hasInput_ = false;
    Captures caps_{};
    bool lastMatched_ = false;
    // The last memchr of each case of the required literal's probe byte. ExecNext loops ask for
    // the same byte again and again; without this, a case that never occurs would be looked for
    // to the end of the input on every call, which makes a whole-text search quadratic.
    struct ProbeScan {
        int byte = -1;
        const char* from = nullptr;
        const char* hit = nullptr;
    };
    mutable ProbeScan probeScans_[2];
    void inputReset();
    // A record of no byte is never taken. Only the byte is written: a chained copy of the whole
    // record reads back the stores just made, a stall on every call for short inputs.
    void forgetProbeScans() { probeScans_[0].byte = probeScans_[1].byte = -1; }
    Backtracker matcher_;
    std::vector<std::uint8_t> empty_;
    static inline std::atomic<std::uint64_t> defaultBacktrackLimit_{Backtracker::kDefaultBacktrackLimit};
    static inline std::atomic<std::uint64_t> defaultStepLimit_{Backtracker::kDefaultStepLimit};
    bool sharedBudget_ = false;
};

}  // namespace vsr::regexpr
