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
// Taken as it is, it matches folder patterns; file names go through FileNameMask.
class CompiledMask {
public:
    CompiledMask() = default;
    explicit CompiledMask(std::string_view mask);
    // Matches `name` as it is, or as if "." followed it when `appendDot` is set.
    bool matches(std::string_view name, bool appendDot = false) const;
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

// The one file-name rule, used by the masks, the file ignore list and selection by mask: a mask
// and a name that contain no "." are both matched with "." appended, so "*." and "*" select
// names without an extension, "*.*" selects every name and "a?" needs two characters.
class FileNameMask {
public:
    FileNameMask() = default;
    explicit FileNameMask(std::string_view mask);
    bool matches(std::string_view name) const {
        return compiled_.matches(name, name.find('.') == std::string_view::npos);
    }
    // False for a mask that cannot be parsed (an unclosed set); it matches nothing.
    bool valid() const { return compiled_.valid(); }

private:
    CompiledMask compiled_;
};

// One mask of the list: as typed (trimmed) and as matched ("." appended when it has none).
struct Mask {
    std::string typed;
    std::string matching;
    FileNameMask compiled;
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

// A single file-name mask against a name, by FileNameMask's rule.
bool matchMask(std::string_view mask, std::string_view name);

}  // namespace vsr::engine
