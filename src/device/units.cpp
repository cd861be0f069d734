#include "device/units.h"

#include <array>

#include "device/degree_text.h"

namespace tandrin {

namespace {

struct UnitName {
    std::uint8_t code;
    std::string_view text;
};

constexpr std::string_view kUnknownUnit = "?";
constexpr std::string_view kCelsiusWestern = "\xB0\x43";
constexpr std::string_view kCelsiusGbk = "\xA1\xE6";

// Received codes. Deliberately not the inverse of kSentUnits: a few codes
// and spellings differ (4/171 for mmH2O, "Kohm"/"KOhm", 58 has no way back).
// Code 32 is not listed: its text follows the interface language.
constexpr std::array<UnitName, 24> kReceivedUnits{{
    {4, "mmH2O"}, {5, "mmHg"},   {6, "psi"},    {7, "bar"},    {8, "mbar"},   {11, "Pa"},
    {12, "KPa"},  {33, "F"},     {35, "K"},     {36, "mV"},    {37, "Ohm"},   {45, "m"},
    {47, "inch"}, {48, "cm"},    {49, "mm"},    {58, "V"},     {60, "g"},     {61, "Kg"},
    {139, "ppm"}, {149, "%VOL"}, {161, "%LEL"}, {163, "Kohm"}, {171, "mH2O"}, {237, "MPa"},
}};

// Sent texts, tried in this order.
constexpr std::array<UnitName, 24> kSentUnits{{
    {5, "mmHg"},
    {6, "psi"},
    {7, "bar"},
    {8, "mbar"},
    {11, "Pa"},
    {12, "KPa"},
    {237, "MPa"},
    {171, "mmH2O"},
    {60, "g"},
    {61, "Kg"},
    {45, "m"},
    {47, "inch"},
    {48, "cm"},
    {49, "mm"},
    {kUnitCelsius, kCelsiusWestern},
    {kUnitCelsius, kCelsiusGbk},
    {33, "F"},
    {35, "K"},
    {37, "Ohm"},
    {163, "KOhm"},
    {161, "%LEL"},
    {149, "%VOL"},
    {139, "ppm"},
    {36, "mV"},
}};

}  // namespace

std::string UnitText(std::uint8_t code) {
    if (code == kUnitCelsius) {
        return DegreeText();
    }
    for (const UnitName& unit : kReceivedUnits) {
        if (unit.code == code) {
            return std::string(unit.text);
        }
    }
    return std::string(kUnknownUnit);
}

std::uint8_t UnitCode(std::string_view text) {
    for (const UnitName& unit : kSentUnits) {
        if (unit.text == text) {
            return unit.code;
        }
    }
    return 0;
}

}  // namespace tandrin
