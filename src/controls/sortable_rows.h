#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tandrin {

struct ListColumn {
    std::string name;
    int width = 0;  // pixels
    friend bool operator==(const ListColumn&, const ListColumn&) = default;
};

// "name,width;name,width;..." as the owner formats it. The width is read
// like atoi. A pair without a comma ends the list.
std::vector<ListColumn> ParseColumns(const std::string& layout);

// The rows of a sortable list, each with its own copy of its texts, and
// the list's sort state. New rows go to the top. The rows are stored
// newest last, so adding one never moves the others: display row r is
// stored row count - 1 - r.
class SortableRows {
  public:
    using Row = std::vector<std::string>;

    bool SetColumns(const std::string& layout);
    const std::vector<ListColumn>& Columns() const { return m_columns; }
    int ColumnCount() const { return static_cast<int>(m_columns.size()); }

    // A row with fewer texts than columns gets empty ones; extra texts are
    // dropped. AddRow puts it on top whatever the sort order.
    void AddRow(Row texts);
    // Where a row belongs in the shown sort order (a display row; on top of
    // its equals), and putting it there. Needs a sort column.
    int SortedPlace(const Row& texts) const;
    void InsertRow(Row texts, int displayRow);
    // The rows no longer follow a sort order: the header shows none.
    void ClearSort() { m_nSortColumn = -1; }
    // Every text of `column` equal to `from` becomes `to`; the number of
    // texts replaced.
    int ReplaceTexts(int column, const std::string& from, const std::string& to);
    void DeleteAllRows() { m_rows.clear(); }
    int RowCount() const { return static_cast<int>(m_rows.size()); }
    // Display order: row 0 is the top one.
    const Row& RowAt(int row) const {
        return m_rows[m_rows.size() - 1 - static_cast<std::size_t>(row)];
    }
    const std::string& Text(int row, int column) const {
        return RowAt(row)[static_cast<std::size_t>(column)];
    }

    void SortByColumn(int column, bool ascending);
    // Sorting in two steps, for a sort that runs elsewhere: the column's
    // texts newest last, then the order worked out from them (see
    // ColumnOrder). False, and nothing moved, when the order does not fit
    // the rows.
    std::vector<std::string> ColumnTexts(int column) const;
    bool Reorder(int column, bool ascending, const std::vector<std::size_t>& order);
    // A header click: a new column sorts ascending, the same one alternates.
    void OnHeaderClick(int column);
    int SortColumn() const { return m_nSortColumn; }
    bool Ascending() const { return m_bAscending; }

  private:
    std::vector<ListColumn> m_columns;
    std::vector<Row> m_rows;  // newest last
    int m_nSortColumn = -1;
    bool m_bAscending = true;
};

}  // namespace tandrin
