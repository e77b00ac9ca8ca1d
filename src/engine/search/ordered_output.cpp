#include "engine/search/ordered_output.h"

namespace vsr::engine {

EventSlot* OrderedOutput::open() {
    std::unique_lock lock(mutex_);
    room_.wait(lock, [&] { return closed_ || slots_.size() < maxSlots_; });
    if (closed_) return nullptr;
    Entry& e = slots_.emplace_back();
    e.slot = std::make_unique<EventSlot>();
    e.slot->seq = nextSeq_++;
    return e.slot.get();
}

void OrderedOutput::complete(EventSlot* slot) {
    if (!slot) return;
    bool front = false;
    {
        std::lock_guard lock(mutex_);
        if (slot->endsRun) {
            std::uint64_t cut = cutoff_.load(std::memory_order_relaxed);
            if (slot->seq < cut) cutoff_.store(slot->seq, std::memory_order_release);
        }
        // Only slots still waiting are marked; the host may have taken the rest already.
        if (slot->seq < frontSeq_ || slot->seq - frontSeq_ >= slots_.size()) return;
        slots_[slot->seq - frontSeq_].complete = true;
        front = slot->seq == frontSeq_;
    }
    if (front) ready_.notify_one();
}

void OrderedOutput::finish() {
    {
        std::lock_guard lock(mutex_);
        finished_ = true;
    }
    ready_.notify_one();
}

bool OrderedOutput::take(std::vector<std::unique_ptr<EventSlot>>& out, std::chrono::milliseconds wait) {
    std::unique_lock lock(mutex_);
    auto frontReady = [&] { return (!slots_.empty() && slots_.front().complete) || (finished_ && slots_.empty()); };
    if (!frontReady()) ready_.wait_for(lock, wait, frontReady);
    std::size_t taken = 0;
    while (!slots_.empty() && slots_.front().complete) {
        out.push_back(std::move(slots_.front().slot));
        slots_.pop_front();
        ++frontSeq_;
        ++taken;
    }
    const bool more = !(finished_ && slots_.empty());
    lock.unlock();
    if (taken > 0) room_.notify_all();
    return more;
}

void OrderedOutput::close() {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    room_.notify_all();
}

}  // namespace vsr::engine
