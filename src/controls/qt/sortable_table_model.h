#pragma once

#include <QAbstractTableModel>
#include <QFutureWatcher>
#include <cstddef>
#include <string>
#include <vector>

#include "controls/sortable_rows.h"

namespace tandrin {

// The sortable list's rows for Qt's views: one model over the contiguous
// rows, texts converted from the interface code page as they are shown.
// Rows come and go in batches. A day of samples takes longer to sort than
// input may wait, so a sort asked for by the user runs on a worker thread;
// rows that arrive meanwhile are held and added once the sorted rows are
// in, so they take their place in the new order.
class SortableTableModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    explicit SortableTableModel(QObject* parent = nullptr);

    bool SetColumns(const std::string& layout);
    // Each row goes on top, in the order given: the last one ends up first;
    // a single row into a sorted list goes to its place instead.
    void AddRows(std::vector<SortableRows::Row> rows);
    void ReplaceTexts(int column, const std::string& from, const std::string& to);
    void DeleteAllRows();
    // At once, on this thread; a sort under way is dropped.
    void SortByColumn(int column, bool ascending);
    // A header click: a new column sorts ascending, the same one (or the
    // one a sort under way is for) alternates. On a worker thread.
    void OnHeaderClick(int column);
    void SortInBackground(int column, bool ascending);
    bool SortUnderWay() const { return m_sort.active; }
    const SortableRows& Rows() const { return m_rows; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  signals:
    // A sort under way is over: applied, dropped or superseded by another.
    void sortSettled();

  private:
    struct SortUnderWayState {
        bool active = false;
        int column = -1;
        bool ascending = true;
    };

    void OnSortComputed();
    void DropSort();
    void ReleaseHeldRows();
    void InsertRows(std::vector<SortableRows::Row> rows);

    SortableRows m_rows;
    SortUnderWayState m_sort;
    QFutureWatcher<std::vector<std::size_t>> m_sorting;
    // Batches that arrived during a sort, oldest first.
    std::vector<std::vector<SortableRows::Row>> m_held;
};

}  // namespace tandrin
