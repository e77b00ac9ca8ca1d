#pragma once
#include <QAbstractTableModel>
#include <functional>

#include "platform/code_page.h"
#include "project/batch_table.h"

namespace vsr::ui {

// The batch table as the grid shows it: two columns under the headers "To Search" and
// "To Replace or Insert", one row per data row. Edits are kept as the table keeps cells, in the
// chosen text encoding; a text the encoding cannot hold is not taken.
class BatchTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using Encoding = std::function<platform::CodePageId()>;
    explicit BatchTableModel(project::BatchTable& table, Encoding encoding = {}, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The table changed underneath (rows added, removed or read from a file).
    void reload();
    project::BatchTable& table() { return table_; }

private:
    platform::CodePageId textEncoding() const;

    project::BatchTable& table_;
    Encoding textEncoding_;
};

}  // namespace vsr::ui
