#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "engine/index/gram_need.h"
#include "engine/index/index_reader.h"

namespace vsr::engine::index {

// The files of an index that may hold what a query needs: the need's trigrams looked up in
// the posting lists once, before the walk, and kept as one bit per file.
class IndexFilter {
public:
    IndexFilter(const IndexView& view, const GramNeed& need);
    // Whether the filter passes any file over: not when the need says nothing, nor when a
    // posting list it read was damaged (the index then can't be trusted at all).
    bool narrows() const { return narrows_; }
    bool damaged() const { return damaged_; }
    // Whether file `id` may hold the need (always, when the filter does not narrow).
    bool mayHold(std::uint32_t id) const {
        return !narrows_ || id >= fileCount_ || ((*bits_)[id >> 6] >> (id & 63)) & 1;
    }
    // Files that may hold the need, of those the index knows.
    std::size_t candidates() const;

private:
    using Bits = std::vector<std::uint64_t>;
    // Nothing: every file may hold it.
    std::optional<Bits> evaluate(const GramNeed& need);
    std::optional<Bits> gramBits(std::uint32_t gram);

    const IndexView& view_;
    std::uint32_t fileCount_;
    std::optional<Bits> bits_;
    bool narrows_ = false;
    bool damaged_ = false;
    std::vector<std::uint32_t> ids_;
};

}  // namespace vsr::engine::index
