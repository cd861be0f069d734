#pragma once

#include <string>

namespace tandrin {

// How a list cell compares, chosen by the text of the row that comes first
// in the comparison.
enum class CellKind { kNumber, kDate, kTime, kText };

// Digits, "." and "-" only (an empty text too): a number. Exactly
// HH:MM:SS: a time of day. Exactly DD/MM/YYYY: a date. Anything else:
// text. Numbers read the same in every locale.
CellKind KindOf(const std::string& text);

// A cell with what its comparisons need, worked out once per sort.
struct CellKey {
    const std::string* text = nullptr;
    CellKind kind = CellKind::kText;
    double number = 0.0;    // as atof reads it in the C locale
    long long date = 0;     // year, month, day as decimal numbers, in that order of weight
    long long seconds = 0;  // a time of day's seconds since midnight
    std::string collated;   // locale collation key: only needed when a text is compared
};

// `collate`: also work out the collation key, which costs the most.
CellKey MakeCellKey(const std::string& text, bool collate = true);
void Collate(CellKey& key);

// The one number a cell of `kind` sorts by (not for texts).
double CellRank(const std::string& text, CellKind kind);

// -1, 0 or 1: a before, equal to or after b, the kind chosen by a alone.
int CompareCells(const CellKey& a, const CellKey& b);
// The same on plain texts.
int CompareCellTexts(const std::string& a, const std::string& b);

}  // namespace tandrin
