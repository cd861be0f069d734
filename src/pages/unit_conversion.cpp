#include "pages/unit_conversion.h"

namespace tandrin {

namespace {

// The factors of the transmitter's own firmware: 273.16 and 459.688, not
// 273.15 and 459.67, so that values written round-trip unchanged.
constexpr double kKelvinOffset = 273.16;
constexpr double kFahrenheitOfZeroKelvin = 459.688;
constexpr double kFahrenheitPerDegree = 1.8;
constexpr double kDegreePerFahrenheit = 0.5555555555555556;
constexpr double kCelsiusOfZeroFahrenheit = 17.77777777777778;

}  // namespace

bool IsCelsiusText(const std::string& text) {
    return text == "\xA1\xE6" ||
           text ==
               "\xA1\xE3"
               "C" ||
           text ==
               "\xB0"
               "C";
}

TemperatureUnit TemperatureUnitOf(const std::string& text) {
    if (IsCelsiusText(text)) {
        return TemperatureUnit::kCelsius;
    }
    if (text == "K") {
        return TemperatureUnit::kKelvin;
    }
    if (text == "F") {
        return TemperatureUnit::kFahrenheit;
    }
    return TemperatureUnit::kNone;
}

double ConvertRangeValue(double value, TemperatureUnit from, TemperatureUnit to) {
    using enum TemperatureUnit;
    if (from == kCelsius && to == kFahrenheit) {
        return value * kFahrenheitPerDegree + 32;
    }
    if (from == kCelsius && to == kKelvin) {
        return value + kKelvinOffset;
    }
    if (from == kFahrenheit && to == kCelsius) {
        return value * kDegreePerFahrenheit - kCelsiusOfZeroFahrenheit;
    }
    if (from == kFahrenheit && to == kKelvin) {
        return value * kDegreePerFahrenheit - kCelsiusOfZeroFahrenheit + kKelvinOffset;
    }
    if (from == kKelvin && to == kCelsius) {
        return value - kKelvinOffset;
    }
    if (from == kKelvin && to == kFahrenheit) {
        return value * kFahrenheitPerDegree - kFahrenheitOfZeroKelvin;
    }
    return value;
}

double ConvertOffset(double value, TemperatureUnit from, TemperatureUnit to) {
    using enum TemperatureUnit;
    if (from != kFahrenheit && to == kFahrenheit && from != kNone) {
        return value * kFahrenheitPerDegree;
    }
    if (from == kFahrenheit && to != kFahrenheit && to != kNone) {
        return value * kDegreePerFahrenheit;
    }
    return value;
}

double OffsetShownIn(const std::string& unit, double deviceOffset) {
    return unit == "F" ? deviceOffset * kFahrenheitPerDegree : deviceOffset;
}

double OffsetForDevice(const std::string& unit, double shownOffset) {
    return unit == "F" ? shownOffset * kDegreePerFahrenheit : shownOffset;
}

}  // namespace tandrin
