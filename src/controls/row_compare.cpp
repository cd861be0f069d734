#include "controls/row_compare.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <system_error>

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

// As atoll reads text.substr(from, length), without making the substring:
// a sort reads this for every row.
long long Field(const std::string& text, std::size_t from, std::size_t length) {
    const std::size_t end = std::min(text.size(), from + length);
    std::size_t at = from;
    while (at < end && std::isspace(static_cast<unsigned char>(text[at])) != 0) {
        ++at;
    }
    const bool negative = at < end && text[at] == '-';
    if (at < end && (text[at] == '-' || text[at] == '+')) {
        ++at;
    }
    long long value = 0;
    while (at < end && IsDigit(text[at])) {
        value = value * 10 + (text[at++] - '0');
    }
    return negative ? -value : value;
}

// "HH:MM:SS", as the sample list shows a time of day.
bool IsTimeOfDay(const std::string& text) {
    if (text.size() != 8 || text[2] != ':' || text[5] != ':') {
        return false;
    }
    for (std::size_t i : {0U, 1U, 3U, 4U, 6U, 7U}) {
        if (!IsDigit(text[i])) {
            return false;
        }
    }
    return true;
}

long long TimeKey(const std::string& text) {
    return Field(text, 0, 2) * 3600 + Field(text, 3, 2) * 60 + Field(text, 6, 2);
}

// "-123.456" with at most 15 digits: the digits as an integer over a power
// of ten, both exact doubles, so the quotient is the correctly rounded
// value. A sort reads every row's number; this is many times quicker than
// from_chars here.
bool ShortDecimal(const std::string& text, double& value) {
    static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    std::size_t at = 0;
    const bool negative = !text.empty() && text[0] == '-';
    at += negative ? 1 : 0;
    long long digits = 0;
    int count = 0;
    int decimals = -1;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '.' && decimals < 0) {
            decimals = 0;
        } else if (IsDigit(c) && count < 15) {
            digits = digits * 10 + (c - '0');
            ++count;
            decimals += decimals >= 0 ? 1 : 0;
        } else {
            return false;
        }
    }
    if (count == 0) {
        return false;
    }
    const double magnitude = static_cast<double>(digits) / kPowers[decimals > 0 ? decimals : 0];
    value = negative ? -magnitude : magnitude;
    return true;
}

// Like atof, but a point is the decimal point in every locale.
double LeadingNumber(const std::string& text) {
    if (double value = 0.0; ShortDecimal(text, value)) {
        return value;
    }
    const char* at = text.c_str();
    const char* end = at + text.size();
    while (at != end && std::isspace(static_cast<unsigned char>(*at)) != 0) {
        ++at;
    }
    if (at != end && *at == '+') {
        ++at;
    }
    double value = 0.0;
    const auto result = std::from_chars(at, end, value);
    return result.ec == std::errc() ? value : 0.0;
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
    if (IsTimeOfDay(text)) {
        return CellKind::kTime;
    }
    return IsDate(text) ? CellKind::kDate : CellKind::kText;
}

CellKey MakeCellKey(const std::string& text, bool collate) {
    CellKey key;
    key.text = &text;
    key.kind = KindOf(text);
    key.number = LeadingNumber(text);
    key.date = DateKey(text);
    key.seconds = TimeKey(text);
    if (collate) {
        Collate(key);
    }
    return key;
}

double CellRank(const std::string& text, CellKind kind) {
    switch (kind) {
        case CellKind::kDate:
            return static_cast<double>(DateKey(text));
        case CellKind::kTime:
            return static_cast<double>(TimeKey(text));
        default:
            return LeadingNumber(text);
    }
}

void Collate(CellKey& key) {
    key.collated = Collated(*key.text);
}

int CompareCells(const CellKey& a, const CellKey& b) {
    switch (a.kind) {
        case CellKind::kNumber:
            return Sign(a.number, b.number);
        case CellKind::kDate:
            return Sign(a.date, b.date);
        case CellKind::kTime:
            return Sign(a.seconds, b.seconds);
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
