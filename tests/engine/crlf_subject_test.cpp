// The one pass that finds a text's NUL and line ends, and the copy that makes its LF line ends
// CR LF, against a byte-by-byte reading of random texts: runs of every length around the
// sixteen-byte blocks, LFs packed together or far apart, a CR or NUL anywhere.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "engine/query/crlf_subject.h"

namespace vsr::engine {
namespace {

TEST(CrLfSubject, CensusAndCopyAgreeWithAByteByByteReading) {
    std::mt19937 rng(4242);
    for (int round = 0; round < 4000; ++round) {
        std::string text;
        // The last rounds: long texts of mostly LFs, more than a byte lane counts unsummed.
        const bool dense = round >= 3900;
        const int length = static_cast<int>(rng() % (round < 2000 ? 80 : dense ? 9000 : 1200));
        const unsigned lfEvery = 1 + rng() % (dense ? 2 : 40);
        for (int k = 0; k < length; ++k) text += rng() % lfEvery == 0 ? '\n' : static_cast<char>('a' + rng() % 26);
        if (rng() % 4 == 0 && !text.empty()) text[rng() % text.size()] = '\r';
        if (rng() % 4 == 0 && !text.empty()) text[rng() % text.size()] = '\0';

        const std::string kept = text.substr(0, text.find('\0'));
        std::size_t lfs = 0;
        for (char c : kept) lfs += c == '\n';
        const LineEndCensus census = lineEndCensus(text);
        ASSERT_EQ(census.length, kept.size()) << round;
        ASSERT_EQ(census.lineFeeds, lfs) << round;
        ASSERT_EQ(census.carriageReturn, kept.find('\r') != std::string::npos) << round;

        std::string want;
        for (char c : text) want += c == '\n' ? std::string("\r\n") : std::string(1, c);
        std::string out(2 * text.size() + kCrLfCopySlack, '#');
        bool clean = false;
        ASSERT_EQ(copyWithCrLf(text, out.data(), clean), want.size()) << round;
        ASSERT_EQ(clean, text.find_first_of(std::string_view("\r\0", 2)) == std::string::npos) << round;
        ASSERT_EQ(out.substr(0, want.size()), want) << round;
    }
}

}  // namespace
}  // namespace vsr::engine
