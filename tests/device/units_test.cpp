#include "device/units.h"

#include <gtest/gtest.h>

#include <set>

#include "device/sensor_types.h"
#include "device_test_support.h"

namespace tandrin {
namespace {

using test::ChineseUiScope;

constexpr const char* kWesternCelsius = "\xB0\x43";
constexpr const char* kGbkCelsius = "\xA1\xE6";

TEST(DeviceUnitText, CelsiusFollowsInterfaceLanguageAtCallTime) {
    ChineseUiScope scope(0);
    EXPECT_EQ(UnitText(32), kWesternCelsius);
    chineseUi = 1;
    EXPECT_EQ(UnitText(32), kGbkCelsius);
}

TEST(DeviceUnitText, KnownAndUnknownCodes) {
    const struct {
        std::uint8_t code;
        const char* text;
    } cases[] = {
        {4, "mmH2O"},  {12, "KPa"},  {37, "Ohm"}, {58, "V"}, {163, "Kohm"},
        {171, "mH2O"}, {237, "MPa"}, {0, "?"},    {34, "?"}, {255, "?"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UnitText(c.code), c.text) << int{c.code};
    }
}

TEST(DeviceUnitCode, ExactCaseSensitiveMatchOrZero) {
    const struct {
        const char* text;
        std::uint8_t code;
    } cases[] = {
        {"KPa", 12}, {"kPa", 0},    {"mmH2O", 171}, {"mH2O", 0},      {"KOhm", 163},
        {"Kohm", 0}, {"?", 0},      {"", 0},        {"mV", 36},       {"m", 45},
        {"mm", 49},  {"%VOL", 149}, {"Ohm ", 0},    {"\xB0\x43 ", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UnitCode(c.text), c.code) << '"' << c.text << '"';
    }
}

TEST(DeviceUnitCode, BothCelsiusTextsInEitherLanguage) {
    for (int language : {0, 1}) {
        ChineseUiScope scope(language);
        EXPECT_EQ(UnitCode(kWesternCelsius), 32);
        EXPECT_EQ(UnitCode(kGbkCelsius), 32);
    }
}

TEST(DeviceUnitCode, SetupPageUnitsRoundTrip) {
    for (int language : {0, 1}) {
        ChineseUiScope scope(language);
        for (std::uint8_t code : {32, 33, 35}) {
            EXPECT_EQ(UnitCode(UnitText(code)), code);
        }
    }
}

TEST(DeviceSensorTypes, TableHoldsDefaultsPerCode) {
    ChineseUiScope scope(0);
    const auto table = SensorTypeTable();
    ASSERT_EQ(table.size(), 29u);
    EXPECT_EQ(table[0].m_strUnit, kWesternCelsius);
    EXPECT_EQ(table[0].m_dUpper, 1820);
    EXPECT_EQ(table[3].m_dLower, -270);
    EXPECT_EQ(table[20].m_strUnit, kWesternCelsius);
    EXPECT_EQ(table[21].m_strUnit, "Ohm");
    EXPECT_EQ(table[23].m_dUpper, 10000);
    EXPECT_EQ(table[24].m_strUnit, "mV");
    EXPECT_EQ(table[24].m_dLower, -10);
    EXPECT_EQ(table[28].m_dUpper, 2000);
}

TEST(DeviceSensorTypes, DegreeUnitIsTakenWhenTheTableIsBuilt) {
    ChineseUiScope scope(1);
    const auto table = SensorTypeTable();
    chineseUi = 0;
    EXPECT_EQ(table[10].m_strUnit, kGbkCelsius);
    EXPECT_EQ(SensorTypeTable()[10].m_strUnit, kWesternCelsius);
}

TEST(DeviceSensorTypes, PositionsAndCodesMapBothWays) {
    std::set<int> codes;
    for (int position = 0; position < kSensorListSize; ++position) {
        const int code = SensorCodeAtPosition(position);
        codes.insert(code);
        EXPECT_EQ(SensorPositionOfCode(code), position);
    }
    EXPECT_EQ(codes.size(), 28u);
    EXPECT_EQ(codes.count(23), 0u);

    EXPECT_EQ(SensorCodeAtPosition(23), 24);
    EXPECT_EQ(SensorPositionOfCode(23), -1);
    EXPECT_EQ(SensorCodeAtPosition(28), -1);
    EXPECT_EQ(SensorPositionOfCode(29), -1);
    EXPECT_EQ(SensorPositionOfCode(-1), -1);
}

TEST(DeviceSensorTypes, WiringListPositions) {
    // Resistance thermometers (positions 0..10), the resistance inputs (21,
    // 22) and position 23; thermocouples and the other millivolt inputs not.
    for (int position = 0; position < kSensorListSize; ++position) {
        const bool offered = position <= 10 || (position >= 21 && position <= 23);
        EXPECT_EQ(PositionOffersWiring(position), offered) << position;
    }
    EXPECT_FALSE(PositionOffersWiring(-1));
    EXPECT_FALSE(PositionOffersWiring(28));
}

TEST(DeviceSensorTypes, SecondSensorPresentBelowCode29) {
    EXPECT_TRUE(HasSecondSensor(28));
    EXPECT_FALSE(HasSecondSensor(29));
    EXPECT_FALSE(HasSecondSensor(0xFF));
}

}  // namespace
}  // namespace tandrin
