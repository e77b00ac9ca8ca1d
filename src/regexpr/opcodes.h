#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

// The byte program of a compiled expression. Every node is one opcode byte, a signed
// 4-byte offset to the next node of its chain (0 = none), then the opcode's operand.
namespace vsr::regexpr::op {

inline constexpr std::uint8_t kMagic = 216;  // first byte of every program

inline constexpr std::uint8_t End = 0;           // end of the expression: success
inline constexpr std::uint8_t Bol = 1;           // start of input ("^" without m, "\A")
inline constexpr std::uint8_t Eol = 2;           // end of input ("$" without m, "\Z")
inline constexpr std::uint8_t Any = 3;           // any character ("." with s)
inline constexpr std::uint8_t Branch = 6;        // alternative: try the operand, else the next alternative
inline constexpr std::uint8_t Back = 7;          // jump back, closing a general "*" or "+" loop
inline constexpr std::uint8_t Exactly = 8;       // literal string, NUL-terminated
inline constexpr std::uint8_t Nothing = 9;       // empty match
inline constexpr std::uint8_t Star = 10;         // "*" on a one-character operand, greedy
inline constexpr std::uint8_t Plus = 11;         // "+" on a one-character operand, greedy
inline constexpr std::uint8_t AnyDigit = 12;     // "\d"
inline constexpr std::uint8_t NotDigit = 13;     // "\D"; never the end of input
inline constexpr std::uint8_t Braces = 18;       // {n,m} on a one-character operand, greedy: n, m
inline constexpr std::uint8_t Comment = 19;      // no operation (comments, inline modifiers)
inline constexpr std::uint8_t ExactlyCI = 20;    // literal string, case-insensitive, NUL-terminated
inline constexpr std::uint8_t LoopEntry = 23;    // start of a brace loop on a general operand
inline constexpr std::uint8_t Loop = 24;         // greedy loop: n, m, offset back to the body
inline constexpr std::uint8_t AnyOf3 = 25;       // one of 3 characters
inline constexpr std::uint8_t NoneOf3 = 26;      // none of 3 characters
inline constexpr std::uint8_t AnyOfSet = 27;     // one of a 256-bit set
inline constexpr std::uint8_t BackRef = 28;      // back-reference: group number byte
inline constexpr std::uint8_t BackRefCI = 29;    // back-reference, case-insensitive
inline constexpr std::uint8_t StarNG = 30;       // "*?" on a one-character operand
inline constexpr std::uint8_t PlusNG = 31;       // "+?" on a one-character operand
inline constexpr std::uint8_t BracesNG = 32;     // {n,m}? on a one-character operand
inline constexpr std::uint8_t LoopNG = 33;       // non-greedy loop: as Loop
inline constexpr std::uint8_t LineStart = 34;    // "^" with m
inline constexpr std::uint8_t LineEnd = 35;      // "$" with m
inline constexpr std::uint8_t AnyButSep = 36;    // "." without s
inline constexpr std::uint8_t OpenBase = 37;     // 37 + k: start of group k (1..14)
inline constexpr std::uint8_t CloseBase = 52;    // 52 + k: end of group k (1..14)

// UTF-8 text: nodes that take one whole character (1 to 4 bytes; an invalid byte is one).
inline constexpr std::uint8_t AnyU8 = 70;        // "." with s
inline constexpr std::uint8_t AnyButSepU8 = 71;  // "." without s
inline constexpr std::uint8_t WordU8 = 72;       // "\w": a letter, mark, digit or "_"
inline constexpr std::uint8_t NotWordU8 = 73;    // "\W"
// A class of characters: flags byte (kClassNegate, kClassWord, kClassFold), a 128-bit set of
// ASCII members, a 4-byte range count, then each range as two 4-byte code points.
inline constexpr std::uint8_t ClassU8 = 74;
// Literal characters compared through the case folding: their folded forms, NUL-terminated.
inline constexpr std::uint8_t ExactlyFold = 75;

inline constexpr std::uint8_t kClassNegate = 1;
inline constexpr std::uint8_t kClassWord = 2;  // \w inside the class
inline constexpr std::uint8_t kClassFold = 4;  // any case form of a member matches
inline constexpr std::size_t kClassFixed = 1 + 16 + 4;

inline bool isWideOne(std::uint8_t o) { return o >= AnyU8 && o <= ClassU8; }

inline constexpr int kMaxGroups = 14;
inline constexpr std::int32_t kInfinity = 0x7FFFFFFE;  // the maximum of "*", "+" and {n,}
inline constexpr std::size_t kHeader = 5;              // opcode byte + next offset

inline bool isOpen(std::uint8_t o) { return o > OpenBase && o <= OpenBase + kMaxGroups; }
inline bool isClose(std::uint8_t o) { return o > CloseBase && o <= CloseBase + kMaxGroups; }

inline std::int32_t readInt(const std::uint8_t* p) {
    std::int32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
inline void writeInt(std::uint8_t* p, std::int32_t v) { std::memcpy(p, &v, 4); }

// Offset of the node after `node` in its chain, or 0 when the chain ends there.
inline std::size_t next(const std::vector<std::uint8_t>& code, std::size_t node) {
    std::int32_t off = readInt(code.data() + node + 1);
    return off == 0 ? 0 : static_cast<std::size_t>(static_cast<std::ptrdiff_t>(node) + off);
}

inline std::size_t operand(std::size_t node) { return node + kHeader; }

}  // namespace vsr::regexpr::op
