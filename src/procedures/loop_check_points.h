#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tandrin {

// What a loop check tests: points in percent of the 4..20 mA span, the
// tolerance in percent of span and the settling time at each point.
struct LoopCheckSettings {
    std::vector<double> points{0, 25, 50, 75, 100};
    double tolerance = 0.1;
    double settleSeconds = 0;
    // Also read the transmitter's own loop current (command 2) at each point.
    bool readTransmitter = true;
};

inline constexpr double kLoopZeroMa = 4.0;
inline constexpr double kLoopSpanMa = 16.0;
// A point may lie anywhere the transmitter can be fixed: 3.8..20.5 mA.
inline constexpr double kLowestPoint = -1.25;
inline constexpr double kHighestPoint = 103.125;
inline constexpr std::size_t kMostPoints = 21;
inline constexpr double kMostTolerance = 10.0;
inline constexpr double kMostSettleSeconds = 600.0;
// A reading outside this cannot come from a live 4..20 mA loop.
inline constexpr double kLowestReadingMa = 0.0;
inline constexpr double kHighestReadingMa = 30.0;

double ExpectedCurrent(double percent);
// (reading − expected) ÷ 16 mA × 100 %.
double ErrorPercent(double expectedMa, double readingMa);
// |error| ≤ tolerance, both rounded to millionths of a percent first (see
// the definition).
bool WithinTolerance(double errorPercent, double tolerancePercent);

// The error with four decimals, rounded half away from zero from the same
// millionths the tolerance is judged at, so the text agrees with the verdict.
std::string ErrorText(double errorPercent);

// "0,25,50,75,100": comma-separated decimals, blanks allowed, each within
// kLowestPoint..kHighestPoint, at most kMostPoints. Empty on bad input.
std::optional<std::vector<double>> ParsePoints(const std::string& text);
// A plain decimal number (no units, no trailing text).
std::optional<double> ParseDecimal(const std::string& text);
bool ToleranceValid(double tolerance);
bool SettleValid(double seconds);
bool ReadingValid(double readingMa);
// "0,25,50,75,100" again, shortest form of each point.
std::string PointsText(const std::vector<double>& points);

}  // namespace tandrin
