#include <gtest/gtest.h>

#include <random>
#include <string>

#include "engine/query/case_fold.h"

namespace vsr::engine {
namespace {

// The vector path must agree with the table byte for byte, for every page, mixed ASCII and
// non-ASCII blocks and every tail length.
TEST(FoldUpper, AgreesWithTheTableOnEveryPage) {
    std::mt19937 rng(7);
    for (platform::CodePageId id : {platform::CodePageId::Windows1252, platform::CodePageId::Windows1250,
                                    platform::CodePageId::Windows1251, platform::CodePageId::Iso8859_1,
                                    platform::CodePageId::Iso8859_15}) {
        const platform::CodePage& page = platform::CodePage::get(id);
        for (int round = 0; round < 200; ++round) {
            std::string text(rng() % 100, '\0');
            bool asciiOnly = round % 2 == 0;
            for (char& c : text) c = static_cast<char>(asciiOnly ? rng() % 128 : rng() % 256);
            std::string folded(text.size(), '\0');
            foldUpper(page, text.data(), folded.data(), text.size());
            ASSERT_EQ(folded, page.toUpper(text));
            foldUpper(page, text.data(), text.data(), text.size());  // in place
            ASSERT_EQ(text, folded);
        }
    }
}

}  // namespace
}  // namespace vsr::engine
