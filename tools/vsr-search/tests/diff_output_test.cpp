#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <string>
#include <thread>

#include "diff_output.h"

namespace vsr::tools {
namespace {

// Everything written to the stream, in the order it reached the descriptor.
std::string contentsOf(std::FILE* file) {
    std::fflush(file);
    std::string out;
    char buffer[1 << 16];
    std::rewind(file);
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) out.append(buffer, n);
    return out;
}

// Text the stream buffered before a diff was taken goes out before the diff, and the diffs keep
// the order they were taken in across every batch: many small ones (more than one writev takes)
// and a few larger than a batch.
TEST(DiffOutput, KeepsTheOrderOfTheStreamAndOfTheDiffsAcrossBatches) {
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    std::string expected;
    {
        DiffOutput out(file);
        std::fputs("head\n", file);
        expected += "head\n";
        for (int i = 0; i < 3000; ++i) {
            std::string diff = "--- a/" + std::to_string(i) + "\n";
            if (i % 1000 == 999) diff += std::string(600000 + i, 'x') + "\n";
            expected += diff;
            out.take(diff);
            EXPECT_TRUE(diff.empty());
            if (i == 1500) {
                // What the stream buffers after some diffs were taken follows them.
                out.flush();
                std::fputs("middle\n", file);
                expected += "middle\n";
            }
        }
        std::string empty;
        out.take(empty);
    }  // the rest is written when the output ends
    EXPECT_EQ(contentsOf(file), expected);
    std::fclose(file);
}

// Through a pipe far smaller than a batch, read while it is written, every diff arrives whole
// and in order.
TEST(DiffOutput, ReachesAPipeWholeAndInOrder) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    std::string received;
    std::thread reader([&] {
        char buffer[4096];
        for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) received.append(buffer, static_cast<std::size_t>(n));
    });
    std::FILE* file = ::fdopen(fds[1], "w");
    ASSERT_NE(file, nullptr);
    std::string expected;
    {
        DiffOutput out(file);
        for (int i = 0; i < 40; ++i) {
            std::string diff(100000 + i * 977, static_cast<char>('a' + i % 26));
            expected += diff;
            out.take(diff);
        }
        EXPECT_TRUE(out.flush());
    }
    std::fclose(file);
    reader.join();
    ::close(fds[0]);
    EXPECT_EQ(received, expected);
}

}  // namespace
}  // namespace vsr::tools
