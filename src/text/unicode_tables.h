#pragma once
#include <cstddef>
#include <cstdint>
#include <span>

// Case folding and the word-character test of every Unicode character, as generated tables
// (tools/unicode-tables). Code points at or above 0x110000 stand for invalid bytes: they fold
// to themselves and are never word characters.
namespace vsr::text::unicode {

struct CaseMember {
    char32_t key;     // the folded form
    char32_t member;  // one character that folds to it (the key itself included)
};

namespace tables {
extern const char kVersion[];
extern const std::uint16_t kStage1[];
extern const std::uint16_t kStage2[][128];
extern const std::int32_t kDeltas[];
extern const CaseMember kCaseMembers[];
extern const std::size_t kCaseMemberCount;
}  // namespace tables

inline std::uint16_t props(char32_t cp) {
    return cp < 0x110000 ? tables::kStage2[tables::kStage1[cp >> 7]][cp & 127] : 0;
}

// The simple case folding of `cp`: ASCII letters to capitals, other letters to their folded
// (mostly small) form; characters without case, and invalid bytes, unchanged.
inline char32_t fold(char32_t cp) {
    return static_cast<char32_t>(static_cast<std::int32_t>(cp) + tables::kDeltas[props(cp) & 0x7FFF]);
}

// Letters, marks, decimal digits, letter numbers and "_".
inline bool isWordChar(char32_t cp) { return (props(cp) & 0x8000) != 0; }

// Every character whose folding is `key`, in code point order; empty when `key` is the only one.
std::span<const CaseMember> caseMembers(char32_t key);

}  // namespace vsr::text::unicode
