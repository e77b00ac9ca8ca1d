#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "engine/modify/byte_scan.h"

namespace vsr::engine {
namespace {

// Every length and offset around the widths the scans take at a time, and blocks long enough
// for the counts kept per byte to be summed more than once.
TEST(ByteScan, AgreesWithAPlainLoop) {
    std::mt19937 rng(3);
    for (const std::size_t size : {0u, 1u, 15u, 16u, 17u, 31u, 32u, 33u, 63u, 64u, 65u, 200u, 8200u, 70000u}) {
        for (int round = 0; round < 20; ++round) {
            std::string text(size + 3, 'x');
            const int density = 1 + static_cast<int>(rng() % 40);
            for (char& ch : text) {
                const unsigned r = rng() % 100;
                ch = r < static_cast<unsigned>(density) ? '\n' : r == 99 ? '\r' : r == 98 ? '\0' : 'a';
            }
            const std::size_t offset = rng() % 4;
            const std::string_view view(text.data() + offset, std::min(size, text.size() - offset));
            SCOPED_TRACE(std::to_string(size) + " at " + std::to_string(offset));
            const bool either = view.find('\0') != std::string_view::npos || view.find('\r') != std::string_view::npos;
            EXPECT_EQ(holdsEither(view, '\0', '\r'), either);
            const SpanScan span = scanSpan(view.data(), view.size());
            EXPECT_EQ(span.feeds, static_cast<std::size_t>(std::count(view.begin(), view.end(), '\n')));
            if (span.feeds > 0) {
                EXPECT_EQ(span.lastFeed, view.rfind('\n'));
            }
            EXPECT_EQ(span.nulOrCr, either);
            // A single byte of either kind anywhere, or none; a single line feed anywhere.
            std::string plain(size, 'b');
            EXPECT_FALSE(holdsEither(plain, '\0', '\r'));
            EXPECT_EQ(scanSpan(plain.data(), plain.size()).feeds, 0u);
            EXPECT_FALSE(scanSpan(plain.data(), plain.size()).nulOrCr);
            if (size > 0) {
                const std::size_t at = rng() % size;
                plain[at] = '\n';
                const SpanScan one = scanSpan(plain.data(), plain.size());
                EXPECT_EQ(one.feeds, 1u);
                EXPECT_EQ(one.lastFeed, at);
                EXPECT_FALSE(one.nulOrCr);
                plain[at] = round % 2 ? '\r' : '\0';
                EXPECT_TRUE(holdsEither(plain, '\0', '\r'));
                EXPECT_TRUE(scanSpan(plain.data(), plain.size()).nulOrCr);
            }
        }
    }
    // More line feeds than a byte counts, in one block and over many.
    const std::string feeds(100000, '\n');
    const SpanScan all = scanSpan(feeds.data(), feeds.size());
    EXPECT_EQ(all.feeds, feeds.size());
    EXPECT_EQ(all.lastFeed, feeds.size() - 1);
}

// The k-th line feed from either end, over lengths around the widths looked at a time and
// counts around those a piece holds: the offset a plain loop finds, or the length and (from
// the start) the number there are when there are fewer.
TEST(ByteScan, FindsTheKthLineFeedFromEitherEnd) {
    std::mt19937 rng(11);
    for (const std::size_t size : {0u, 1u, 2u, 31u, 32u, 33u, 64u, 65u, 100u, 1000u}) {
        for (int round = 0; round < 30; ++round) {
            std::string text(size, 'x');
            const unsigned density = 1 + rng() % 60;
            for (char& ch : text)
                if (rng() % 100 < density) ch = '\n';
            std::vector<std::size_t> feeds;
            for (std::size_t i = 0; i < size; ++i)
                if (text[i] == '\n') feeds.push_back(i);
            for (std::size_t k = 1; k <= feeds.size() + 2; ++k) {
                SCOPED_TRACE(std::to_string(size) + " k " + std::to_string(k) + " round " + std::to_string(round));
                std::size_t seen = 99;
                const std::size_t forward = nthFeed(text.data(), size, k, seen);
                if (k <= feeds.size()) {
                    EXPECT_EQ(forward, feeds[k - 1]);
                    EXPECT_EQ(nthFeedBack(text.data(), size, k), feeds[feeds.size() - k]);
                } else {
                    EXPECT_EQ(forward, size);
                    EXPECT_EQ(seen, feeds.size());
                    EXPECT_EQ(nthFeedBack(text.data(), size, k), size);
                }
            }
        }
    }
}

}  // namespace
}  // namespace vsr::engine
