#pragma once
#include <stdexcept>
#include <string>

namespace vsr::regexpr {

// Error codes of the engine; below 1000 compilation, from 1000 on execution.
enum ErrorCode : int {
    kErrNone = 0,
    kErrNullArgument = 100,
    kErrTooBig = 101,
    kErrTooManyGroups = 102,
    kErrUnmatchedOpen = 103,
    kErrUnmatchedClose = 104,
    kErrJunkOnEnd = 105,
    kErrOperandCouldBeEmpty = 106,
    kErrNestedQuantifier = 107,
    kErrBadHexDigit = 108,
    kErrInvalidRange = 109,
    kErrClassTrailingBackslash = 110,
    kErrNoHexCode = 111,
    kErrHexTooBig = 112,
    kErrUnmatchedBracket = 113,
    kErrInternalUrp = 114,
    kErrFollowsNothing = 115,
    kErrTrailingBackslash = 116,
    kErrInternalDisaster = 119,
    kErrBracesTooBig = 122,
    kErrBracesMinGreater = 124,
    kErrUnclosedComment = 125,
    kErrComplexBraces = 126,
    kErrUnknownModifier = 127,
    kErrPairedSeparator = 128,
    kErrRepeatInappropriate = 1000,
    kErrMemoryCorruption = 1001,
    kErrCorruptedPointers = 1002,
    kErrNoExpression = 1003,
    kErrCorruptedProgram = 1004,
    kErrNoInput = 1005,
    kErrOffsetBelowOne = 1006,
    kErrExecNextWithoutExec = 1007,
    kErrNoInputString = 1008,
    kErrDumpCorruptedOpcode = 1011,
    kErrBadModifierIndex = 1013,
    kErrLoopStackExceeded = 1014,
    kErrLoopWithoutEntry = 1015,
    // Ours: one search went back to earlier choices more often than its budget allows, or kept
    // more open choices than its memory bound (an exponential expression for this text).
    kErrBacktrackLimit = 1016,
};

// The message of a code without the " (pos N)" suffix; "Unknown error" for unknown codes.
std::string errorText(int code);

// Every failure of compilation or matching. The message starts with a 16-character origin
// prefix ("TVxRegex(comp): ") that the window strips before showing it.
class EVxRegex : public std::runtime_error {
public:
    EVxRegex(int code, int position);
    int code() const { return code_; }
    // 1-based offset in the expression where compilation stopped; 0 outside compilation.
    int position() const { return position_; }

private:
    int code_;
    int position_;
};

// Raised when the host's cancellation hook asks to stop a running match. Deliberately not an
// EVxRegex: callers end the run quietly instead of reporting an expression error.
class MatchInterrupted : public std::runtime_error {
public:
    MatchInterrupted() : std::runtime_error("Regular expression match interrupted") {}
};

}  // namespace vsr::regexpr
