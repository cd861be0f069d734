#include "controls/sortable_rows.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>

#include "controls/row_compare.h"

namespace tandrin {

std::vector<ListColumn> ParseColumns(const std::string& layout) {
    std::vector<ListColumn> columns;
    std::size_t at = 0;
    while (at < layout.size()) {
        const std::size_t comma = layout.find(',', at);
        if (comma == std::string::npos) {
            break;
        }
        std::size_t end = layout.find(';', comma + 1);
        if (end == std::string::npos) {
            end = layout.size();
        }
        const std::string width = layout.substr(comma + 1, end - comma - 1);
        columns.push_back({layout.substr(at, comma - at), std::atoi(width.c_str())});
        at = end + 1;
    }
    return columns;
}

bool SortableRows::SetColumns(const std::string& layout) {
    for (ListColumn& column : ParseColumns(layout)) {
        m_columns.push_back(std::move(column));
    }
    for (Row& row : m_rows) {
        row.resize(m_columns.size());
    }
    return true;
}

void SortableRows::AddRow(Row texts) {
    texts.resize(m_columns.size());
    m_rows.push_back(std::move(texts));
}

// The keys are worked out once per row, so a comparison reads them
// directly. A stable merge sort: the comparison is chosen row by row and
// need not be a strict ordering when a column mixes kinds, which an
// introsort may not survive.
void SortableRows::SortByColumn(int column, bool ascending) {
    m_nSortColumn = column;
    m_bAscending = ascending;
    if (column < 0 || column >= ColumnCount() || m_rows.empty()) {
        return;
    }
    std::vector<CellKey> keys;
    keys.reserve(m_rows.size());
    for (const Row& row : m_rows) {
        keys.push_back(MakeCellKey(row[static_cast<std::size_t>(column)]));
    }
    std::vector<std::size_t> order(m_rows.size());
    std::iota(order.begin(), order.end(), 0);
    // Stored newest last, so the top row of the display is the last stored:
    // a display order "a before b" is a stored order "b before a".
    std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
        const CellKey& a = keys[y];
        const CellKey& b = keys[x];
        return (ascending ? CompareCells(a, b) : CompareCells(b, a)) < 0;
    });
    std::vector<Row> sorted;
    sorted.reserve(m_rows.size());
    for (std::size_t index : order) {
        sorted.push_back(std::move(m_rows[index]));
    }
    m_rows = std::move(sorted);
}

void SortableRows::OnHeaderClick(int column) {
    const bool ascending = column != m_nSortColumn || !m_bAscending;
    SortByColumn(column, ascending);
}

}  // namespace tandrin
