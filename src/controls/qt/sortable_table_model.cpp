#include "controls/qt/sortable_table_model.h"

#include <QColor>

#include "controls/qt/qt_text.h"

namespace tandrin {

namespace {

const QColor kBackground(247, 247, 255);
const QColor kText(0, 0, 255);

}  // namespace

bool SortableTableModel::SetColumns(const std::string& layout) {
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
    if (m_rows.RowCount() == 0) {
        return;
    }
    beginRemoveRows(QModelIndex(), 0, m_rows.RowCount() - 1);
    m_rows.DeleteAllRows();
    endRemoveRows();
}

// Every row may move: the views start over rather than track each one.
void SortableTableModel::SortByColumn(int column, bool ascending) {
    beginResetModel();
    m_rows.SortByColumn(column, ascending);
    endResetModel();
}

void SortableTableModel::ReplaceTexts(int column, const std::string& from, const std::string& to) {
    if (m_rows.ReplaceTexts(column, from, to) > 0) {
        emit dataChanged(index(0, column), index(m_rows.RowCount() - 1, column));
    }
}

void SortableTableModel::OnHeaderClick(int column) {
    beginResetModel();
    m_rows.OnHeaderClick(column);
    endResetModel();
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
