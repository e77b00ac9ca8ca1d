#include "ui/dialogs/batch_table_model.h"

#include "ui/common/typed_text.h"

namespace vsr::ui {

BatchTableModel::BatchTableModel(project::BatchTable& table, Encoding encoding, QObject* parent)
    : QAbstractTableModel(parent), table_(table), textEncoding_(std::move(encoding)) {}

platform::CodePageId BatchTableModel::textEncoding() const {
    return textEncoding_ ? textEncoding_() : platform::CodePageId::Utf8;
}

int BatchTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(table_.rows.size());
}

int BatchTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 2; }

QVariant BatchTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || static_cast<std::size_t>(index.row()) >= table_.rows.size()) return {};
    const project::BatchPair& row = table_.rows[static_cast<std::size_t>(index.row())];
    const QString text = TypedText(textEncoding()).field(index.column() == 0 ? row.search : row.replace);
    if (role == Qt::EditRole) return text;
    // Cells not being edited show on one line, tab characters as blanks.
    if (role == Qt::DisplayRole) return QString(text).replace(QLatin1Char('\t'), QLatin1Char(' '));
    return {};
}

bool BatchTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || static_cast<std::size_t>(index.row()) >= table_.rows.size())
        return false;
    // The cell's length counts characters, so it is cut as typed, before it becomes bytes.
    const QString typed = QString::fromStdString(project::cellText(value.toString().toStdString()));
    std::optional<std::string> bytes = TypedText(textEncoding()).bytes(typed);
    if (!bytes) return false;
    project::BatchPair& row = table_.rows[static_cast<std::size_t>(index.row())];
    (index.column() == 0 ? row.search : row.replace) = std::move(*bytes);
    emit dataChanged(index, index);
    return true;
}

QVariant BatchTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    return section == 0 ? QStringLiteral("To Search") : QStringLiteral("To Replace or Insert");
}

Qt::ItemFlags BatchTableModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable : Qt::NoItemFlags;
}

void BatchTableModel::reload() {
    beginResetModel();
    endResetModel();
}

}  // namespace vsr::ui
