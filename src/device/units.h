#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tandrin {

// HART unit code of degrees Celsius, the one unit whose text depends on
// the interface language.
constexpr std::uint8_t kUnitCelsius = 32;

// Text shown for a unit code received from the device; "?" when unknown.
std::string UnitText(std::uint8_t code);

// Code sent for a unit text: exact, case-sensitive byte comparison; 0 when
// no text matches. Both Celsius texts map to 32 whatever the language.
std::uint8_t UnitCode(std::string_view text);

}  // namespace tandrin
