// A text fed piece by piece comes out in runs of whole lines that add up to the text (up to its
// first NUL byte), whatever the pieces; a line longer than the room ends it as overlong.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "engine/search/line_chunks.h"

namespace vsr::engine {
namespace {

struct Fed {
    std::vector<std::string> runs;
    bool ended = false;  // end() said the text was taken whole
};

// Feeds `text` as a read would, in pieces of at most `piece` bytes each into the sink's room.
Fed feed(LineChunks& chunks, const std::string& text, std::mt19937& rng, std::size_t piece) {
    Fed fed;
    chunks.begin([&](std::string_view lines) {
        fed.runs.emplace_back(lines);
        return true;
    });
    std::uniform_int_distribution<std::size_t> size(1, piece);
    for (std::size_t at = 0; at < text.size();) {
        const std::span<char> room = chunks.room();
        const std::size_t n = std::min({room.size(), size(rng), text.size() - at});
        std::copy_n(text.data() + at, n, room.data());
        at += n;
        if (!chunks.arrived(n)) break;
    }
    fed.ended = chunks.end();
    return fed;
}

TEST(LineChunks, RunsOfWholeLinesAddUpToTheTextBeforeItsNul) {
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> lineLength(0, 40), byte(0, 30);
    constexpr std::size_t kRoom = 64;
    for (int trial = 0; trial < 300; ++trial) {
        std::string text;
        const int lines = trial % 20;
        for (int l = 0; l < lines; ++l) {
            text += std::string(static_cast<std::size_t>(lineLength(rng)), 'a');
            text += byte(rng) == 0 ? "\r" : byte(rng) == 1 ? "\r\n" : "\n";
        }
        if (trial % 3 == 0) text += "tail";
        if (trial % 7 == 0) text.insert(text.size() / 2, 1, '\0');
        LineChunks chunks(kRoom);
        const Fed fed = feed(chunks, text, rng, 1 + trial % 50);
        const std::string expected = text.substr(0, text.find('\0'));
        std::string joined;
        for (std::size_t i = 0; i < fed.runs.size(); ++i) {
            joined += fed.runs[i];
            // A run never ends between the CR and the LF of one line end.
            if (i + 1 < fed.runs.size()) {
                EXPECT_TRUE(fed.runs[i].back() == '\n' || fed.runs[i].back() == '\r') << trial;
                EXPECT_FALSE(fed.runs[i].back() == '\r' && fed.runs[i + 1].front() == '\n') << trial;
            }
            EXPECT_LE(fed.runs[i].size(), kRoom);
        }
        EXPECT_TRUE(fed.ended) << trial;
        EXPECT_EQ(joined, expected) << trial;
    }
}

TEST(LineChunks, ALineLongerThanTheRoomIsOverlongAndARefusalEndsTheText) {
    std::mt19937 rng(3);
    LineChunks chunks(64);
    Fed fed = feed(chunks, "short\n" + std::string(100, 'b') + "\nlast\n", rng, 10);
    EXPECT_FALSE(fed.ended);
    EXPECT_TRUE(chunks.overlong());

    int taken = 0;
    chunks.begin([&](std::string_view) { return ++taken < 2; });
    const std::string text = std::string(40, 'c') + "\n" + std::string(40, 'd') + "\n" + std::string(40, 'e') + "\n";
    for (std::size_t at = 0; at < text.size();) {
        const std::span<char> room = chunks.room();
        const std::size_t n = std::min<std::size_t>({room.size(), 20, text.size() - at});
        std::copy_n(text.data() + at, n, room.data());
        at += n;
        if (!chunks.arrived(n)) break;
    }
    EXPECT_FALSE(chunks.end());
    EXPECT_FALSE(chunks.overlong());
    EXPECT_EQ(taken, 2);
}

}  // namespace
}  // namespace vsr::engine
