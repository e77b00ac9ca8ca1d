#pragma once
#include <QAbstractTableModel>
#include <QHash>
#include <QIcon>

#include "platform/type_names.h"
#include "results/result_list.h"

namespace vsr::ui {

// The results list as a table for the view: it follows the list through its observer, so
// rows appear while a search runs and the view never holds a copy of the rows.
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

private:
    void rowsReset() override;
    void rowAdded(std::size_t index) override;
    void rowChanged(std::size_t index) override;
    void columnsChanged() override;

    results::ResultList& list_;
    std::vector<results::Column> columns_;
    const platform::TypeNames* typeNames_ = nullptr;
    // Icons by theme name: a folder of one file type asks the theme once.
    mutable QHash<QString, QIcon> icons_;
};

}  // namespace vsr::ui
