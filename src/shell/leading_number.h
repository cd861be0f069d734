#pragma once

#include <string>

namespace tandrin {

// The number formed by the leading decimal digits of `text` after any
// blanks, like atoi without a sign; no digits give 0. Saturates at 255 so
// a typed "300" can never wrap round to another polling address.
unsigned LeadingByte(const std::string& text);

// The decimal number at the start of an edit's text (at most its first 255
// characters), like strtod in the C locale but without its hexadecimal,
// "inf" and "nan" forms: blanks skipped, then the longest prefix made of a
// sign, digits, a decimal point and an exponent. No digits give 0.
double LeadingDouble(const std::string& text);

}  // namespace tandrin
