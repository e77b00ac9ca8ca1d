#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "regexpr/char_tables.h"
#include "regexpr/program.h"

namespace vsr::regexpr {

// Compiles an expression into a Program in two passes: the first counts the bytes, the second
// emits them into a block of exactly that size. Errors are raised as EVxRegex with the position.
Program compileExpression(std::string_view expression, unsigned modifiers, const CharTables& tables);

// Computes the scan shortcuts of a freshly emitted program (start character, anchoring, required
// literal, first-character set).
void computeShortcuts(Program& program, const CharTables& tables);

// Adds the bytes a one-character node can match; a node that takes a whole UTF-8 character adds
// its ASCII members and every byte from 0x80.
void addOneChar(const std::vector<std::uint8_t>& code, std::size_t node, const CharTables& tables, ByteSet& set);

// Whether a program with its shortcuts and required set computed has startsInRequiredLine.
bool startsInRequiredLine(const Program& program);

// Whether a program with its shortcuts computed has lineEndsAlike.
bool lineEndsAlike(const Program& program, const CharTables& tables);

// Takes every shortcut back: the program is then run the plain way, at every position.
void dropShortcuts(Program& program);

}  // namespace vsr::regexpr
