#include "device/sensor_types.h"

#include <array>

#include "device/degree_text.h"

namespace tandrin {

namespace {

struct SensorRange {
    const char* unit;  // nullptr: the Celsius text of the moment
    double lower;
    double upper;
};

constexpr std::array<SensorRange, kSensorTypeCount> kSensorRanges{{
    {nullptr, 0, 1820},     // 0 type B
    {nullptr, -270, 1000},  // 1 type E
    {nullptr, -210, 1200},  // 2 type J
    {nullptr, -270, 1372},  // 3 type K
    {nullptr, -270, 1300},  // 4 type N
    {nullptr, -50, 1768},   // 5 type R
    {nullptr, -50, 1768},   // 6 type S
    {nullptr, -270, 400},   // 7 type T
    {nullptr, 0, 2320},     // 8 type C
    {nullptr, 0, 2320},     // 9 type D
    {nullptr, -200, 850},   // 10 PT100
    {nullptr, -200, 250},   // 11 PT500
    {nullptr, -200, 250},   // 12 PT1000
    {nullptr, -50, 150},    // 13 Cu50
    {nullptr, -50, 150},    // 14 Cu100
    {nullptr, -60, 180},    // 15 Ni100 5000 ppm/K
    {nullptr, -60, 180},    // 16 Ni500 5000 ppm/K
    {nullptr, -60, 150},    // 17 Ni1000 5000 ppm/K
    {nullptr, -60, 180},    // 18 Ni100 6180 ppm/K
    {nullptr, -60, 180},    // 19 Ni500 6180 ppm/K
    {nullptr, -60, 150},    // 20 Ni1000 6180 ppm/K
    {"Ohm", 0, 400},        // 21
    {"Ohm", 0, 2000},       // 22
    {"Ohm", 0, 10000},      // 23
    {"mV", -10, 75},        // 24
    {"mV", -100, 100},      // 25
    {"mV", -100, 500},      // 26
    {"mV", -100, 1000},     // 27
    {"mV", -100, 2000},     // 28
}};

constexpr std::array<int, kSensorListSize> kCodeAtPosition{10, 11, 12, 13, 14, 15, 16, 17, 18, 19,
                                                           20, 0,  1,  2,  3,  4,  5,  6,  7,  8,
                                                           9,  21, 22, 24, 25, 26, 27, 28};

constexpr std::array<int, kSensorTypeCount> kPositionOfCode{11, 12, 13, 14, 15, 16, 17, 18, 19, 20,
                                                            0,  1,  2,  3,  4,  5,  6,  7,  8,  9,
                                                            10, 21, 22, -1, 23, 24, 25, 26, 27};

}  // namespace

std::vector<SensorTypeRecord> SensorTypeTable() {
    const std::string degree = DegreeText();
    std::vector<SensorTypeRecord> table;
    table.reserve(kSensorTypeCount);
    for (int code = 0; code < kSensorTypeCount; ++code) {
        const SensorRange& range = kSensorRanges[code];
        table.push_back({range.unit ? std::string(range.unit) : degree, range.lower, range.upper});
    }
    return table;
}

int SensorCodeAtPosition(int position) {
    return position >= 0 && position < kSensorListSize ? kCodeAtPosition[position] : -1;
}

int SensorPositionOfCode(int code) {
    return code >= 0 && code < kSensorTypeCount ? kPositionOfCode[code] : -1;
}

bool PositionOffersWiring(int position) {
    return (position >= 0 && position <= 10) || (position >= 21 && position <= 23);
}

}  // namespace tandrin
