#pragma once

#include <QAbstractTableModel>
#include <string>
#include <vector>

#include "controls/sortable_rows.h"

namespace tandrin {

// The sortable list's rows for Qt's views: one model over the contiguous
// rows, texts converted from the interface code page as they are shown.
// Rows come and go in batches.
class SortableTableModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    explicit SortableTableModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    bool SetColumns(const std::string& layout);
    // Each row goes on top, in the order given: the last one ends up first;
    // a single row into a sorted list goes to its place instead.
    void AddRows(std::vector<SortableRows::Row> rows);
    void ReplaceTexts(int column, const std::string& from, const std::string& to);
    void DeleteAllRows();
    void SortByColumn(int column, bool ascending);
    void OnHeaderClick(int column);
    const SortableRows& Rows() const { return m_rows; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  private:
    SortableRows m_rows;
};

}  // namespace tandrin
