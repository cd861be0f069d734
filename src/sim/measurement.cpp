#include "sim/measurement.h"

#include <vector>

#include "device/sensor_types.h"

namespace tandrin::sim {

namespace {

constexpr double kKelvinOffset = 273.15;

// Scale and offset of `unit` against the family's native unit:
// value = native * scale + offset.
struct Linear {
    double scale = 1;
    double offset = 0;
};

Linear UnitLine(SensorFamily family, std::uint8_t unit) {
    switch (family) {
        case SensorFamily::kTemperature:
            switch (unit) {
                case kUnitFahrenheit:
                    return {1.8, 32};
                case kUnitRankine:
                    return {1.8, kKelvinOffset * 1.8};
                case kUnitKelvin:
                    return {1, kKelvinOffset};
                default:
                    return {};
            }
        case SensorFamily::kResistance:
            return unit == kUnitKiloohm ? Linear{0.001, 0} : Linear{};
        case SensorFamily::kVoltage:
            return unit == kUnitVolt ? Linear{0.001, 0} : Linear{};
    }
    return {};
}

}  // namespace

SensorFamily FamilyOfSensor(std::uint8_t code) {
    if (code >= 21 && code <= 23) {
        return SensorFamily::kResistance;
    }
    if (code >= 24 && code <= 28) {
        return SensorFamily::kVoltage;
    }
    return SensorFamily::kTemperature;
}

std::uint8_t NativeUnit(SensorFamily family) {
    switch (family) {
        case SensorFamily::kResistance:
            return kUnitOhm;
        case SensorFamily::kVoltage:
            return kUnitMillivolt;
        case SensorFamily::kTemperature:
            break;
    }
    return kUnitCelsius;
}

SensorLimits LimitsOfSensor(std::uint8_t code) {
    static const std::vector<SensorTypeRecord> table = SensorTypeTable();
    if (code >= table.size()) {
        return {};
    }
    return {table[code].m_dLower, table[code].m_dUpper};
}

bool IsRangeUnit(std::uint8_t unit) {
    switch (unit) {
        case kUnitCelsius:
        case kUnitFahrenheit:
        case kUnitRankine:
        case kUnitKelvin:
        case kUnitMillivolt:
        case kUnitOhm:
        case kUnitVolt:
        case kUnitKiloohm:
            return true;
        default:
            return false;
    }
}

bool UnitFitsFamily(std::uint8_t unit, SensorFamily family) {
    switch (family) {
        case SensorFamily::kTemperature:
            return unit == kUnitCelsius || unit == kUnitFahrenheit || unit == kUnitRankine ||
                   unit == kUnitKelvin;
        case SensorFamily::kResistance:
            return unit == kUnitOhm || unit == kUnitKiloohm;
        case SensorFamily::kVoltage:
            return unit == kUnitMillivolt || unit == kUnitVolt;
    }
    return false;
}

double ToUnit(double native, SensorFamily family, std::uint8_t unit) {
    const Linear line = UnitLine(family, unit);
    return native * line.scale + line.offset;
}

double FromUnit(double value, SensorFamily family, std::uint8_t unit) {
    const Linear line = UnitLine(family, unit);
    return (value - line.offset) / line.scale;
}

double SpanToUnit(double span, SensorFamily family, std::uint8_t unit) {
    return span * UnitLine(family, unit).scale;
}

}  // namespace tandrin::sim
