#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "regexpr/required_literals.h"

namespace vsr::regexpr {

// Modifier bits, in the order of SetModifier's indexes 1 to 6.
enum Modifier : unsigned {
    kModI = 1,   // case-insensitive
    kModR = 2,   // Russian ranges in classes
    kModS = 4,   // "." matches every character
    kModG = 8,   // quantifiers greedy unless followed by "?"
    kModM = 16,  // "^" and "$" at line starts and ends
    kModX = 32,  // extended syntax
};
inline constexpr unsigned kDefaultModifiers = kModR | kModS | kModG;

// A compiled expression with the scan shortcuts stored beside it.
struct Program {
    std::vector<std::uint8_t> code;  // code[0] is the magic byte
    unsigned modifiers = 0;          // the modifiers it was compiled with
    int groupCount = 0;
    int startChar = -1;              // a match must begin with this byte (-1: no such byte)
    bool anchored = false;           // a match can only begin at the start of the input
    std::string required;            // every match contains this literal
    bool requiredIsPrefix = false;   // ... and begins with it
    bool requiredCI = false;         // ... in either case of each letter
    std::array<bool, 256> firstSet{};  // bytes that can begin a non-empty match
    bool canMatchEmpty = false;      // a match may be empty at its start position
    std::size_t requiredProbe = 0;   // index in `required` of its rarest byte, searched first
    bool requiredProbeCommon = false;  // ... and even that byte is common: look for two at once
    // The bytes a match can hold before the required literal (when it is no prefix). With
    // beforeRequiredSkip, some byte is not among them: a match that holds the literal at p
    // starts after the last such byte before p.
    bool beforeRequiredSkip = false;
    std::array<bool, 256> beforeRequired{};
    std::string anchoredPrefix;      // anchored: the literal the input must start with
    // Greedy one-character repeats whose operand can never match what must follow them: giving
    // characters back cannot help, so they keep no choice point. Indexed by node offset.
    std::vector<bool> possessive;
    bool hasBackRefs = false;
    // A greedy repeat without a maximum that every match begins with, before anything else
    // takes a character (0: none). Started anywhere inside the run of characters it took in a
    // failed attempt, it could only stop where it could have stopped there, and the rest would
    // fail the same way; so the next start worth trying is the end of that run.
    std::size_t runSkipNode = 0;
    // Built without any of the above: every position is tried and every repeat keeps its
    // choices (see TVxRegex::SetScanShortcuts).
    bool plain = false;
    // Literals of which every match holds one (see requiredLiterals); for callers that skip
    // text before handing it to the matcher. Kept when the shortcuts are dropped.
    std::vector<RequiredLiteral> requiredSet;
    // The set is `required` alone, and every match begins at it or in its line (nothing before
    // the literal takes a line end), with no node asking for the start of the input: so no
    // match begins before the line of the first place the literal stands, and the text before
    // that line may be left out without changing any match after it.
    bool startsInRequiredLine = false;
    // No match sees which line end a text has: a node that takes CR or LF takes both, and only
    // as a greedy repeat that keeps no choice and takes the whole run of them. The text with
    // LF, CR or CR LF line ends then has as many matches, in the same order, as the text with
    // every line end made CR LF (the spans differ by the bytes of the line ends they hold).
    bool lineEndsAlike = false;
};

}  // namespace vsr::regexpr
