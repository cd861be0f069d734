#include "controls/column_order.h"

#include <algorithm>
#include <numeric>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "controls/row_compare.h"

namespace tandrin {

namespace {

using Texts = std::vector<std::string>;

// Ranks of a column of texts, collated once per distinct text. False when
// a cell is no text.
bool TextRanks(const Texts& cells, std::vector<double>& ranks) {
    std::unordered_map<std::string_view, std::size_t> distinct;
    std::vector<CellKey> texts;
    std::vector<std::size_t> textOf(cells.size());
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const std::string& text = cells[i];
        // Neighbours mostly share their text (a unit): no lookup then.
        if (i > 0 && text == cells[i - 1]) {
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
    ranks.resize(cells.size());
    for (std::size_t i = 0; i < cells.size(); ++i) {
        ranks[i] = textRank[textOf[i]];
    }
    return true;
}

// Ranks of a column of numbers, dates or times, each cell read once. False
// when a cell is of another kind.
bool KindRanks(const Texts& cells, CellKind kind, std::vector<double>& ranks) {
    ranks.resize(cells.size());
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (KindOf(cells[i]) != kind) {
            return false;
        }
        ranks[i] = CellRank(cells[i], kind);
    }
    return true;
}

// A column of one kind: rank and stored place side by side, so a plain
// sort of them is stable and reads memory in order. False when the column
// mixes kinds.
bool RankedOrder(const Texts& cells, bool ascending, std::vector<std::size_t>& order) {
    const CellKind kind = KindOf(cells.front());
    std::vector<double> ranks;
    const bool uniform =
        kind == CellKind::kText ? TextRanks(cells, ranks) : KindRanks(cells, kind, ranks);
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

// A column mixing kinds: the comparison is chosen cell by cell and need
// not be a strict ordering, which an introsort may not survive; a stable
// merge sort stays inside the list.
std::vector<std::size_t> MixedOrder(const Texts& cells, bool ascending) {
    std::vector<CellKey> keys;
    keys.reserve(cells.size());
    for (const std::string& cell : cells) {
        keys.push_back(MakeCellKey(cell));
    }
    std::vector<std::size_t> order(cells.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
        const CellKey& a = keys[y];
        const CellKey& b = keys[x];
        return (ascending ? CompareCells(a, b) : CompareCells(b, a)) < 0;
    });
    return order;
}

}  // namespace

std::vector<std::size_t> ColumnOrder(const std::vector<std::string>& texts, bool ascending) {
    std::vector<std::size_t> order;
    if (texts.empty() || RankedOrder(texts, ascending, order)) {
        return order;
    }
    return MixedOrder(texts, ascending);
}

}  // namespace tandrin
