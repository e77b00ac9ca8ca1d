#include "ui/list/results_model.h"

#include <algorithm>

namespace vsr::ui {

int rowAnnounceDelayMs(std::size_t shownRows) {
    constexpr std::size_t kScreenful = 64;
    constexpr std::size_t kRowsPerMs = 1000;
    constexpr std::size_t kShortestMs = 40;
    constexpr std::size_t kLongestMs = 1000;
    if (shownRows < kScreenful) return 0;
    return static_cast<int>(std::clamp(shownRows / kRowsPerMs, kShortestMs, kLongestMs));
}

ResultsModel::ResultsModel(results::ResultList& list, QObject* parent)
    : QAbstractTableModel(parent), list_(list), columns_(list.columns()), shown_(static_cast<int>(list.count())) {
    announce_.setSingleShot(true);
    connect(&announce_, &QTimer::timeout, this, &ResultsModel::flushRows);
    list_.setObserver(this);
}

ResultsModel::~ResultsModel() { list_.setObserver(nullptr); }

int ResultsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shown_;
}

int ResultsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

results::Column ResultsModel::columnAt(int section) const {
    return columns_.at(static_cast<std::size_t>(section));
}

QVariant ResultsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
    const results::ResultItem& item = list_.row(static_cast<std::size_t>(index.row()));
    const results::Column column = columnAt(index.column());
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        // Row texts are bytes; file names on this desktop are UTF-8.
        return QString::fromUtf8(item.text(column));
    }
    if (role == Qt::DecorationRole && column == results::Column::Name && typeNames_) {
        const QString name = QString::fromStdString(typeNames_->iconName(item.name));
        if (name.isEmpty()) return {};
        auto it = icons_.find(name);
        if (it == icons_.end()) it = icons_.insert(name, QIcon::fromTheme(name));
        return it->isNull() ? QVariant() : QVariant(*it);
    }
    if (role == Qt::CheckStateRole && index.column() == 0 && rowCheck) {
        const std::optional<Qt::CheckState> check = rowCheck(static_cast<std::size_t>(index.row()));
        if (check) return QVariant::fromValue(static_cast<int>(*check));
        return {};
    }
    if (role == Qt::TextAlignmentRole && (column == results::Column::Size || column == results::Column::Found))
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount())
        return {};
    return QString::fromUtf8(list_.columnCaption(columnAt(section)));
}

Qt::ItemFlags ResultsModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == 0 && index.row() < rowCount() && rowCheck &&
        rowCheck(static_cast<std::size_t>(index.row())))
        f |= Qt::ItemIsUserCheckable;
    return f;
}

bool ResultsModel::setData(const QModelIndex& index, const QVariant&, int role) {
    // The file's own rule says what a click makes of a partly kept file; the view's guess of
    // the next state is not taken.
    if (role != Qt::CheckStateRole || !index.isValid() || index.column() != 0 || index.row() >= rowCount() ||
        !toggleRowCheck || !rowCheck || !rowCheck(static_cast<std::size_t>(index.row())))
        return false;
    toggleRowCheck(static_cast<std::size_t>(index.row()));
    return true;
}

void ResultsModel::checksChanged() {
    if (shown_ > 0) emit dataChanged(index(0, 0), index(shown_ - 1, 0), {Qt::CheckStateRole});
}

void ResultsModel::checkChanged(std::size_t row) {
    if (static_cast<int>(row) < shown_) emit dataChanged(index(static_cast<int>(row), 0), index(static_cast<int>(row), 0), {Qt::CheckStateRole});
}

void ResultsModel::rowsReset() {
    announce_.stop();
    beginResetModel();
    shown_ = static_cast<int>(list_.count());
    endResetModel();
}

void ResultsModel::rowAdded(std::size_t) {
    if (!announce_.isActive()) announce_.start(rowAnnounceDelayMs(static_cast<std::size_t>(shown_)));
}

void ResultsModel::flushRows() {
    announce_.stop();
    const int count = static_cast<int>(list_.count());
    if (count <= shown_) return;
    beginInsertRows({}, shown_, count - 1);
    shown_ = count;
    endInsertRows();
}

void ResultsModel::rowChanged(std::size_t index) {
    const int row = static_cast<int>(index);
    if (row >= shown_) flushRows();
    emit dataChanged(this->index(row, 0), this->index(row, columnCount() - 1));
}

void ResultsModel::columnsChanged() {
    announce_.stop();
    beginResetModel();
    columns_ = list_.columns();
    shown_ = static_cast<int>(list_.count());
    endResetModel();
}

}  // namespace vsr::ui
