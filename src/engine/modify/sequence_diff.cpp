#include "engine/modify/sequence_diff.h"

#include <cstring>
#include <string>

namespace vsr::engine {
namespace {


template <typename Symbol>
class Differ {
public:
    Differ(std::span<const Symbol> a, std::span<const Symbol> b) : a_(a), b_(b) {}

    std::vector<DiffChange> run() {
        compare(0, a_.size(), 0, b_.size());
        std::vector<DiffChange> out;
        // The equal pairs found, in order; the gaps between them are the changes.
        std::size_t ai = 0, bi = 0;
        auto gap = [&](std::size_t aTo, std::size_t bTo) {
            if (ai < aTo || bi < bTo) out.push_back({ai, aTo, bi, bTo});
        };
        for (const auto& [x, y] : equal_) {
            gap(x, y);
            ai = x + 1;
            bi = y + 1;
        }
        gap(a_.size(), b_.size());
        return out;
    }

private:
    // Records the equal pairs of a[a0, a1) and b[b0, b1), in order.
    void compare(std::size_t a0, std::size_t a1, std::size_t b0, std::size_t b1) {
        std::size_t prefix = 0;
        while (a0 + prefix < a1 && b0 + prefix < b1 && a_[a0 + prefix] == b_[b0 + prefix]) ++prefix;
        for (std::size_t i = 0; i < prefix; ++i) equal_.emplace_back(a0 + i, b0 + i);
        a0 += prefix;
        b0 += prefix;
        std::size_t suffix = 0;
        while (a0 < a1 - suffix && b0 < b1 - suffix && a_[a1 - suffix - 1] == b_[b1 - suffix - 1]) ++suffix;
        a1 -= suffix;
        b1 -= suffix;
        if (a0 < a1 && b0 < b1) {
            std::size_t x = 0, y = 0;
            if (split(a0, a1, b0, b1, x, y)) {
                compare(a0, x, b0, y);
                compare(x, a1, y, b1);
            } else if (a1 - a0 == b1 - b0) {
                for (std::size_t i = 0; a0 + i < a1; ++i)
                    if (a_[a0 + i] == b_[b0 + i]) equal_.emplace_back(a0 + i, b0 + i);
            }
        }
        for (std::size_t i = 0; i < suffix; ++i) equal_.emplace_back(a1 + i, b1 + i);
    }

    // The middle of an optimal path through a[a0, a1) and b[b0, b1) (both non-empty, differing
    // at both ends): searched from both corners until the paths meet. False past kMaxDiffCost.
    bool split(std::size_t a0, std::size_t a1, std::size_t b0, std::size_t b1, std::size_t& sx, std::size_t& sy) {
        const std::int64_t n = static_cast<std::int64_t>(a1 - a0);
        const std::int64_t m = static_cast<std::int64_t>(b1 - b0);
        const std::int64_t maxD = std::min<std::int64_t>((n + m + 1) / 2, kMaxDiffCost);
        const std::int64_t offset = maxD + 1;
        const std::int64_t length = 2 * offset + 2;
        forward_.assign(static_cast<std::size_t>(length), -1);
        backward_.assign(static_cast<std::size_t>(length), -1);
        forward_[static_cast<std::size_t>(offset + 1)] = 0;
        backward_[static_cast<std::size_t>(offset + 1)] = 0;
        const std::int64_t delta = n - m;
        const bool odd = (delta & 1) != 0;
        std::int64_t k1start = 0, k1end = 0, k2start = 0, k2end = 0;
        auto A = [&](std::int64_t i) { return a_[a0 + static_cast<std::size_t>(i)]; };
        auto B = [&](std::int64_t i) { return b_[b0 + static_cast<std::size_t>(i)]; };
        auto fw = [&](std::int64_t k) -> std::int64_t& { return forward_[static_cast<std::size_t>(offset + k)]; };
        auto bw = [&](std::int64_t k) -> std::int64_t& { return backward_[static_cast<std::size_t>(offset + k)]; };
        for (std::int64_t d = 0; d < maxD; ++d) {
            for (std::int64_t k = -d + k1start; k <= d - k1end; k += 2) {
                std::int64_t x = (k == -d || (k != d && fw(k - 1) < fw(k + 1))) ? fw(k + 1) : fw(k - 1) + 1;
                std::int64_t y = x - k;
                while (x < n && y < m && A(x) == B(y)) ++x, ++y;
                fw(k) = x;
                if (x > n) k1end += 2;
                else if (y > m) k1start += 2;
                else if (odd) {
                    const std::int64_t kb = delta - k;
                    if (kb >= -offset && kb < length - offset && bw(kb) != -1 && x >= n - bw(kb)) {
                        sx = a0 + static_cast<std::size_t>(x);
                        sy = b0 + static_cast<std::size_t>(y);
                        return true;
                    }
                }
            }
            for (std::int64_t k = -d + k2start; k <= d - k2end; k += 2) {
                std::int64_t x = (k == -d || (k != d && bw(k - 1) < bw(k + 1))) ? bw(k + 1) : bw(k - 1) + 1;
                std::int64_t y = x - k;
                while (x < n && y < m && A(n - x - 1) == B(m - y - 1)) ++x, ++y;
                bw(k) = x;
                if (x > n) k2end += 2;
                else if (y > m) k2start += 2;
                else if (!odd) {
                    const std::int64_t kf = delta - k;
                    if (kf >= -offset && kf < length - offset && fw(kf) != -1) {
                        const std::int64_t fx = fw(kf);
                        const std::int64_t fy = fx - kf;
                        if (fx >= n - x) {
                            sx = a0 + static_cast<std::size_t>(fx);
                            sy = b0 + static_cast<std::size_t>(fy);
                            return true;
                        }
                    }
                }
            }
        }
        return false;
    }

