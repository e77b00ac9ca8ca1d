#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "results/result_list.h"
#include "results/row_store.h"

namespace vsr::results {
namespace {

ResultItem named(const std::string& name) {
    ResultItem r;
    // Longer than a string keeps in place, so the row owns heap room the store must move and free.
    r.name = name + std::string(40, '.');
    r.path = "/some/folder/deep/enough/to/need/heap/room";
    return r;
}

std::vector<std::string> shortNames(const ResultList& list) {
    std::vector<std::string> out;
    for (const ResultItem& r : list.rows()) out.push_back(r.name.substr(0, r.name.find('.')));
    return out;
}

TEST(RowStore, RowsKeepTheirPlaceAcrossChunksAndRemovedPlacesAreReused) {
    RowStore store;
    std::vector<ResultItem*> rows;
    for (int i = 0; i < 1000; ++i) rows.push_back(&store.add(named("r" + std::to_string(i))));
    // Adding never moved a row made before: every address still holds its own row.
    for (int i = 0; i < 1000; ++i) EXPECT_EQ(rows[i]->name.substr(0, rows[i]->name.find('.')), "r" + std::to_string(i));
    EXPECT_EQ(store.size(), 1000u);
    const std::size_t capacity = store.capacity();

    // A released row is emptied at once, and its place is the next one handed out.
    store.release(*rows[10]);
    store.release(*rows[700]);
    EXPECT_TRUE(rows[10]->name.empty());
    EXPECT_TRUE(rows[700]->path.empty());
    EXPECT_EQ(store.size(), 998u);
    ResultItem& again = store.add(named("new"));
    EXPECT_TRUE(&again == rows[10] || &again == rows[700]);
    store.add(named("new2"));
    EXPECT_EQ(store.capacity(), capacity);  // no chunk made while places were free

    store.clear();
    EXPECT_EQ(store.size(), 0u);
    EXPECT_EQ(store.capacity(), 0u);
}

TEST(ResultList, ManyRowsRemovedSortedAndClearedKeepTheirTextsAndCounts) {
    ResultList list;
    for (int i = 0; i < 600; ++i) {
        ResultItem r = named(std::to_string(i));
        r.selected = i % 3 == 0;
        list.AddResultItem(std::move(r));
    }
    EXPECT_EQ(list.selectedCount(), 200u);

    // Remove every row but 0, 1, 299 and 599; the survivors stay in order with their texts.
    std::vector<std::size_t> drop;
    for (std::size_t i = 2; i < 599; ++i)
        if (i != 299) drop.push_back(i);
    list.removeRows(drop);
    EXPECT_EQ(shortNames(list), (std::vector<std::string>{"0", "1", "299", "599"}));
    EXPECT_EQ(list.selectedCount(), 1u);  // of the survivors only row 0 was selected

    // Rows added afterwards take removed rows' places without disturbing the others.
    list.AddResultItem(named("late"));
    list.reorder({4, 3, 2, 1, 0});
    EXPECT_EQ(shortNames(list), (std::vector<std::string>{"late", "599", "299", "1", "0"}));
    // An order that is not a permutation would list a row twice: it changes nothing.
    list.reorder({0, 0, 1, 2, 3});
    list.reorder({0, 1, 2, 3, 9});
    EXPECT_EQ(shortNames(list), (std::vector<std::string>{"late", "599", "299", "1", "0"}));

    list.ClearResults();
    EXPECT_EQ(list.count(), 0u);
    EXPECT_EQ(list.selectedCount(), 0u);
    list.AddResultItem(named("after"));
    EXPECT_EQ(shortNames(list), (std::vector<std::string>{"after"}));
}

}  // namespace
}  // namespace vsr::results
