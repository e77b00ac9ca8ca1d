#include <gtest/gtest.h>

#include "results/row_formatter.h"
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

// Local time with its milliseconds, or without; counts how often a time is formatted.
class CountingFormats final : public platform::LocaleFormats {
public:
    std::string shortDate(platform::FileTime t) const override { return fake.shortDate(t); }
    std::string longTime(platform::FileTime t) const override {
        ++calls;
        std::string text = fake.longTime(t);
        if (!fractions) return text;
        const auto ms = std::chrono::floor<std::chrono::milliseconds>(t.time_since_epoch()).count();
        return text + "." + std::to_string(((ms % 1000) + 1000) % 1000);
    }
    std::string decimalSeparator() const override { return ","; }
    bool timeShowsFractions() const override { return fractions; }
    platform::FakeLocaleFormats fake;
    bool fractions = false;
    mutable int calls = 0;
};

// The formatter's texts are the single-row texts, whichever times share a kept text or push
// each other out, before 1970 too; a folder written within one second is formatted once.
TEST(RowFormatter, TextsEqualTheSingleRowOnesAndRepeatNoWork) {
    using namespace std::chrono;
    platform::NoTypeNames none;
    for (bool fractions : {false, true}) {
        CountingFormats formats;
        formats.fractions = fractions;
        RowFormatter rows({formats, none});
        const platform::FileTime base(seconds(1'700'000'000));
        std::vector<platform::FileTime> times;
        for (long long ns : {0LL, 1LL, 999'999'999LL, 1'000'000'000LL, 64'000'000'000LL, 64'000'500'000LL,
                             128'000'000'000LL, 3'000'000LL, 3'900'000LL})
            times.push_back(base + duration_cast<platform::FileTime::duration>(nanoseconds(ns)));
        times.push_back(platform::FileTime(milliseconds(-1500)));
        times.push_back(platform::FileTime(milliseconds(-500)));
        times.push_back(platform::FileTime(milliseconds(0)));
        for (int round = 0; round < 2; ++round)
            for (platform::FileTime t : times)
                EXPECT_EQ(rows.timeText(t), timeText(t, formats)) << fractions << " " << t.time_since_epoch().count();

        formats.calls = 0;
        platform::FileInfo info;
        info.size = 1500;
        info.attributes.readOnly = true;
        for (int i = 0; i < 1000; ++i) {
            info.lastWrite = base + milliseconds(i % 7);
            ResultItem fast, single;
            fast.name = single.name = "f" + std::to_string(i) + ".c";
            rows.fillFileColumns(fast, info);
            fillFileColumns(single, info, {formats, none});
            ASSERT_EQ(fast.time, single.time);
            ASSERT_EQ(fast.size, "1,5 KB");
            ASSERT_EQ(fast.size, single.size);
            ASSERT_EQ(fast.attributes, single.attributes);
            ASSERT_EQ(fast.type, single.type);
            ASSERT_EQ(fast.bytes, single.bytes);
            ASSERT_EQ(fast.lastWrite, single.lastWrite);
        }
        // 1000 single-row texts, and at most one per distinct shown time for the formatter.
        EXPECT_LE(formats.calls, 1000 + (fractions ? 7 : 1));
    }
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
