#pragma once
#include <array>
#include <cstddef>
#include <memory>
#include <vector>

#include "results/result_item.h"

namespace vsr::results {

// Where the rows of a list live. Rows are kept by value in chunks of a few hundred that never
// move once made, so adding a row costs no allocation of its own and no copy of the rows
// before it, and a row's address stays valid while it is in the list: the list orders, sorts
// and removes rows by moving pointers. The room of a removed row is reused by the next row
// added; everything is given back when the store is cleared.
class RowStore {
public:
    RowStore() = default;
    RowStore(const RowStore&) = delete;
    RowStore& operator=(const RowStore&) = delete;
    // Chunks move whole: the rows keep their addresses.
    RowStore(RowStore&&) noexcept = default;
    RowStore& operator=(RowStore&&) noexcept = default;

    // Takes `item` into a free place and returns it.
    ResultItem& add(ResultItem&& item);
    // Gives the row's place back for reuse; its texts are freed now.
    void release(ResultItem& row);
    // Frees every row and every chunk.
    void clear();

    // Rows held, and places made (held + free).
    std::size_t size() const { return made_ - free_.size(); }
    std::size_t capacity() const { return chunks_.size() * kChunkRows; }

private:
    // Some 80 KB a chunk: under the size the allocator maps on its own, so a run of many rows
    // does not map and fault in each chunk anew.
    static constexpr std::size_t kChunkRows = 256;
    using Chunk = std::array<ResultItem, kChunkRows>;

    std::vector<std::unique_ptr<Chunk>> chunks_;
    std::size_t made_ = 0;             // places handed out in order so far
    std::vector<ResultItem*> free_;    // places given back
};

}  // namespace vsr::results
