#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <limits>
#include <memory>
#include <mutex>
#include <vector>

#include "engine/search/search_events.h"

namespace vsr::engine {

// The output of a run in walk order. The walk opens slots in order; the thread that examines a
// file completes its slot; the host takes the complete slots from the front, so it sees
// exactly the order of a single-threaded run however the files were shared out. At most
// `maxSlots` slots wait at once: the walk pauses until the host catches up.
//
// The host takes slots in batches: it is woken only when the run ends, when a slot ends the
// run or when the waiting slots fill half the room, and otherwise looks every few
// milliseconds. Waking it for every file would cost a thread switch per file.
class OrderedOutput {
public:
    static constexpr std::uint64_t kNoCut = std::numeric_limits<std::uint64_t>::max();

    explicit OrderedOutput(std::size_t maxSlots) : maxSlots_(maxSlots < 2 ? 2 : maxSlots) {}

    // A new slot after every earlier one; waits while the host is behind. nullptr once closed.
    EventSlot* open();
    // The slot's events are final; a slot that ends the run cuts off every later one.
    void complete(EventSlot* slot);
    // No slot will be opened any more.
    void finish();

    // The number of the first slot known to end the run (kNoCut while none does): work on
    // later slots is wasted, since the host never takes them.
    std::uint64_t cutoff() const { return cutoff_.load(std::memory_order_acquire); }

    // Waits up to `wait` unless woken (see above; a wait of 0 does not), then moves the complete slots at the front
    // into `out`. False once the producer finished and every slot has been taken.
    bool take(std::vector<std::unique_ptr<EventSlot>>& out, std::chrono::milliseconds wait);
    // Slots the host has delivered, kept for reuse so a run does not allocate one per file.
    void recycle(std::vector<std::unique_ptr<EventSlot>>& delivered);
    // The host wants no more: open() returns nullptr from now on.
    void close();

    // One thread both produces and takes: instead of waiting for the host, the producer calls
    // `deliver` (which takes the complete slots) once every `batch` completed slots, when a
    // slot ends the run, and when the room is full. Set before the first slot is opened.
    void deliverInline(std::function<void()> deliver, std::size_t batch);

private:
    void wakeHost();  // with mutex_ held

    const std::size_t maxSlots_;
    std::mutex mutex_;
    std::condition_variable room_;
    std::condition_variable ready_;
    std::deque<std::unique_ptr<EventSlot>> slots_;
    std::vector<std::unique_ptr<EventSlot>> spare_;
    std::uint64_t frontSeq_ = 0;  // the number of slots_.front()
    std::uint64_t nextSeq_ = 0;
    bool finished_ = false;
    bool closed_ = false;
    bool wake_ = false;          // the host should take now rather than at its next look
    bool hostWaiting_ = false;
    bool producerWaiting_ = false;
    std::function<void()> inlineDeliver_;
    std::size_t inlineBatch_ = 0;
    std::size_t inlineCompleted_ = 0;  // slots completed since the last inline delivery
    // Read by every thread before each step; apart from the fields written under the lock.
    alignas(64) std::atomic<std::uint64_t> cutoff_ = kNoCut;
};

}  // namespace vsr::engine
