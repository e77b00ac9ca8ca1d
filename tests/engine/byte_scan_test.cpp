#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

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
            EXPECT_EQ(countLineFeeds(view.data(), view.size()),
                      static_cast<std::size_t>(std::count(view.begin(), view.end(), '\n')));
            const bool either = view.find('\0') != std::string_view::npos || view.find('\r') != std::string_view::npos;
            EXPECT_EQ(holdsEither(view, '\0', '\r'), either);
            // A single byte of either kind anywhere, or none.
            std::string plain(size, 'b');
            EXPECT_FALSE(holdsEither(plain, '\0', '\r'));
            EXPECT_EQ(countLineFeeds(plain.data(), plain.size()), 0u);
            if (size > 0) {
                plain[rng() % size] = round % 2 ? '\r' : '\0';
                EXPECT_TRUE(holdsEither(plain, '\0', '\r'));
            }
        }
    }
    const std::string feeds(100000, '\n');
    EXPECT_EQ(countLineFeeds(feeds.data(), feeds.size()), feeds.size());
}

}  // namespace
}  // namespace vsr::engine