    std::span<const Symbol> a_;
    std::span<const Symbol> b_;
    std::vector<std::pair<std::size_t, std::size_t>> equal_;
    std::vector<std::int64_t> forward_;
    std::vector<std::int64_t> backward_;
};

}  // namespace

std::vector<DiffChange> diffSymbols(std::span<const std::uint32_t> a, std::span<const std::uint32_t> b) {
    return Differ<std::uint32_t>(a, b).run();
}

std::vector<std::string_view> splitDiffLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t lf = text.find('\n', start);
        const std::size_t end = lf == std::string_view::npos ? text.size() : lf + 1;
        lines.push_back(text.substr(start, end - start));
        start = end;
    }
    return lines;
}

namespace {

// A hash of a line's bytes, eight at a time: only for sharing lines out over the table below;
// equal hashes are always confirmed byte for byte.
std::uint64_t lineHash(std::string_view line) {
    std::uint64_t h = 0x9E3779B97F4A7C15ull ^ (line.size() * 0xC2B2AE3D27D4EB4Full);
    const char* p = line.data();
    std::size_t n = line.size();
    for (; n >= 8; p += 8, n -= 8) {
        std::uint64_t w;
        std::memcpy(&w, p, 8);
        h = (h ^ w) * 0xFF51AFD7ED558CCDull;
        h ^= h >> 32;
    }
    if (n > 0) {
        std::uint64_t w = 0;
        std::memcpy(&w, p, n);
        h = (h ^ w) * 0xC4CEB9FE1A85EC53ull;
    }
    return h ^ (h >> 29);
}

// Gives every distinct line a number: an open-addressing table sized once for all the lines,
// so numbering costs one hash and (for a line seen before) one comparison, and no allocation
// per line.
class LineNumbering {
public:
    explicit LineNumbering(std::size_t lines) {
        std::size_t size = 16;
        while (size < 2 * lines) size <<= 1;
        slots_.assign(size, Slot{});
        mask_ = size - 1;
    }
    std::uint32_t number(std::string_view line) {
        const std::uint64_t h = lineHash(line);
        for (std::size_t i = static_cast<std::size_t>(h) & mask_;; i = (i + 1) & mask_) {
            Slot& slot = slots_[i];
            if (slot.id == kFree) {
                slot = {h, line.data(), line.size(), next_};
                return next_++;
            }
            if (slot.hash == h && slot.size == line.size() && std::memcmp(slot.data, line.data(), line.size()) == 0)
                return slot.id;
        }
    }

private:
    struct Slot {
        std::uint64_t hash = 0;
        const char* data = nullptr;
        std::size_t size = 0;
        std::uint32_t id = kFree;
    };
    static constexpr std::uint32_t kFree = 0xFFFFFFFFu;
    std::vector<Slot> slots_;
    std::size_t mask_ = 0;
    std::uint32_t next_ = 0;
};

// Whether every pair the changes leave equal is equal byte for byte.
bool pairsEqual(const std::vector<std::string_view>& a, const std::vector<std::string_view>& b,
                const std::vector<DiffChange>& changes) {
    std::size_t ai = 0, bi = 0;
    auto same = [&](std::size_t aTo) {
        for (; ai < aTo; ++ai, ++bi)
            if (a[ai] != b[bi]) return false;
        return true;
    };
    for (const DiffChange& c : changes) {
        if (!same(c.aBegin)) return false;
        ai = c.aEnd;
        bi = c.bEnd;
    }
    return same(a.size());
}

}  // namespace

std::vector<DiffChange> diffLines(const std::vector<std::string_view>& a, const std::vector<std::string_view>& b) {
    return diffLines(a, b, lineHash);
}

std::vector<DiffChange> diffLines(const std::vector<std::string_view>& a, const std::vector<std::string_view>& b,
                                  LineHash hash) {
    // Lines are compared by their 64-bit hashes, read in one pass with no table; the equal
    // lines of the answer are then confirmed byte for byte. Only if two different lines share
    // a hash are the lines numbered exactly (equal lines the same number) and diffed again.
    auto hashes = [hash](const std::vector<std::string_view>& lines) {
        std::vector<std::uint64_t> out(lines.size());
        for (std::size_t i = 0; i < lines.size(); ++i) out[i] = hash(lines[i]);
        return out;
    };
    const std::vector<std::uint64_t> ha = hashes(a);
    const std::vector<std::uint64_t> hb = hashes(b);
    std::vector<DiffChange> changes = Differ<std::uint64_t>(ha, hb).run();
    if (pairsEqual(a, b, changes)) return changes;

    LineNumbering ids(a.size() + b.size());
    auto number = [&](const std::vector<std::string_view>& lines) {
        std::vector<std::uint32_t> out(lines.size());
        for (std::size_t i = 0; i < lines.size(); ++i) out[i] = ids.number(lines[i]);
        return out;
    };
    const std::vector<std::uint32_t> na = number(a);
    const std::vector<std::uint32_t> nb = number(b);
    return diffSymbols(na, nb);
}

}  // namespace vsr::engine
