#include "engine/search/ordered_output.h"

#include <algorithm>

namespace vsr::engine {

void OrderedOutput::wakeHost() {
    wake_ = true;
    if (hostWaiting_) ready_.notify_one();
}

void OrderedOutput::deliverInline(std::function<void()> deliver, std::size_t batch) {
    inlineDeliver_ = std::move(deliver);
    inlineBatch_ = std::clamp<std::size_t>(batch, 1, maxSlots_ / 2);
}

EventSlot* OrderedOutput::open() {
    if (inlineDeliver_) {
        bool full = false;
        {
            std::lock_guard lock(mutex_);
            full = !closed_ && slots_.size() >= maxSlots_;
        }
        if (full) {
            inlineCompleted_ = 0;
            inlineDeliver_();
        }
    }
    std::unique_lock lock(mutex_);
    if (!inlineDeliver_ && !closed_ && slots_.size() >= maxSlots_) {
        wakeHost();
        producerWaiting_ = true;
        room_.wait(lock, [&] { return closed_ || slots_.size() < maxSlots_; });
        producerWaiting_ = false;
    }
    if (closed_) return nullptr;
    std::unique_ptr<EventSlot>& e = slots_.emplace_back();
    if (spare_.empty()) {
        e = std::make_unique<EventSlot>();
    } else {
        e = std::move(spare_.back());
        spare_.pop_back();
    }
    e->seq = nextSeq_++;
    e->complete.store(false, std::memory_order_relaxed);
    // Half the room taken: the host should not wait for its next look.
    if (slots_.size() == maxSlots_ / 2) wakeHost();
    return e.get();
}

void OrderedOutput::complete(EventSlot* slot) {
    if (!slot) return;
    if (!slot->endsRun) {
        slot->complete.store(true, std::memory_order_release);
        if (inlineDeliver_ && ++inlineCompleted_ >= inlineBatch_) {
            inlineCompleted_ = 0;
            inlineDeliver_();
        }
        return;
    }
    // The cut is known before the slot shows as complete, so no later slot is taken in between;
    // the host is woken after it, so it finds the slot complete.
    {
        std::lock_guard lock(mutex_);
        std::uint64_t cut = cutoff_.load(std::memory_order_relaxed);
        if (slot->seq < cut) cutoff_.store(slot->seq, std::memory_order_release);
    }
    slot->complete.store(true, std::memory_order_release);
    {
        std::lock_guard lock(mutex_);
        wakeHost();
    }
    if (inlineDeliver_) {
        inlineCompleted_ = 0;
        inlineDeliver_();
    }
}

void OrderedOutput::finish() {
    std::lock_guard lock(mutex_);
    finished_ = true;
    wakeHost();
}

bool OrderedOutput::take(std::vector<std::unique_ptr<EventSlot>>& out, std::chrono::milliseconds wait) {
    std::unique_lock lock(mutex_);
    if (!wake_ && wait.count() > 0) {
        hostWaiting_ = true;
        ready_.wait_for(lock, wait, [&] { return wake_; });
        hostWaiting_ = false;
    }
    wake_ = false;
    std::size_t taken = 0;
    while (!slots_.empty() && slots_.front()->complete.load(std::memory_order_acquire)) {
        out.push_back(std::move(slots_.front()));
        slots_.pop_front();
        ++frontSeq_;
        ++taken;
    }
    const bool more = !(finished_ && slots_.empty());
    const bool wakeProducer = taken > 0 && producerWaiting_;
    lock.unlock();
    if (wakeProducer) room_.notify_all();
    return more;
}

void OrderedOutput::recycle(std::vector<std::unique_ptr<EventSlot>>& delivered) {
    std::lock_guard lock(mutex_);
    for (std::unique_ptr<EventSlot>& s : delivered) {
        if (!s || spare_.size() >= maxSlots_) continue;
        s->reset();
        spare_.push_back(std::move(s));
    }
    delivered.clear();
}

void OrderedOutput::close() {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    room_.notify_all();
}

}  // namespace vsr::engine
