#include "results/row_store.h"

namespace vsr::results {

ResultItem& RowStore::add(ResultItem&& item) {
    ResultItem* place;
    if (!free_.empty()) {
        place = free_.back();
        free_.pop_back();
    } else {
        if (made_ == capacity()) chunks_.push_back(std::make_unique<Chunk>());
        place = &(*chunks_[made_ / kChunkRows])[made_ % kChunkRows];
        ++made_;
    }
    *place = std::move(item);
    return *place;
}

void RowStore::release(ResultItem& row) {
    row = ResultItem{};
    free_.push_back(&row);
}

void RowStore::clear() {
    chunks_.clear();
    chunks_.shrink_to_fit();
    free_.clear();
    free_.shrink_to_fit();
    made_ = 0;
}

}  // namespace vsr::results
