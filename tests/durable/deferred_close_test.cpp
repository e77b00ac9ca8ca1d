#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <vector>

#include "durable/deferred_close.h"

namespace vsr::durable {
namespace {

// Each pipe's write end is handed over; its read end sees the end of the stream only once the
// write end is really closed (an open one would answer "try again").
TEST(DeferredClose, ClosesEveryHandleByDrainAndByItsEndAlsoBeyondTheQueue) {
    for (const bool byDrain : {true, false}) {
        std::vector<int> readEnds;
        {
            DeferredClose closer(3);
            for (std::size_t i = 0; i < DeferredClose::kQueued * 2 + 5; ++i) {
                int fds[2];
                ASSERT_EQ(::pipe2(fds, O_CLOEXEC | O_NONBLOCK), 0);
                readEnds.push_back(fds[0]);
                closer.close(fds[1]);
            }
            closer.close(-1);  // nothing to close: ignored
            if (byDrain) closer.drain();
        }
        for (int fd : readEnds) {
            char c;
            EXPECT_EQ(::read(fd, &c, 1), 0);
            ::close(fd);
        }
    }
}

}  // namespace
}  // namespace vsr::durable
