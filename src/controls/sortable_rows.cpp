#include "controls/sortable_rows.h"

#include <cstdlib>
#include <utility>

#include "controls/column_order.h"
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

void SortableRows::SortByColumn(int column, bool ascending) {
    if (column < 0 || column >= ColumnCount()) {
        m_nSortColumn = column;
        m_bAscending = ascending;
        return;
    }
    Reorder(column, ascending, ColumnOrder(ColumnTexts(column), ascending));
}

std::vector<std::string> SortableRows::ColumnTexts(int column) const {
    std::vector<std::string> texts;
    if (column < 0 || column >= ColumnCount()) {
        return texts;
    }
    texts.reserve(m_rows.size());
    for (const Row& row : m_rows) {
        texts.push_back(row[static_cast<std::size_t>(column)]);
    }
    return texts;
}

bool SortableRows::Reorder(int column, bool ascending, const std::vector<std::size_t>& order) {
    if (order.size() != m_rows.size()) {
        return false;
    }
    std::vector<Row> sorted;
    sorted.reserve(m_rows.size());
    for (std::size_t index : order) {
        sorted.push_back(std::move(m_rows[index]));
    }
    m_rows = std::move(sorted);
    m_nSortColumn = column;
    m_bAscending = ascending;
    return true;
}

int SortableRows::SortedPlace(const Row& texts) const {
    const std::size_t column = static_cast<std::size_t>(m_nSortColumn);
    const std::string empty;
    const CellKey added = MakeCellKey(column < texts.size() ? texts[column] : empty);
    // Above the first row it does not come after: on top of its equals, as
    // an unsorted row goes on top.
    int low = 0;
    int high = RowCount();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        const CellKey shown = MakeCellKey(Text(middle, m_nSortColumn));
        const int order = m_bAscending ? CompareCells(shown, added) : CompareCells(added, shown);
        if (order < 0) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

void SortableRows::InsertRow(Row texts, int displayRow) {
    texts.resize(m_columns.size());
    const auto stored = static_cast<std::ptrdiff_t>(m_rows.size()) - displayRow;
    m_rows.insert(m_rows.begin() + stored, std::move(texts));
}

int SortableRows::ReplaceTexts(int column, const std::string& from, const std::string& to) {
    if (column < 0 || column >= ColumnCount()) {
        return 0;
    }
    int replaced = 0;
    for (Row& row : m_rows) {
        std::string& text = row[static_cast<std::size_t>(column)];
        if (text == from) {
            text = to;
            ++replaced;
        }
    }
    return replaced;
}

void SortableRows::OnHeaderClick(int column) {
    const bool ascending = column != m_nSortColumn || !m_bAscending;
    SortByColumn(column, ascending);
}

}  // namespace tandrin
