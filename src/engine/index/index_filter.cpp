#include "engine/index/index_filter.h"

#include <bit>

namespace vsr::engine::index {

IndexFilter::IndexFilter(const IndexView& view, const GramNeed& need) : view_(view), fileCount_(view.fileCount()) {
    if (need.anything()) return;
    bits_ = evaluate(need);
    narrows_ = bits_.has_value() && !damaged_;
}

std::optional<IndexFilter::Bits> IndexFilter::gramBits(std::uint32_t gram) {
    Bits bits((fileCount_ + 63) / 64, 0);
    if (view_.postings(gram, ids_) == IndexView::Postings::Damaged) {
        damaged_ = true;
        return std::nullopt;
    }
    for (std::uint32_t id : ids_) bits[id >> 6] |= 1ULL << (id & 63);
    return bits;
}

std::optional<IndexFilter::Bits> IndexFilter::evaluate(const GramNeed& need) {
    if (damaged_ || need.anything()) return std::nullopt;
    std::optional<Bits> out;
    auto combine = [&](std::optional<Bits> part, bool all) {
        if (!part) {
            // A part that holds everywhere: nothing for All, everything for OneOf.
            if (!all) out.reset();
            return !all;
        }
        if (!out) out = std::move(part);
        else
            for (std::size_t i = 0; i < out->size(); ++i) (*out)[i] = all ? ((*out)[i] & (*part)[i]) : ((*out)[i] | (*part)[i]);
        return false;
    };
    if (need.kind == GramNeed::Kind::All) {
        for (std::uint32_t g : need.grams) {
            combine(gramBits(g), true);
            if (damaged_) return std::nullopt;
        }
        for (const GramNeed& p : need.parts) {
            combine(evaluate(p), true);
            if (damaged_) return std::nullopt;
        }
        return out;
    }
    for (const GramNeed& p : need.parts) {
        std::optional<Bits> part = evaluate(p);
        if (damaged_) return std::nullopt;
        if (combine(std::move(part), false)) return std::nullopt;
    }
    return out;
}

std::size_t IndexFilter::candidates() const {
    if (!narrows_) return fileCount_;
    std::size_t n = 0;
    for (std::uint64_t w : *bits_) n += static_cast<std::size_t>(std::popcount(w));
    return n;
}

}  // namespace vsr::engine::index
