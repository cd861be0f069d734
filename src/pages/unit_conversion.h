#pragma once

#include <string>

namespace tandrin {

// The setup page's temperature units.
enum class TemperatureUnit { kNone, kCelsius, kKelvin, kFahrenheit };

// "℃" (GBK A1 E6), "°C" as GBK bytes (A1 E3 43) or as Windows-1252 bytes
// (B0 43): each is the Celsius unit, whatever the interface language.
bool IsCelsiusText(const std::string& text);
// Celsius, "K" or "F"; kNone for any other text.
TemperatureUnit TemperatureUnitOf(const std::string& text);

// A range value (zero, span) and an offset (a difference of temperatures)
// from one temperature unit to another. Kelvin is Celsius plus 273.16.
double ConvertRangeValue(double value, TemperatureUnit from, TemperatureUnit to);
double ConvertOffset(double value, TemperatureUnit from, TemperatureUnit to);

// Offsets are kept by the device in degrees Celsius (or kelvin, the same
// step); "F" shows them 1.8 times larger.
double OffsetShownIn(const std::string& unit, double deviceOffset);
double OffsetForDevice(const std::string& unit, double shownOffset);

}  // namespace tandrin
