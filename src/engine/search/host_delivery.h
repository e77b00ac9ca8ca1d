#pragma once
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "engine/search/ordered_output.h"
#include "engine/search/run_control.h"
#include "engine/search/search_run.h"
#include "engine/search/search_sink.h"
#include "results/result_list.h"
#include "results/row_formatter.h"

namespace vsr::engine {

// The host's side of a run, on the host's thread: takes the run's output in walk order and
// hands it to the sink, numbers the found files and makes their rows, and lets the host
// process its messages at least every 15 ms. Stop, noticed in one of those passes, ends the
// delivery at once: the host keeps exactly the rows delivered so far.
class HostDelivery {
public:
    HostDelivery(SearchSink& sink, RunControl& control, results::ResultList& list, SearchEnv env)
        : sink_(sink), control_(control), list_(list), env_(env),
          rows_(results::RowServices{env.formats, env.typeNames}) {}

    // Returns when every slot has been delivered or the run was stopped (the stop flag is then
    // set); a slot that ends the run sets the stop flag after its events.
    void deliver(OrderedOutput& output);
    // On the producer's own thread (OrderedOutput::deliverInline): delivers the slots complete
    // now without waiting; once the run is stopped, closes the output.
    void deliverReady(OrderedOutput& output);
    // The files the run left out although they passed the filters, in walk order.
    const std::vector<UnsearchedFile>& unsearched() const { return unsearched_; }

private:
    // Takes (waiting up to `wait`) and delivers one batch; false once every slot was taken.
    bool deliverOnce(OrderedOutput& output, std::chrono::milliseconds wait);
    void deliverEvent(SearchEvent& event);
    void listRow(SearchEvent& event);
    void flushStatus();
    void pumpIfDue();

    SearchSink& sink_;
    RunControl& control_;
    results::ResultList& list_;
    SearchEnv env_;
    results::RowFormatter rows_;
    // Status texts wait for the next pass, row or message; only the last of a panel is shown,
    // so the full name of a file is made only when it is.
    struct PendingStatus {
        bool set = false;
        bool foundCount = false;  // the count of found files, made when shown
        std::string text;         // the text, or the file's name when `folder` is set
        SharedFolder folder;
    };
    PendingStatus status_[3];
    std::string shown_;  // the full name last made
    std::vector<UnsearchedFile> unsearched_;
    std::vector<std::unique_ptr<EventSlot>> taken_;
};

}  // namespace vsr::engine
