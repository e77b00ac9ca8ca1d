// The output of a run reaches the host in walk order whatever order the files finish in, the
// walk waits while the host is behind, and slots the host delivered are used again.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "engine/search/host_delivery.h"
#include "engine/search/ordered_output.h"
#include "engine/search/recording_host.h"
#include "platform/clock.h"
#include "platform/fake_file_system.h"
#include "platform/locale_formats.h"
#include "platform/type_names.h"

namespace vsr::engine {
namespace {

using Slots = std::vector<std::unique_ptr<EventSlot>>;
constexpr std::chrono::milliseconds kNoWait(0);

TEST(OrderedOutput, HandsOutCompleteSlotsInOrderOnly) {
    OrderedOutput out(16);
    EventSlot* a = out.open();
    EventSlot* b = out.open();
    EventSlot* c = out.open();
    ASSERT_TRUE(a && b && c);
    EXPECT_LT(a->seq, b->seq);
    EXPECT_LT(b->seq, c->seq);
    out.complete(c);
    out.complete(b);
    Slots taken;
    EXPECT_TRUE(out.take(taken, kNoWait));
    EXPECT_TRUE(taken.empty());  // the first is still being examined
    out.complete(a);
    EXPECT_TRUE(out.take(taken, kNoWait));
    ASSERT_EQ(taken.size(), 3u);
    EXPECT_EQ(taken[0].get(), a);
    EXPECT_EQ(taken[2].get(), c);
    out.finish();
    Slots rest;
    EXPECT_FALSE(out.take(rest, kNoWait));
}

TEST(OrderedOutput, TheFirstSlotThatEndsTheRunCutsOffTheLaterOnes) {
    OrderedOutput out(16);
    EventSlot* a = out.open();
    EventSlot* b = out.open();
    EventSlot* c = out.open();
    EXPECT_EQ(out.cutoff(), OrderedOutput::kNoCut);
    c->endsRun = true;
    out.complete(c);
    EXPECT_EQ(out.cutoff(), c->seq);
    b->endsRun = true;
    out.complete(b);
    EXPECT_EQ(out.cutoff(), b->seq);
    out.complete(a);
    EXPECT_EQ(out.cutoff(), b->seq);
}

TEST(OrderedOutput, DeliveredSlotsAreUsedAgainEmpty) {
    OrderedOutput out(16);
    EventSlot* a = out.open();
    a->add().text = "old";
    a->endsRun = true;
    out.complete(a);
    Slots taken;
    out.take(taken, kNoWait);
    ASSERT_EQ(taken.size(), 1u);
    out.recycle(taken);
    EXPECT_TRUE(taken.empty());
    EventSlot* again = out.open();
    EXPECT_EQ(again, a);
    EXPECT_EQ(again->size(), 0u);
    EXPECT_FALSE(again->endsRun);
    EXPECT_EQ(again->seq, 1u);
}

TEST(OrderedOutput, TheWalkWaitsForRoomAndAClosedOutputLetsItGo) {
    OrderedOutput out(4);
    std::atomic<int> opened = 0;
    std::thread walk([&] {
        for (int i = 0; i < 6; ++i) {
            EventSlot* s = out.open();
            if (!s) return;
            out.complete(s);
            ++opened;
        }
    });
    while (opened.load() < 4) std::this_thread::yield();
    EXPECT_EQ(opened.load(), 4);  // no room for a fifth until the host takes
    Slots taken;
    out.take(taken, kNoWait);
    EXPECT_EQ(taken.size(), 4u);
    while (opened.load() < 6) std::this_thread::yield();
    walk.join();

    // A host that wants no more releases a waiting walk at once.
    OrderedOutput full(2);
    full.open();
    full.open();
    std::atomic<bool> gotNull = false;
    std::thread blocked([&] { gotNull = full.open() == nullptr; });
    full.close();
    blocked.join();
    EXPECT_TRUE(gotNull.load());
}

// A used slot keeps its events' fields for the next file: a folder's status text written into
// an event that named a file before shows the folder alone, not the old file's folder joined
// to it, and the file statuses after it still name their files.
TEST(OrderedOutput, ReusedEventsShowTheStatusTheyWereGivenLast) {
    OrderedOutput out(16);
    EventSlot* a = out.open();
    SearchEvent& named = a->add();
    named.kind = SearchEvent::Kind::FileStatus;
    named.folder = std::make_shared<const std::string>("/old");
    named.text = "file.txt";
    out.complete(a);
    Slots taken;
    out.take(taken, kNoWait);
    out.recycle(taken);

    EventSlot* again = out.open();
    ASSERT_EQ(again, a);
    SearchEvent& status = again->add();
    status.kind = SearchEvent::Kind::Status;
    status.panel = kPathPanel;
    status.text = "/data/sub";
    out.complete(again);
    out.finish();

    platform::FakeFileSystem fs;
    platform::FakeClock clock;
    platform::FakeLocaleFormats formats;
    platform::FakeTypeNames types;
    RecordingHost host;
    HostDelivery(host, host, host.list, {fs, clock, formats, types}).deliver(out);
    EXPECT_EQ(host.status[kPathPanel], "/data/sub");

    OrderedOutput next(16);
    EventSlot* b = next.open();
    SearchEvent& file = b->add();
    file.kind = SearchEvent::Kind::FileStatus;
    file.folder = std::make_shared<const std::string>("/data/sub");
    file.text = "b.txt";
    next.complete(b);
    next.finish();
    HostDelivery(host, host, host.list, {fs, clock, formats, types}).deliver(next);
    EXPECT_EQ(host.status[kPathPanel], "/data/sub/b.txt");
}

}  // namespace
}  // namespace vsr::engine
