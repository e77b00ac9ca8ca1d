#include "regexpr/vx_regex_error.h"

namespace vsr::regexpr {

std::string errorText(int code) {
    switch (code) {
    case kErrNone: return "No errors";
    case kErrNullArgument: return "TVxRegex(comp): Null Argument";
    case kErrTooBig: return "TVxRegex(comp): Regexp Too Big";
    case kErrTooManyGroups: return "TVxRegex(comp): ParseReg Too Many ()";
    case kErrUnmatchedOpen: return "TVxRegex(comp): ParseReg Unmatched ()";
    case kErrUnmatchedClose: return "TVxRegex(comp): ParseReg Unmatched ()";
    case kErrJunkOnEnd: return "TVxRegex(comp): ParseReg Junk On End";
    case kErrOperandCouldBeEmpty: return "TVxRegex(comp): *+ Operand Could Be Empty";
    case kErrNestedQuantifier: return "TVxRegex(comp): Nested *?+";
    case kErrBadHexDigit: return "TVxRegex(comp): Bad Hex Digit";
    case kErrInvalidRange: return "TVxRegex(comp): Invalid [] Range";
    case kErrClassTrailingBackslash: return "TVxRegex(comp): Parse Atom Trailing \\";
    case kErrNoHexCode: return "TVxRegex(comp): No Hex Code After \\x";
    case kErrHexTooBig: return "TVxRegex(comp): Hex Code After \\x Is Too Big";
    case kErrUnmatchedBracket: return "TVxRegex(comp): Unmatched []";
    case kErrInternalUrp: return "TVxRegex(comp): Internal Urp";
    case kErrFollowsNothing: return "TVxRegex(comp): ?+*{ Follows Nothing";
    case kErrTrailingBackslash: return "TVxRegex(comp): Trailing \\";
    case kErrInternalDisaster: return "TVxRegex(comp): RarseAtom Internal Disaster";
    case kErrBracesTooBig: return "TVxRegex(comp): BRACES Argument Too Big";
    case kErrBracesMinGreater: return "TVxRegex(comp): BRACE Min Param Greater then Max";
    case kErrUnclosedComment: return "TVxRegex(comp): Unclosed (?#Comment)";
    case kErrComplexBraces:
        return "TVxRegex(comp): If you want take part in beta-testing BRACES '{min,max}' and non-greedy ops "
               "'*?', '+?', '?" "?' for complex cases - switch on complex braces";
    case kErrUnknownModifier: return "TVxRegex(comp): Urecognized Modifier";
    case kErrPairedSeparator:
        return "TVxRegex(comp): LinePairedSeparator must countain two different chars or no chars at all";
    case kErrRepeatInappropriate: return "TVxRegex(exec): RegRepeat Called Inappropriately";
    case kErrMemoryCorruption: return "TVxRegex(exec): MatchPrim Memory Corruption";
    case kErrCorruptedPointers: return "TVxRegex(exec): MatchPrim Corrupted Pointers";
    case kErrNoExpression: return "TVxRegex(exec): Not Assigned Expression Property";
    case kErrCorruptedProgram: return "TVxRegex(exec): Corrupted Program";
    case kErrNoInput: return "TVxRegex(exec): No Inpit String Specified";
    case kErrOffsetBelowOne: return "TVxRegex(exec): Offset Must Be Greater Then 0";
    case kErrExecNextWithoutExec: return "TVxRegex(exec): ExecNext Without Exec[Pos]";
    case kErrNoInputString: return "TVxRegex(exec): GetInputString Without InputString";
    case kErrDumpCorruptedOpcode: return "TVxRegex(dump): Corrupted Opcode";
    case kErrLoopStackExceeded: return "TVxRegex(exec): Loop Stack Exceeded";
    case kErrLoopWithoutEntry: return "TVxRegex(exec): Loop Without LoopEntry !";
    case kErrBacktrackLimit:
        return "TVxRegex(exec): Expression Too Complex For This Text";
    default: return "Unknown error";
    }
}

namespace {
std::string fullMessage(int code, int position) {
    std::string text = errorText(code);
    if (code < 1000 && code != kErrNone) text += " (pos " + std::to_string(position) + ")";
    return text;
}
}  // namespace

EVxRegex::EVxRegex(int code, int position)
    : std::runtime_error(fullMessage(code, position)), code_(code), position_(position) {}

}  // namespace vsr::regexpr
