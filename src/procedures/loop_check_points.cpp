#include "procedures/loop_check_points.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace tandrin {

namespace {

// The resolution the tolerance is judged at: a millionth of a percent of
// span is 0.16 nA, far finer than any meter, yet far coarser than the
// binary rounding of the subtraction (about 1e-13 %).
constexpr double kJudgeSteps = 1e6;
// Beyond this an error is nonsense anyway; the clamp keeps the millionths
// within a long long.
constexpr double kLargestError = 1e9;

// NaN counts as beyond every tolerance.
long long Millionths(double percent) {
    if (std::isnan(percent)) {
        return std::numeric_limits<long long>::max();
    }
    return std::llround(std::clamp(percent, -kLargestError, kLargestError) * kJudgeSteps);
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

}  // namespace

double ExpectedCurrent(double percent) {
    return kLoopZeroMa + kLoopSpanMa * percent / 100.0;
}

double ErrorPercent(double expectedMa, double readingMa) {
    return (readingMa - expectedMa) / kLoopSpanMa * 100.0;
}

// In plain doubles 12.016 − 12 comes out as 0.10000000000000009 %, so a
// reading exactly on the edge would fail at some points and pass at others.
// Rounding both sides to the judging resolution makes the edge exact.
bool WithinTolerance(double errorPercent, double tolerancePercent) {
    return std::llabs(Millionths(errorPercent)) <= Millionths(tolerancePercent);
}

std::string ErrorText(double errorPercent) {
    const long long millionths = Millionths(errorPercent);
    const long long shown = (std::llabs(millionths) + 50) / 100;  // ten-thousandths
    char text[48];
    std::snprintf(text, sizeof text, "%s%lld.%04lld", millionths < 0 && shown != 0 ? "-" : "",
                  shown / 10000, shown % 10000);
    return text;
}

std::optional<double> ParseDecimal(const std::string& text) {
    const std::string trimmed = Trimmed(text);
    double value = 0;
    const char* begin = trimmed.data();
    const char* end = begin + trimmed.size();
    if (begin != end && *begin == '+') {
        ++begin;
    }
    const auto result = std::from_chars(begin, end, value, std::chars_format::fixed);
    if (trimmed.empty() || result.ec != std::errc() || result.ptr != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::vector<double>> ParsePoints(const std::string& text) {
    std::vector<double> points;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const auto point = ParseDecimal(text.substr(start, comma - start));
        if (!point || *point < kLowestPoint || *point > kHighestPoint ||
            points.size() == kMostPoints) {
            return std::nullopt;
        }
        points.push_back(*point);
        start = comma + 1;
    }
    return points;
}

bool ToleranceValid(double tolerance) {
    return std::isfinite(tolerance) && tolerance > 0 && tolerance <= kMostTolerance;
}

bool SettleValid(double seconds) {
    return std::isfinite(seconds) && seconds >= 0 && seconds <= kMostSettleSeconds;
}

bool ReadingValid(double readingMa) {
    return std::isfinite(readingMa) && readingMa >= kLowestReadingMa &&
           readingMa <= kHighestReadingMa;
}

std::string PointsText(const std::vector<double>& points) {
    std::string text;
    for (const double point : points) {
        char number[32];
        const auto result = std::to_chars(number, number + sizeof number, point);
        text += (text.empty() ? "" : ",") + std::string(number, result.ptr);
    }
    return text;
}

}  // namespace tandrin
