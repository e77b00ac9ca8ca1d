#include <gtest/gtest.h>

#include "results/row_texts.h"
#include "results/status_texts.h"

namespace vsr::results {
namespace {

TEST(RowTexts, SizeInKilobytesOfThousandBytes) {
    struct Case {
        std::uint64_t bytes;
        const char* text;
    } cases[] = {{0, "0.000 KB"},         {5, "0.005 KB"},       {100, "0.100 KB"},
                 {101, "0.1 KB"},         {1000, "1.0 KB"},      {1500, "1.5 KB"},
                 {1049, "1.0 KB"},        {1050, "1.1 KB"},      {2147483647ULL, "2147483.6 KB"},
                 {5000000000ULL, "5000000.0 KB"}};
    for (const Case& c : cases) EXPECT_EQ(sizeText(c.bytes), c.text) << c.bytes;
    EXPECT_EQ(sizeText(1500, ","), "1,5 KB");
}

TEST(RowTexts, FoundTextCutsAfter240Characters) {
    EXPECT_EQ(foundText({7}), "7");
    EXPECT_EQ(foundText({1, 0, 2}), "1, 0, 2");
    std::vector<std::int64_t> many(200, 12345);
    std::string text = foundText(many);
    EXPECT_EQ(text.substr(text.size() - 4), ",...");
    std::string counts = text.substr(0, text.size() - 4);
    EXPECT_GT(counts.size(), 240u);        // the word that crossed 240 is kept
    EXPECT_LE(counts.size(), 240u + 7u);   // but no more
    EXPECT_EQ(fullCountText(many).size(), 200u * 5 + 199u * 2);
}

TEST(RowTexts, AttributesAndTypeFallback) {
    EXPECT_EQ(attributesText({}), "");
    EXPECT_EQ(attributesText({true, true, true, true}), "RHSA");
    EXPECT_EQ(attributesText({false, true, false, false}), "H");

    platform::NoTypeNames none;
    EXPECT_EQ(typeText("main.cpp", none), "CPP File");
    EXPECT_EQ(typeText("archive.tar.gz", none), "GZ File");
    EXPECT_EQ(typeText("Makefile", none), "");
    EXPECT_EQ(typeText("dot.", none), "");
    platform::FakeTypeNames some;
    some.byExtension["cpp"] = "C++ source code";
    EXPECT_EQ(typeText("MAIN.CPP", some), "C++ source code");
}

TEST(StatusTexts, CountTextsOfPanelZero) {
    EXPECT_EQ(searchCountText(ListTab::Find, 1), "Found File:    1");
    EXPECT_EQ(searchCountText(ListTab::Find, 2), "Found Files:   2");
    EXPECT_EQ(searchCountText(ListTab::SearchAndReplace, 1), "File in List:    1");
    EXPECT_EQ(searchCountText(ListTab::SearchAndReplace, 3), "Files in List:    3");
    EXPECT_EQ(remainingCountText(1), "File in List:   1");
    EXPECT_EQ(remainingCountText(4), "Files in List:   4");
}

}  // namespace
}  // namespace vsr::results
