#include "controls/sortable_rows.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <string_view>
#include <unordered_map>
#include <utility>

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

using Row = SortableRows::Row;

// Ranks of a column of texts, collated once per distinct text. False when
// a cell is no text.
bool TextRanks(const std::vector<Row>& rows, std::size_t column, std::vector<double>& ranks) {
    std::unordered_map<std::string_view, std::size_t> distinct;
    std::vector<CellKey> texts;
    std::vector<std::size_t> textOf(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string& text = rows[i][column];
        // Neighbours mostly share their text (a unit): no lookup then.
        if (i > 0 && text == rows[i - 1][column]) {
            textOf[i] = textOf[i - 1];
            continue;
        }
        // A list holds a handful of units: look through them first.
        const std::size_t few = std::min<std::size_t>(texts.size(), 8);
        std::size_t found = few;
        for (std::size_t t = 0; t < few && found == few; ++t) {
            found = *texts[t].text == text ? t : few;
        }
        if (found < few) {
            textOf[i] = found;
            continue;
        }
        const auto [at, added] = distinct.emplace(text, texts.size());
        if (added) {
            texts.push_back(MakeCellKey(text));
            if (texts.back().kind != CellKind::kText) {
                return false;
            }
        }
        textOf[i] = at->second;
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
    ranks.resize(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        ranks[i] = textRank[textOf[i]];
    }
    return true;
}

// Ranks of a column of numbers, dates or times, each row read once. False
// when a cell is of another kind.
bool KindRanks(const std::vector<Row>& rows, std::size_t column, CellKind kind,
               std::vector<double>& ranks) {
    ranks.resize(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string& text = rows[i][column];
        if (KindOf(text) != kind) {
            return false;
        }
        ranks[i] = CellRank(text, kind);
    }
    return true;
}

// The stored order of a column of one kind: rank and stored place side by
// side, so a plain sort of them is stable and reads memory in order. False
// when the column mixes kinds.
bool RankedOrder(const std::vector<Row>& rows, std::size_t column, bool ascending,
                 std::vector<std::size_t>& order) {
    const CellKind kind = KindOf(rows.front()[column]);
    std::vector<double> ranks;
    const bool uniform = kind == CellKind::kText ? TextRanks(rows, column, ranks)
                                                 : KindRanks(rows, column, kind, ranks);
    if (!uniform) {
        return false;
    }
    // Stored newest last, so the top row of the display is the last stored:
    // a display order "a before b" is a stored order "b before a".
    std::vector<std::pair<double, std::size_t>> ranked(ranks.size());
    for (std::size_t i = 0; i < ranks.size(); ++i) {
        ranked[i] = {ascending ? -ranks[i] : ranks[i], i};
    }
    std::sort(ranked.begin(), ranked.end());
    order.resize(ranked.size());
    for (std::size_t i = 0; i < ranked.size(); ++i) {
        order[i] = ranked[i].second;
    }
    return true;
}

// A column mixing kinds: the comparison is chosen row by row and need not
// be a strict ordering, which an introsort may not survive; a stable merge
// sort stays inside the list.
std::vector<std::size_t> MixedOrder(const std::vector<Row>& rows, std::size_t column,
                                    bool ascending) {
    std::vector<CellKey> keys;
    keys.reserve(rows.size());
    for (const Row& row : rows) {
        keys.push_back(MakeCellKey(row[column]));
    }
    std::vector<std::size_t> order(rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
        const CellKey& a = keys[y];
        const CellKey& b = keys[x];
        return (ascending ? CompareCells(a, b) : CompareCells(b, a)) < 0;
    });
    return order;
}

}  // namespace

// A column of one kind (the usual case) sorts by plain ranks.
void SortableRows::SortByColumn(int column, bool ascending) {
    m_nSortColumn = column;
    m_bAscending = ascending;
    if (column < 0 || column >= ColumnCount() || m_rows.empty()) {
        return;
    }
    const auto c = static_cast<std::size_t>(column);
    std::vector<std::size_t> order;
    if (!RankedOrder(m_rows, c, ascending, order)) {
        order = MixedOrder(m_rows, c, ascending);
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
