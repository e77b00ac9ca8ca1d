#pragma once
#include <QAbstractTableModel>
#include <QHash>
#include <QIcon>
#include <QTimer>
#include <functional>
#include <optional>

#include "platform/type_names.h"
#include "results/result_list.h"

namespace vsr::ui {

// How long rows added to a list of `shownRows` rows wait before the view hears of them. Each
// announcement makes the view lay out every row it has and paint itself again, so the wait
// grows with the rows shown: that work stays a small, fixed share of a run however many rows
// it lists (some 10 to 40 ns a row against 1 us of waiting a row). Until the first screenful
// is shown each new row appears at the next pass of the event loop.
int rowAnnounceDelayMs(std::size_t shownRows);

// The results list as a table for the view: it follows the list through its observer, so
// rows appear while a search runs and the view never holds a copy of the rows. Added rows are
// announced to the view in batches, paced by rowAnnounceDelayMs: one insertion per row, or
// one per short pass of a long run, would make the view's cost grow with the square of the
// rows.
class ResultsModel : public QAbstractTableModel, private results::ResultListObserver {
    Q_OBJECT
public:
    explicit ResultsModel(results::ResultList& list, QObject* parent = nullptr);
    ~ResultsModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // While replacements are reviewed each row carries a check in its first column: the state
    // of its file's replacements (none: no check shown), and what a click or Space on it does.
    std::function<std::optional<Qt::CheckState>(std::size_t row)> rowCheck;
    std::function<void(std::size_t row)> toggleRowCheck;
    // The checks changed or came or went: the view draws them again.
    void checksChanged();
    void checkChanged(std::size_t row);

    // Where the small icons of the Name column come from; none: rows carry no icon.
    void setTypeNames(const platform::TypeNames* names) { typeNames_ = names; }

    // The logical column shown at display position `section`.
    results::Column columnAt(int section) const;

    // Announces the rows added and not yet announced now, without waiting for their turn;
    // cheap when there are none.
    void flushRows();
    // Added rows wait for their announcement.
    bool rowsWaiting() const { return announce_.isActive(); }

private:
    void rowsReset() override;
    void rowAdded(std::size_t index) override;
    void rowChanged(std::size_t index) override;
    void columnsChanged() override;

    results::ResultList& list_;
    std::vector<results::Column> columns_;
    int shown_ = 0;  // rows the view knows about
    QTimer announce_;  // runs while added rows wait for the view
    const platform::TypeNames* typeNames_ = nullptr;
    // Icons by theme name: a folder of one file type asks the theme once.
    mutable QHash<QString, QIcon> icons_;
};

}  // namespace vsr::ui
