#pragma once
// The expression compiler's parser state, shared by the files that implement its parts:
// compiler.cpp (passes, emission, grammar), compiler_lexer.cpp (quantifiers, escapes, literal
// characters) and compiler_atoms.cpp (atoms and classes).
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "regexpr/char_tables.h"
#include "regexpr/program.h"

namespace vsr::regexpr::detail {

// What a parsed piece can do; decides which quantifier forms are allowed and how they compile.
enum Flag : int {
    kWorst = 0,
    kHasWidth = 1,  // never matches the empty string
    kSimple = 2,    // exactly one character: a one-character repeat can take it
    kSpStart = 4,   // starts with a repeated piece
    kNop = 8,       // a comment or inline modifier: nothing a quantifier could repeat
    kWide = 16,     // with kSimple: one UTF-8 character of 1 to 4 bytes
};

struct Quantifier {
    std::int32_t min = 0;
    std::int32_t max = 0;
    bool lazyMark = false;
    char kind = 0;  // '*', '+', '?' or '{'
};

inline bool isHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
inline int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return c - 'A' + 10;
}
inline bool isDigit(char c) { return c >= '0' && c <= '9'; }
inline bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

inline unsigned modifierBit(char c) {
    switch (c) {
    case 'i': case 'I': return kModI;
    case 'r': case 'R': return kModR;
    case 's': case 'S': return kModS;
    case 'g': case 'G': return kModG;
    case 'm': case 'M': return kModM;
    case 'x': case 'X': return kModX;
    default: return 0;
    }
}

class Compiler {
public:
    Compiler(std::string_view re, unsigned modifiers, const CharTables& tables)
        : re_(re), initialMods_(modifiers), t_(tables) {}
    Program run();

private:
    [[noreturn]] void fail(int code, std::size_t at) const;

    void pass(bool sizing);

    // ---- emission -------------------------------------------------------------------------
    void need(std::size_t bytes);

    void emitByte(std::uint8_t b);

    void emitInt(std::int32_t v);

    std::size_t emitNode(std::uint8_t opcode);

    // Inserts a node (with room for its operand bytes) in front of the operand already emitted at `at`.
    void insertNode(std::uint8_t opcode, std::size_t at, std::size_t operandBytes);

    void setIntAt(std::size_t at, std::int32_t v);

    // Links the last node of the chain starting at p to val.
    void tail(std::size_t p, std::size_t val);

    // Links the end of a branch's operand chain to val.
    void opTail(std::size_t p, std::size_t val);

    // ---- scanning helpers -----------------------------------------------------------------
    bool extended() const { return (mods_ & kModX) != 0; }
    std::size_t skipExtendedFrom(std::size_t at) const;
    void skipExtended() { p_ = skipExtendedFrom(p_); }

    // "{n}", "{n,}" or "{n,m}" at `at`; anything else leaves the brace an ordinary character.
    bool braceSyntax(std::size_t at, std::size_t* after = nullptr) const;

    bool quantifierAt(std::size_t at) const;

    std::int32_t braceNumber(std::size_t& i, std::size_t bracePos) const;

    bool parseQuantifier(Quantifier& q);

    // "\x41" or "\x{41}"; `i` is just past the "x".
    int parseHex(std::size_t& i) const;

    // The single character an escape stands for (t, n, r, f, a, e, x and "itself");
    // `i` points at the character after the backslash and moves past the escape.
    int escapedChar(std::size_t& i) const;

    // A character of a literal run at `at`: an ordinary character, an escape for one character,
    // or a brace that starts no quantifier.
    bool literalItemAt(std::size_t at, int& ch, std::size_t& after) const;

    // ---- grammar --------------------------------------------------------------------------
    std::size_t parseReg(bool paren, int& flags, std::size_t openPos);

    std::size_t parseBranch(int& flags);

    std::size_t parsePiece(int& flags);

    std::size_t emitSet(const std::array<bool, 256>& set, bool negate);

    // UTF-8: a class of characters (opcodes.h, ClassU8); ranges hold code points from 0x80 on.
    std::size_t emitClassU8(const std::array<bool, 128>& ascii, const std::vector<std::pair<char32_t, char32_t>>& ranges,
                            std::uint8_t classFlags);
    std::size_t parseClassU8(int& flags);
    // UTF-8: the character of the expression at `i` (decoded; an invalid byte as itself).
    char32_t exprChar(std::size_t& i) const;

    void addRange(std::array<bool, 256>& set, int from, int to);

    std::size_t parseClass(int& flags);

    std::size_t parseLiteralRun(int& flags);

    std::size_t parseAtom(int& flags);

    std::size_t parseSpecialGroup(int& flags);

    std::size_t parseEscapeAtom(int& flags);

    // A NUL, written as such or as "\x00": the input ends at its first NUL, so this never matches.
    std::size_t emitNulAtom();

    std::string_view re_;
    unsigned initialMods_;
    const CharTables& t_;
    unsigned mods_ = 0;
    std::size_t p_ = 0;
    int groups_ = 0;
    bool sizing_ = true;
    std::size_t cur_ = 0;
    std::vector<std::uint8_t> code_;
};

}  // namespace vsr::regexpr::detail
