// The results list as the view sees it: when added rows are announced, and how the list's
// selection and the view's selection follow each other.
#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>

#include "results/result_list.h"
#include "ui/list/list_commands.h"
#include "ui/list/results_model.h"
#include "window_fixture.h"

namespace vsr::ui {
namespace {

using vsr::ui::test::control;

void addRows(results::ResultList& list, int n) {
    for (int i = 0; i < n; ++i) {
        results::ResultItem row;
        row.name = "f" + std::to_string(list.count()) + ".txt";
        row.path = "/data";
        list.AddResultItem(std::move(row));
    }
}

// Rows arrive at `rowsPerMs` until `total` are found, and the view is told when the wait of
// rowAnnounceDelayMs has passed since the first row it has not heard of. Returns the rows the
// view lays out, summed over every announcement, per row found.
double layoutWorkPerRow(std::int64_t total, std::int64_t rowsPerMs, int* longestWaitMs) {
    std::int64_t shown = 0, found = 0, work = 0;
    std::int64_t dueAt = -1;
    *longestWaitMs = 0;
    for (std::int64_t now = 0; shown < total; ++now) {
        const std::int64_t before = found;
        found = std::min(total, found + rowsPerMs);
        if (dueAt < 0 && found > before && found > shown) {
            const int wait = rowAnnounceDelayMs(static_cast<std::size_t>(shown));
            *longestWaitMs = std::max(*longestWaitMs, wait);
            dueAt = now + wait;
        }
        if (dueAt >= 0 && now >= dueAt) {
            shown = found;
            work += shown;
            dueAt = -1;
        }
    }
    return static_cast<double>(work) / static_cast<double>(total);
}

TEST(RowAnnouncePacing, LayingOutTheViewStaysASmallShareOfARunHoweverManyRowsCome) {
    // A row laid out costs the view some 10 to 40 ns; at 20 ns, and rows found at a slow
    // content search's pace up to a listing's, the view takes at most 5% of the run. Told at
    // every 15 ms pass, it would take 12% of a run of 200,000 rows at 50 a millisecond, and
    // more than the run itself at 2 million.
    constexpr double kMsPerRowLaidOut = 20e-6;
    for (std::int64_t rate : {5, 50, 500}) {
        for (std::int64_t total : {20'000, 200'000, 2'000'000}) {
            int wait = 0;
            const double work = layoutWorkPerRow(total, rate, &wait);
            EXPECT_LT(work * kMsPerRowLaidOut * static_cast<double>(rate), 0.05) << rate << " " << total;
            EXPECT_LE(wait, 1000) << rate << " " << total;
        }
    }
    EXPECT_EQ(rowAnnounceDelayMs(0), 0);
    EXPECT_EQ(rowAnnounceDelayMs(10), 0);  // the first screenful shows at once
}

TEST(ResultsModelTest, AddedRowsReachTheViewAsOneInsertionWithoutAnyoneAsking) {
    results::ResultList list;
    ResultsModel model(list);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    addRows(list, 30);
    EXPECT_EQ(model.rowCount(), 0);  // not yet: the event loop has not run
    EXPECT_TRUE(QTest::qWaitFor([&] { return model.rowCount() == 30; }));
    EXPECT_EQ(inserted.count(), 1);

    // A long list waits longer, and an explicit flush announces at once.
    addRows(list, 20'000);
    model.flushRows();
    EXPECT_EQ(model.rowCount(), 20'030);
    addRows(list, 5);
    EXPECT_EQ(model.rowCount(), 20'030);
    EXPECT_TRUE(QTest::qWaitFor([&] { return model.rowCount() == 20'035; }));

    // Clearing the list while rows wait leaves no announcement behind.
    addRows(list, 3);
    list.ClearResults();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_FALSE(model.rowsWaiting());
}

class ResultsSelectionTest : public test::WindowTest {
protected:
    static std::set<int> viewRows(TFind& w) {
        std::set<int> rows;
        for (const QModelIndex& index : control<QTreeView>(w, "ListView1")->selectionModel()->selectedRows())
            rows.insert(index.row());
        return rows;
    }
    static std::set<int> listRows(TFind& w) {
        std::set<int> rows;
        for (std::size_t i : w.results().selectedRows()) rows.insert(static_cast<int>(i));
        return rows;
    }
};

TEST_F(ResultsSelectionTest, TheListsSelectionReachesTheViewAsRunsOfRowsAndComesBackWhole) {
    for (int i = 0; i < 40; ++i) files.write("f" + std::to_string(100 + i) + ".txt", "x\n");
    auto w = makeWindow();
    search(*w, files.str());
    ASSERT_EQ(rows(*w), 40);
    w->listCommands().SortByColumn(0);

    // Rows 0-9, 20 and 30-39 by mask: three runs, each one range of whole rows.
    ASSERT_TRUE(w->listCommands().applyMask("*.*", false));
    ASSERT_TRUE(w->listCommands().applyMask("f10?.txt", true));
    ASSERT_TRUE(w->listCommands().applyMask("f120.txt", true));
    ASSERT_TRUE(w->listCommands().applyMask("f13?.txt", true));
    const std::set<int> chosen = listRows(*w);
    EXPECT_EQ(chosen.size(), 21u);
    EXPECT_EQ(viewRows(*w), chosen);
    EXPECT_EQ(control<QTreeView>(w, "ListView1")->selectionModel()->selection().size(), 3);
    for (const QItemSelectionRange& range : control<QTreeView>(w, "ListView1")->selectionModel()->selection()) {
        EXPECT_EQ(range.left(), 0);
        EXPECT_EQ(range.right(), control<QTreeView>(w, "ListView1")->model()->columnCount() - 1);
    }

    // The user's own selection in the view, in pieces, is what the list then holds.
    QItemSelectionModel* sel = control<QTreeView>(w, "ListView1")->selectionModel();
    QAbstractItemModel* model = control<QTreeView>(w, "ListView1")->model();
    sel->select(QItemSelection(model->index(2, 0), model->index(5, 0)),
                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    sel->select(model->index(17, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    sel->select(QItemSelection(model->index(3, 0), model->index(4, 0)),
                QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    EXPECT_EQ(listRows(*w), (std::set<int>{2, 5, 17}));
    EXPECT_EQ(w->results().selectedCount(), 3u);

    w->listCommands().SelectAllRows();
    EXPECT_EQ(w->results().selectedCount(), 40u);
    EXPECT_EQ(viewRows(*w).size(), 40u);
    EXPECT_EQ(control<QTreeView>(w, "ListView1")->selectionModel()->selection().size(), 1);
}

}  // namespace
}  // namespace vsr::ui
