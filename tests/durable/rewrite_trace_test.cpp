#include <gtest/gtest.h>

#include <random>
#include <string>

#include "durable/rewrite_trace.h"

namespace vsr::durable {
namespace {

using State = RewriteTrace::State;
constexpr std::size_t P = RewriteTrace::kPage;

std::string randomBytes(std::mt19937& rng, std::size_t n) {
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>('a' + rng() % 26);
    return s;
}

// Every state an in-place rewrite passes through, as the writer does it: grow with zeros to a
// longer length, write from the start in pages, cut to the new length.
std::vector<std::string> statesOfARewrite(const std::string& before, const std::string& after) {
    std::vector<std::string> states;
    std::string file = before;
    if (after.size() > before.size()) {
        file.resize(after.size(), '\0');
        states.push_back(file);
    }
    for (std::size_t k = 0; k < after.size(); k += P) {
        const std::size_t n = std::min(P, after.size() - k);
        if (file.size() < k + n) file.resize(k + n);
        file.replace(k, n, after, k, n);
        states.push_back(file);
    }
    file.resize(after.size());
    states.push_back(file);
    return states;
}

TEST(RewriteTrace, EveryStateOfAnInterruptedRewriteIsOursAndAnEditIsNot) {
    std::mt19937 rng(7);
    const std::size_t sizes[] = {0, 1, 100, P - 1, P, P + 1, 3 * P + 17, 5 * P};
    for (std::size_t oldSize : sizes)
        for (std::size_t newSize : sizes) {
            const std::string before = randomBytes(rng, oldSize);
            std::string after = randomBytes(rng, newSize);
            if (after == before) continue;
            const RewriteTrace trace = RewriteTrace::of(before, after);
            EXPECT_EQ(trace.classify(before), State::Before) << oldSize << "->" << newSize;
            EXPECT_EQ(trace.classify(after), State::After) << oldSize << "->" << newSize;
            for (const std::string& state : statesOfARewrite(before, after)) {
                const State s = trace.classify(state);
                EXPECT_TRUE(s == State::Between || s == State::After || s == State::Before)
                    << oldSize << "->" << newSize << " at " << state.size();
                // A write cut inside a page.
                if (state.size() > 3) {
                    std::string cut = state;
                    const std::size_t at = rng() % (state.size() - 2) + 1;
                    if (at < after.size()) cut.replace(0, at, after, 0, at);
                    EXPECT_NE(trace.classify(cut), State::Foreign) << oldSize << "->" << newSize;
                }
                if (state.size() < 2 * P + 1) continue;
                // A byte typed in, or bytes changed in two pages, by an editor: someone else's file.
                std::string typed = state;
                typed.insert(rng() % P, 1, '!');
                EXPECT_EQ(trace.classify(typed), State::Foreign) << oldSize << "->" << newSize;
                std::string edited = state;
                edited[rng() % P] ^= 0x20;
                edited[edited.size() - 1 - rng() % P] ^= 0x20;
                EXPECT_EQ(trace.classify(edited), State::Foreign) << oldSize << "->" << newSize;
            }
        }
}

TEST(RewriteTrace, LengthsNoWriteCouldLeaveAreForeign) {
    std::mt19937 rng(3);
    const std::string before = randomBytes(rng, 2 * P + 10);
    const std::string after = randomBytes(rng, 3 * P + 10);
    const RewriteTrace trace = RewriteTrace::of(before, after);
    EXPECT_EQ(trace.classify(""), State::Foreign);  // emptied
    EXPECT_EQ(trace.classify(before.substr(0, P)), State::Foreign);  // cut by someone
    EXPECT_EQ(trace.classify(after + "x"), State::Foreign);  // appended to
    EXPECT_EQ(trace.classify(before + "\n"), State::Foreign);
}

TEST(RewriteTrace, EncodesAndDecodesAndRefusesDamagedText) {
    std::mt19937 rng(5);
    const std::string before = randomBytes(rng, 3 * P + 5);
    const std::string after = randomBytes(rng, P + 3);
    const std::string text = RewriteTrace::of(before, after).encode();
    std::optional<RewriteTrace> back = RewriteTrace::decode(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->encode(), text);
    EXPECT_EQ(back->classify(after), State::After);
    for (const std::string& bad : {std::string(), text.substr(0, text.size() / 2), text + "1 ", "x " + text,
                                   std::string("ffffffffffffffff ffffffffffffffff 0 0 ")})
        EXPECT_FALSE(RewriteTrace::decode(bad)) << bad.substr(0, 40);
}

}  // namespace
}  // namespace vsr::durable
