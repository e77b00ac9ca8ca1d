#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vsr::engine {

// A mask compiled once for fast matching against many names: "*", "?", sets with ranges and
// "!", ASCII letters without regard to case. An unclosed set makes a mask that matches nothing.
class CompiledMask {
public:
    CompiledMask() = default;
    explicit CompiledMask(std::string_view mask);
    // Matches `name` as it is (no "." appended here; see matchFileName).
    bool matches(std::string_view name) const;
    bool valid() const { return valid_; }

private:
    enum class Kind : std::uint8_t { Literal, AnyOne, Star, Set };
    struct Token {
        Kind kind;
        unsigned char ch;  // for Literal: already folded to ASCII upper case
        int set;           // index into sets_ for Set
    };
    std::vector<Token> tokens_;
    std::vector<std::array<std::uint64_t, 4>> sets_;
    bool valid_ = false;
};

// One mask of the list: as typed (trimmed) and as matched ("." appended when it has none).
struct Mask {
    std::string typed;
    std::string matching;
    CompiledMask compiled;
};

inline constexpr std::size_t kMaxMasks = 99;

struct MaskList {
    std::vector<Mask> masks;
    // The typed forms joined by "; ", written back into the masks field.
    std::string normalizedText;
    // Whether `name` passes: the first mask that matches decides.
    bool matchesName(std::string_view name) const;
};

struct ParseMasksResult {
    bool ok = true;
    MaskList list;
    std::string message;  // "Too many masks"
};

// Splits the masks text at ";". The caller has already refused a blank text.
ParseMasksResult parseMasks(std::string_view text);

// Mask matching of a single mask and name, with "." appended to a name that has none.
bool matchMask(std::string_view mask, std::string_view name);

// A name with "." appended when it contains none, as every name is matched.
std::string nameForMatching(std::string_view name);

}  // namespace vsr::engine
