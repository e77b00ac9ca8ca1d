#include "engine/query/masks.h"

#include "engine/query/query_terms.h"

namespace vsr::engine {
namespace {

unsigned char asciiUpper(unsigned char c) { return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c; }
unsigned char asciiLower(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c; }

void addToSet(std::array<std::uint64_t, 4>& set, unsigned char c) {
    for (unsigned char v : {c, asciiUpper(c), asciiLower(c)}) set[v >> 6] |= std::uint64_t{1} << (v & 63);
}

bool inSet(const std::array<std::uint64_t, 4>& set, unsigned char c) {
    return (set[c >> 6] >> (c & 63)) & 1;
}

}  // namespace

CompiledMask::CompiledMask(std::string_view mask) {
    const std::size_t n = mask.size();
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char c = static_cast<unsigned char>(mask[i]);
        if (c == '*') {
            if (tokens_.empty() || tokens_.back().kind != Kind::Star) tokens_.push_back({Kind::Star, 0, 0});
        } else if (c == '?') {
            // A "?" at the end stands for a set of every code 1..255: exactly one character.
            tokens_.push_back({Kind::AnyOne, 0, 0});
        } else if (c == '[') {
            std::size_t j = i + 1;
            bool negate = j < n && mask[j] == '!';
            if (negate) ++j;
            std::array<std::uint64_t, 4> set{};
            bool closed = false;
            while (j < n) {
                unsigned char a = static_cast<unsigned char>(mask[j]);
                if (a == ']') {
                    closed = true;
                    break;
                }
                if (j + 2 < n && mask[j + 1] == '-' && mask[j + 2] != ']') {
                    unsigned char b = static_cast<unsigned char>(mask[j + 2]);
                    for (int v = a; v <= b; ++v) addToSet(set, static_cast<unsigned char>(v));
                    j += 3;
                } else {
                    addToSet(set, a);
                    ++j;
                }
            }
            if (!closed) {
                tokens_.clear();
                return;  // an unclosed set: the mask matches nothing
            }
            if (negate)
                for (auto& word : set) word = ~word;
            sets_.push_back(set);
            tokens_.push_back({Kind::Set, 0, static_cast<int>(sets_.size() - 1)});
            i = j;
        } else {
            tokens_.push_back({Kind::Literal, asciiUpper(c), 0});
        }
    }
    valid_ = true;
}

bool CompiledMask::matches(std::string_view name, bool appendDot) const {
    if (!valid_) return false;
    const std::size_t nt = tokens_.size();
    const std::size_t nn = name.size() + (appendDot ? 1 : 0);
    std::size_t t = 0, s = 0;
    std::size_t starT = std::string_view::npos, starS = 0;
    // Greedy matching with backtracking to the last "*": linear in practice, never exponential.
    while (s < nn) {
        if (t < nt) {
            const Token& tok = tokens_[t];
            unsigned char c = s < name.size() ? static_cast<unsigned char>(name[s]) : '.';
            bool one = false;
            switch (tok.kind) {
                case Kind::Star:
                    starT = t++;
                    starS = s;
                    continue;
                case Kind::AnyOne: one = true; break;
                case Kind::Literal: one = asciiUpper(c) == tok.ch; break;
                case Kind::Set: one = inSet(sets_[tok.set], c); break;
            }
            if (one) {
                ++t;
                ++s;
                continue;
            }
        }
        if (starT == std::string_view::npos) return false;
        t = starT + 1;
        s = ++starS;
    }
    while (t < nt && tokens_[t].kind == Kind::Star) ++t;
    return t == nt;
}

FileNameMask::FileNameMask(std::string_view mask) {
    if (mask.find('.') != std::string_view::npos) {
        compiled_ = CompiledMask(mask);
        return;
    }
    std::string withDot(mask);
    withDot += '.';
    compiled_ = CompiledMask(withDot);
}

bool MaskList::matchesName(std::string_view name) const {
    for (const Mask& m : masks)
        if (m.compiled.matches(name)) return true;
    return false;
}

ParseMasksResult parseMasks(std::string_view text) {
    ParseMasksResult r;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (r.list.masks.size() == kMaxMasks) {
            r.ok = false;
            r.message = "Too many masks";
            r.list = {};
            return r;
        }
        std::size_t end = text.find(';', pos);
        if (end == std::string_view::npos) end = text.size();
        Mask m;
        m.typed = std::string(trim(text.substr(pos, end - pos)));
        std::string matching = m.typed;
        if (matching.find('.') == std::string::npos) matching += '.';
        m.matching = std::string(trim(matching));
        m.compiled = FileNameMask(m.matching);
        r.list.masks.push_back(std::move(m));
        pos = end + 1;
    }
    for (std::size_t i = 0; i < r.list.masks.size(); ++i) {
        if (i) r.list.normalizedText += "; ";
        r.list.normalizedText += r.list.masks[i].typed;
    }
    return r;
}

bool matchMask(std::string_view mask, std::string_view name) { return FileNameMask(mask).matches(name); }

}  // namespace vsr::engine
