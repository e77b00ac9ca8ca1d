#include "engine/search/host_delivery.h"

#include <chrono>
#include <memory>
#include <vector>

#include "results/row_texts.h"
#include "results/status_texts.h"

namespace vsr::engine {
namespace {

constexpr int kPumpIntervalMs = 15;
// How often the host takes the finished slots; it is woken sooner when the run ends, a file
// ends it or the waiting slots fill half their room.
constexpr std::chrono::milliseconds kWait(5);

}  // namespace

void HostDelivery::pumpIfDue() {
    RunState& s = control_.runState();
    const std::int64_t now = env_.clock.tickMs();
    if (now - s.lastPumpMs > kPumpIntervalMs) {
        flushStatus();
        control_.pumpMessages();
        s.lastPumpMs = env_.clock.tickMs();
    }
}

void HostDelivery::flushStatus() {
    for (PendingStatus& pending : status_) {
        if (!pending.set) continue;
        pending.set = false;
        const int panel = static_cast<int>(&pending - status_);
        if (pending.foundCount) {
            sink_.setStatusText(panel, results::searchCountText(list_.tab, control_.runState().foundFiles));
            continue;
        }
        if (!pending.folder) {
            sink_.setStatusText(panel, pending.text);
            continue;
        }
        shown_.assign(*pending.folder);
        if (shown_.empty() || shown_.back() != '/') shown_ += '/';
        shown_ += pending.text;
        pending.folder.reset();
        sink_.setStatusText(panel, shown_);
    }
}

void HostDelivery::listRow(SearchEvent& event) {
    RunState& s = control_.runState();
    const results::ResultList& list = list_;
    ++s.foundFiles;
    status_[kCountPanel].set = true;
    status_[kCountPanel].foundCount = true;
    results::ResultItem item;
    item.name = std::move(event.entry.name);
    item.path = std::move(event.text);
    if (!list.foundColumnAbsent()) results::fillFoundColumn(item, event.counts);
    item.fileEncoding = std::move(event.caption);
    rows_.fillFileColumns(item, event.entry.info);
    if (event.entry.infoLoaded) {
        item.device = event.entry.info.device;
        item.inode = event.entry.info.inode;
    }
    sink_.rowFound(std::move(item), event.counts);
}

void HostDelivery::deliverEvent(SearchEvent& event) {
    using Kind = SearchEvent::Kind;
    if (event.kind == Kind::Status || event.kind == Kind::FileStatus) {
        const int panel = event.kind == Kind::FileStatus ? kPathPanel : event.panel;
        if (panel < 0 || panel >= 3) return;
        PendingStatus& pending = status_[panel];
        pending.set = true;
        pending.foundCount = false;
        // Copied, not taken: the event's string and this one both keep their room. A reused
        // event may still hold the folder of an earlier file status; only this kind has one.
        pending.text.assign(event.text);
        if (event.kind == Kind::FileStatus)
            pending.folder = std::move(event.folder);
        else
            pending.folder.reset();
        return;
    }
    if (event.kind == Kind::Row) {
        listRow(event);
        return;
    }
    flushStatus();
    switch (event.kind) {
        case Kind::Message: sink_.message(event.caption, event.text, event.icon); break;
        case Kind::NotSearched: unsearched_.push_back({event.text, event.caption}); break;
        case Kind::FoundColumnRemoved: list_.removeFoundColumn(); break;
        case Kind::ExpressionCharacter:
            sink_.selectExpressionCharacter(static_cast<Tab>(event.panel), event.position);
            break;
        default: break;
    }
}

bool HostDelivery::deliverOnce(OrderedOutput& output, std::chrono::milliseconds wait) {
    RunState& s = control_.runState();
    taken_.clear();
    const bool more = output.take(taken_, wait);
    for (std::unique_ptr<EventSlot>& slot : taken_) {
        pumpIfDue();
        if (s.stop) break;
        for (SearchEvent& e : slot->events()) deliverEvent(e);
        if (slot->endsRun) {
            s.stop = true;
            break;
        }
    }
    if (taken_.empty()) pumpIfDue();
    output.recycle(taken_);
    return more;
}

void HostDelivery::deliver(OrderedOutput& output) {
    RunState& s = control_.runState();
    bool more = true;
    while (more && !s.stop) more = deliverOnce(output, kWait);
    flushStatus();
    output.close();
}

void HostDelivery::deliverReady(OrderedOutput& output) {
    RunState& s = control_.runState();
    if (!s.stop) deliverOnce(output, std::chrono::milliseconds(0));
    // Stopped: the walk's next slot finds the output closed, as with a host of its own thread.
    if (s.stop) output.close();
}

}  // namespace vsr::engine
