#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "regexpr/char_tables.h"

namespace vsr::regexpr {

struct Program;

// A literal of the compiled program that a match may contain. Case-insensitive: each text byte
// may be the literal's byte or its other case (`otherCase`, byte for byte), as the engine
// compares it.
struct RequiredLiteral {
    std::string bytes;
    bool ignoreCase = false;
    std::string otherCase;  // with ignoreCase: the other case of each byte of `bytes`
};

// The most alternatives a required set may have: more would cost a scan more than it saves.
inline constexpr std::size_t kMaxRequiredLiterals = 8;

// Literals of which every match of the program contains at least one, whole, at most
// kMaxRequiredLiterals; empty when no such set was found. They are literal nodes that every way
// through the program passes one of: a single literal every way passes, the first literals every
// way meets, or the last ones, whichever is the rarest to find.
std::vector<RequiredLiteral> requiredLiterals(const Program& program, const CharTables& tables);

}  // namespace vsr::regexpr
