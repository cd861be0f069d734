#pragma once

#include <cstdint>

namespace tandrin::sim {

// What a sensor code measures and in which native unit the transmitter
// works with it: degrees Celsius, ohms or millivolts.
enum class SensorFamily { kTemperature, kResistance, kVoltage };

constexpr std::uint8_t kUnitCelsius = 32;
constexpr std::uint8_t kUnitFahrenheit = 33;
constexpr std::uint8_t kUnitRankine = 34;
constexpr std::uint8_t kUnitKelvin = 35;
constexpr std::uint8_t kUnitMillivolt = 36;
constexpr std::uint8_t kUnitOhm = 37;
constexpr std::uint8_t kUnitVolt = 58;
constexpr std::uint8_t kUnitKiloohm = 163;

// Sensor codes 0..28 are sensors; 29 and above mean "no sensor".
constexpr bool IsSensorCode(std::uint8_t code) {
    return code < 29;
}

SensorFamily FamilyOfSensor(std::uint8_t code);
std::uint8_t NativeUnit(SensorFamily family);

// The sensor's input range in its native unit, from the device tables.
struct SensorLimits {
    double lower = 0;
    double upper = 0;
};
SensorLimits LimitsOfSensor(std::uint8_t code);

// Unit codes a transmitter of this kind takes for its range.
bool IsRangeUnit(std::uint8_t unit);
bool UnitFitsFamily(std::uint8_t unit, SensorFamily family);

// Native value to `unit` and back. A unit of another family leaves the
// number as it is.
double ToUnit(double native, SensorFamily family, std::uint8_t unit);
double FromUnit(double value, SensorFamily family, std::uint8_t unit);
// A difference (span, offset) rather than a point on the scale.
double SpanToUnit(double span, SensorFamily family, std::uint8_t unit);

}  // namespace tandrin::sim
