#pragma once

#include <string>

namespace tandrin {

// The number a box holds: the longest leading decimal number after any
// blanks ("12.5abc" reads 12.5); an empty box, text without one, or a value
// beyond double's range reads 0. Never locale-dependent: a comma is never
// a decimal point.
double DecimalValue(const std::string& text);

// Whether the box's number is one a transmitter can hold as a 4-byte
// float: false for a number beyond its range (beyond double's too) and for
// text that spells infinity or not-a-number. An empty box or text without
// a number reads 0 and fits.
bool FitsFloat(const std::string& text);

// `value` with `decimals` digits after the point, like "%.*f" in the C
// locale.
std::string FixedText(double value, int decimals);

}  // namespace tandrin
