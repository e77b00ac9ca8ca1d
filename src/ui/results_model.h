#pragma once
#include <QAbstractTableModel>
#include <QHash>
#include <QIcon>

#include "platform/type_names.h"
#include "results/result_list.h"

namespace vsr::ui {

// The results list as a table for the view: it follows the list through its observer, so
// rows appear while a search runs and the view never holds a copy of the rows. Added rows are
// announced to the view in batches, once per pass of the event loop: one insertion per row
// would make the view's cost grow with every row already shown.
class ResultsModel : public QAbstractTableModel, private results::ResultListObserver {
    Q_OBJECT
public:
    explicit ResultsModel(results::ResultList& list, QObject* parent = nullptr);
    ~ResultsModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Where the small icons of the Name column come from; none: rows carry no icon.
    void setTypeNames(const platform::TypeNames* names) { typeNames_ = names; }

    // The logical column shown at display position `section`.
    results::Column columnAt(int section) const;

    // Announces the rows added since the last call; cheap when there are none.
    void flushRows();

private:
    void rowsReset() override;
    void rowAdded(std::size_t index) override;
    void rowChanged(std::size_t index) override;
    void columnsChanged() override;

    results::ResultList& list_;
    std::vector<results::Column> columns_;
    int shown_ = 0;  // rows the view knows about
    bool flushQueued_ = false;
    const platform::TypeNames* typeNames_ = nullptr;
    // Icons by theme name: a folder of one file type asks the theme once.
    mutable QHash<QString, QIcon> icons_;
};

}  // namespace vsr::ui
