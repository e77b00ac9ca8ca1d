#include <gtest/gtest.h>

#include "project/batch_file.h"

namespace vsr::project {
namespace {

TEST(BatchFile, TwoPairsMakeSevenLines) {
    BatchTable t;
    t.rows = {{"old", "new"}, {"a\tb", ""}};
    EXPECT_EQ(batchFileBytes(t), "2\r\n\r\nold\r\nnew\r\n\r\na\tb\r\n\r\n");

    BatchTable loaded;
    ASSERT_EQ(readBatchFile(batchFileBytes(t), loaded), BatchFileRead::Read);
    EXPECT_EQ(loaded.rows, t.rows);
    EXPECT_EQ(loaded.numberOfRows, 2);
}

TEST(BatchFile, RejectsMoreRowsThanTheTableTakesAndKeepsTheTable) {
    BatchTable t;
    t.rows = {{"keep", "this"}};
    const BatchTable before = t;
    EXPECT_EQ(readBatchFile("100001\r\n", t), BatchFileRead::TooManyRows);
    EXPECT_EQ(t, before);
    EXPECT_EQ(readBatchFile("many\r\n", t), BatchFileRead::Unreadable);
    EXPECT_EQ(readBatchFile("", t), BatchFileRead::Unreadable);
    EXPECT_EQ(readBatchFile("-2\r\n", t), BatchFileRead::Unreadable);
    EXPECT_EQ(t, before);
}

TEST(BatchFile, AHugeFileOfOneLineIsUnreadable) {
    BatchTable t;
    EXPECT_EQ(readBatchFile(std::string(100'000'000, '7'), t), BatchFileRead::Unreadable);
    EXPECT_EQ(t, BatchTable{});
}

TEST(BatchFile, AFileEndingInsideARowKeepsTheRowsReadSoFar) {
    BatchTable t;
    EXPECT_EQ(readBatchFile("3\r\n\r\na\r\nb\r\n\r\nc\r\n", t), BatchFileRead::Unreadable);
    ASSERT_EQ(t.rows.size(), 3u);
    EXPECT_EQ(t.rows[0], (BatchPair{"a", "b"}));
    EXPECT_EQ(t.rows[1], (BatchPair{"c", ""}));
    EXPECT_EQ(t.rows[2], BatchPair{});
}

TEST(BatchFile, CellsAreCutToOneLineOfAThousandCharacters) {
    const std::string longCell(1500, 'x');
    std::string accented;
    for (int i = 0; i < 1200; ++i) accented += "\xc3\xa9";  // é, two bytes each
    BatchTable t;
    ASSERT_EQ(readBatchFile("2\r\n\r\n" + longCell + "\r\n" + accented + "\r\n\r\n\r\n\r\n", t), BatchFileRead::Read);
    EXPECT_EQ(t.rows[0].search.size(), 1000u);
    EXPECT_EQ(t.rows[0].replace.size(), 2000u);  // a thousand characters, none split
    EXPECT_EQ(cellText("first\r\nsecond"), "first");
}

TEST(BatchTemp, RoundTripsTheTableAndTheDialogSize) {
    BatchTable t;
    t.dialogWidth = 700;
    t.dialogHeight = 400;
    t.numberOfRows = 3;
    t.searchColumnWidth = 90;
    t.replaceColumnWidth = 300;
    t.rows = {{"s1", "r1"}, {"", "r2"}, {"s3", ""}};
    EXPECT_EQ(batchTempBytes(t), "700\r\n400\r\n3\r\n90\r\n300\r\n3\r\ns1\r\n\r\ns3\r\n\r\nr1\r\nr2\r\n\r\n");
    BatchTable loaded;
    EXPECT_TRUE(readBatchTemp(batchTempBytes(t), loaded));
    EXPECT_EQ(loaded, t);
}

TEST(BatchTemp, AFailureKeepsWhatWasRead) {
    BatchTable t;
    EXPECT_FALSE(readBatchTemp("640\r\n300\r\nmany\r\n", t));
    EXPECT_EQ(t.dialogWidth, 640);
    EXPECT_EQ(t.dialogHeight, 300);
    EXPECT_EQ(t.searchColumnWidth, kDefaultColumnWidth);
    // A row count of 0 counts as one row.
    BatchTable z;
    EXPECT_TRUE(readBatchTemp("1\r\n2\r\n1\r\n3\r\n4\r\n0\r\ns\r\n\r\nr\r\n", z));
    EXPECT_EQ(z.rows, (std::vector<BatchPair>{{"s", "r"}}));
}

TEST(BatchTable, EditingKeepsAtLeastOneRowAndTheRowCountInStep) {
    BatchTable t;
    t.rows = {{"a", "1"}, {"b", "2"}, {"c", "3"}};
    t.insertRow(1);
    EXPECT_EQ(t.rows, (std::vector<BatchPair>{{"a", "1"}, {}, {"b", "2"}, {"c", "3"}}));
    EXPECT_EQ(t.numberOfRows, 4);
    t.removeRow(0);
    EXPECT_EQ(t.rows.front(), BatchPair{});
    EXPECT_EQ(t.numberOfRows, 3);

    // Rows cut off by a smaller count do not come back with their texts.
    t.setNumberOfRows(1);
    t.setNumberOfRows(3);
    EXPECT_EQ(t.rows, (std::vector<BatchPair>{{}, {}, {}}));
    t.setNumberOfRows(250000);
    EXPECT_EQ(t.numberOfRows, kMaxBatchRows);
    EXPECT_EQ(t.rows.size(), static_cast<std::size_t>(kMaxBatchRows));

    t.removeAll();
    EXPECT_EQ(t.rows.size(), 1u);
    t.rows[0] = {"only", "row"};
    t.removeRow(0);
    EXPECT_EQ(t.rows, std::vector<BatchPair>(1));
    EXPECT_EQ(t.numberOfRows, 1);
}

}  // namespace
}  // namespace vsr::project
