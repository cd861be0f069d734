#include "controls/sortable_rows.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <string_view>
#include <unordered_map>

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

namespace {

// One rank per row when the whole column holds one kind, so the sort
// compares plain numbers; texts are collated once per distinct text.
bool UniformRanks(const std::vector<CellKey>& keys, std::vector<double>& ranks) {
    const CellKind kind = keys.front().kind;
    for (const CellKey& key : keys) {
        if (key.kind != kind) {
            return false;
        }
    }
    ranks.resize(keys.size());
    if (kind != CellKind::kText) {
        for (std::size_t i = 0; i < keys.size(); ++i) {
            const CellKey& key = keys[i];
            ranks[i] = kind == CellKind::kNumber ? key.number
                       : kind == CellKind::kDate ? static_cast<double>(key.date)
                                                 : static_cast<double>(key.seconds);
        }
        return true;
    }
    std::unordered_map<std::string_view, std::size_t> distinct;
    std::vector<CellKey> texts;
    for (const CellKey& key : keys) {
        if (distinct.emplace(*key.text, texts.size()).second) {
            texts.push_back(key);
            Collate(texts.back());
        }
    }
    std::vector<std::size_t> byText(texts.size());
    std::iota(byText.begin(), byText.end(), 0);
    std::sort(byText.begin(), byText.end(),
              [&](std::size_t a, std::size_t b) { return texts[a].collated < texts[b].collated; });
    std::vector<double> textRank(texts.size());
    for (std::size_t r = 0; r < byText.size(); ++r) {
        // Texts that collate alike share a rank.
        const bool same = r > 0 && texts[byText[r]].collated == texts[byText[r - 1]].collated;
        textRank[byText[r]] = same ? textRank[byText[r - 1]] : static_cast<double>(r);
    }
    for (std::size_t i = 0; i < keys.size(); ++i) {
        ranks[i] = textRank[distinct[*keys[i].text]];
    }
    return true;
}

}  // namespace

// A stable merge sort: the comparison of a column mixing kinds is chosen
// row by row and need not be a strict ordering, which an introsort may not
// survive. A column of one kind (the usual case) sorts by plain ranks.
void SortableRows::SortByColumn(int column, bool ascending) {
    m_nSortColumn = column;
    m_bAscending = ascending;
    if (column < 0 || column >= ColumnCount() || m_rows.empty()) {
        return;
    }
    std::vector<CellKey> keys;
    keys.reserve(m_rows.size());
    for (const Row& row : m_rows) {
        keys.push_back(MakeCellKey(row[static_cast<std::size_t>(column)], false));
    }
    std::vector<std::size_t> order(m_rows.size());
    std::iota(order.begin(), order.end(), 0);
    // Stored newest last, so the top row of the display is the last stored:
    // a display order "a before b" is a stored order "b before a".
    std::vector<double> ranks;
    if (UniformRanks(keys, ranks)) {
        std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
            return ascending ? ranks[y] < ranks[x] : ranks[x] < ranks[y];
        });
    } else {
        for (CellKey& key : keys) {
            Collate(key);
        }
        std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
            const CellKey& a = keys[y];
            const CellKey& b = keys[x];
            return (ascending ? CompareCells(a, b) : CompareCells(b, a)) < 0;
        });
    }
    std::vector<Row> sorted;
    sorted.reserve(m_rows.size());
    for (std::size_t index : order) {
        sorted.push_back(std::move(m_rows[index]));
    }
    m_rows = std::move(sorted);
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
