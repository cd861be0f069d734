#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tandrin {

// Sensor codes 0..28; a sensor 2 code of 29 or more means the transmitter
// has no second sensor.
constexpr int kSensorTypeCount = 29;
// Entries of the setup page's sensor type lists (code 23 has none).
constexpr int kSensorListSize = 28;

constexpr bool HasSecondSensor(std::uint8_t sensor2Type) {
    return sensor2Type < kSensorTypeCount;
}

// Defaults the setup page offers when a sensor is chosen.
struct SensorTypeRecord {
    std::string m_strUnit;
    double m_dLower = 0;
    double m_dUpper = 0;
};

// One record per sensor code, in code order. Temperature sensors carry the
// Celsius text of the interface language at the time of the call.
std::vector<SensorTypeRecord> SensorTypeTable();

// Code of a list position, or -1 outside 0..27.
int SensorCodeAtPosition(int position);
// List position of a code, or -1 for code 23 and outside 0..28.
int SensorPositionOfCode(int code);
// Whether the wiring list (2, 3 or 4 wires) applies to a list position:
// 0..10 (resistance thermometers) and 21..23 (the two resistance inputs,
// and position 23, the -10..75 mV input).
bool PositionOffersWiring(int position);

}  // namespace tandrin
