#include "controls/qt/sortable_table_model.h"

#include <QColor>
#include <QtConcurrent/QtConcurrentRun>
#include <utility>

#include "controls/column_order.h"
#include "controls/qt/qt_text.h"

namespace tandrin {

namespace {

const QColor kBackground(247, 247, 255);
const QColor kText(0, 0, 255);

}  // namespace

SortableTableModel::SortableTableModel(QObject* parent) : QAbstractTableModel(parent) {
    connect(&m_sorting, &QFutureWatcherBase::finished, this, &SortableTableModel::OnSortComputed);
}

bool SortableTableModel::SetColumns(const std::string& layout) {
    DropSort();
    beginResetModel();
    const bool made = m_rows.SetColumns(layout);
    endResetModel();
    return made;
}

// One row into a sorted list goes to its place, so the shown order stays
// true. A batch goes on top and the list is no longer sorted: placing
// thousands of rows one by one would cost more than sorting again.
void SortableTableModel::AddRows(std::vector<SortableRows::Row> rows) {
    if (rows.empty()) {
        return;
    }
    if (m_sort.active) {
        m_held.push_back(std::move(rows));
        return;
    }
    InsertRows(std::move(rows));
}

void SortableTableModel::InsertRows(std::vector<SortableRows::Row> rows) {
    if (rows.size() == 1 && m_rows.SortColumn() >= 0) {
        const int at = m_rows.SortedPlace(rows.front());
        beginInsertRows(QModelIndex(), at, at);
        m_rows.InsertRow(std::move(rows.front()), at);
        endInsertRows();
        return;
    }
    m_rows.ClearSort();
    beginInsertRows(QModelIndex(), 0, static_cast<int>(rows.size()) - 1);
    for (SortableRows::Row& row : rows) {
        m_rows.AddRow(std::move(row));
    }
    endInsertRows();
}

void SortableTableModel::DeleteAllRows() {
    m_held.clear();
    DropSort();
    if (m_rows.RowCount() == 0) {
        return;
    }
    beginRemoveRows(QModelIndex(), 0, m_rows.RowCount() - 1);
    m_rows.DeleteAllRows();
    endRemoveRows();
}

// Every row may move: the views start over rather than track each one.
void SortableTableModel::SortByColumn(int column, bool ascending) {
    DropSort();
    beginResetModel();
    m_rows.SortByColumn(column, ascending);
    endResetModel();
}

void SortableTableModel::OnHeaderClick(int column) {
    const int shown = m_sort.active ? m_sort.column : m_rows.SortColumn();
    const bool wasAscending = m_sort.active ? m_sort.ascending : m_rows.Ascending();
    SortInBackground(column, column != shown || !wasAscending);
}

// The worker gets its own copy of the column, so nothing it reads changes
// under it; a newer sort simply takes the watcher over.
void SortableTableModel::SortInBackground(int column, bool ascending) {
    if (column < 0 || column >= m_rows.ColumnCount() || m_rows.RowCount() == 0) {
        SortByColumn(column, ascending);
        emit sortSettled();
        return;
    }
    m_sort = {true, column, ascending};
    m_sorting.setFuture(QtConcurrent::run(
        [texts = m_rows.ColumnTexts(column), ascending] { return ColumnOrder(texts, ascending); }));
}

void SortableTableModel::OnSortComputed() {
    if (!m_sort.active) {
        return;
    }
    const std::vector<std::size_t> order = m_sorting.result();
    beginResetModel();
    m_rows.Reorder(m_sort.column, m_sort.ascending, order);
    endResetModel();
    m_sort.active = false;
    ReleaseHeldRows();
    emit sortSettled();
}

// A result still to come is ignored; rows held for it are not lost.
void SortableTableModel::DropSort() {
    if (!m_sort.active) {
        return;
    }
    m_sort.active = false;
    ReleaseHeldRows();
    emit sortSettled();
}

void SortableTableModel::ReleaseHeldRows() {
    std::vector<std::vector<SortableRows::Row>> held = std::move(m_held);
    m_held.clear();
    for (std::vector<SortableRows::Row>& rows : held) {
        InsertRows(std::move(rows));
    }
}

// A sort under way of the column whose texts changed starts again from
// the new texts; rows held for it change too.
void SortableTableModel::ReplaceTexts(int column, const std::string& from, const std::string& to) {
    for (std::vector<SortableRows::Row>& rows : m_held) {
        for (SortableRows::Row& row : rows) {
            const auto c = static_cast<std::size_t>(column);
            if (column >= 0 && c < row.size() && row[c] == from) {
                row[c] = to;
            }
        }
    }
    if (m_rows.ReplaceTexts(column, from, to) == 0) {
        return;
    }
    emit dataChanged(index(0, column), index(m_rows.RowCount() - 1, column));
    if (m_sort.active && m_sort.column == column) {
        SortInBackground(m_sort.column, m_sort.ascending);
    }
}

int SortableTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows.RowCount();
}

int SortableTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows.ColumnCount();
}

QVariant SortableTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows.RowCount() ||
        index.column() >= m_rows.ColumnCount()) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
            return ToQt(m_rows.Text(index.row(), index.column()));
        case Qt::BackgroundRole:
            return kBackground;
        case Qt::ForegroundRole:
            return kText;
        case Qt::TextAlignmentRole:
            return int(Qt::AlignLeft | Qt::AlignVCenter);
        default:
            return {};
    }
}

QVariant SortableTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= m_rows.ColumnCount()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (role == Qt::DisplayRole) {
        return ToQt(m_rows.Columns()[static_cast<std::size_t>(section)].name);
    }
    if (role == Qt::TextAlignmentRole) {
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    }
    return {};
}

}  // namespace tandrin
