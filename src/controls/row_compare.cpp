#include "controls/row_compare.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace tandrin {

namespace {

bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

bool IsDate(const std::string& text) {
    if (text.size() != 10 || text[2] != '/' || text[5] != '/') {
        return false;
    }
    for (std::size_t i : {0U, 1U, 3U, 4U, 6U, 7U, 8U, 9U}) {
        if (!IsDigit(text[i])) {
            return false;
        }
    }
    return true;
}

long long Field(const std::string& text, std::size_t from, std::size_t length) {
    if (from >= text.size()) {
        return 0;
    }
    return std::atoll(text.substr(from, length).c_str());
}

// Year, then month, then day decide; a text that is no date reads its
// fields as far as it has them.
long long DateKey(const std::string& text) {
    return Field(text, 6, 4) * 10000 + Field(text, 3, 2) * 100 + Field(text, 0, 2);
}

std::string Collated(const std::string& text) {
    const std::size_t length = std::strxfrm(nullptr, text.c_str(), 0);
    std::string key(length + 1, '\0');
    std::strxfrm(key.data(), text.c_str(), key.size());
    key.resize(length);
    return key;
}

template <typename T>
int Sign(const T& a, const T& b) {
    return a > b ? 1 : (a < b ? -1 : 0);
}

}  // namespace

CellKind KindOf(const std::string& text) {
    bool numeric = true;
    for (char c : text) {
        if (!IsDigit(c) && c != '.' && c != '-') {
            numeric = false;
            break;
        }
    }
    if (numeric) {
        return CellKind::kNumber;
    }
    return IsDate(text) ? CellKind::kDate : CellKind::kText;
}

CellKey MakeCellKey(const std::string& text) {
    CellKey key;
    key.text = &text;
    key.kind = KindOf(text);
    key.number = std::atof(text.c_str());
    key.date = DateKey(text);
    key.collated = Collated(text);
    return key;
}

int CompareCells(const CellKey& a, const CellKey& b) {
    switch (a.kind) {
        case CellKind::kNumber:
            return Sign(a.number, b.number);
        case CellKind::kDate:
            return Sign(a.date, b.date);
        case CellKind::kText:
            break;
    }
    const int order = a.collated.compare(b.collated);
    return order > 0 ? 1 : (order < 0 ? -1 : 0);
}

int CompareCellTexts(const std::string& a, const std::string& b) {
    return CompareCells(MakeCellKey(a), MakeCellKey(b));
}

}  // namespace tandrin
