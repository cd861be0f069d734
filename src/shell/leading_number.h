#pragma once

#include <string>

namespace tandrin {

// The number formed by the leading decimal digits of `text` after any
// blanks, like atoi without a sign; no digits give 0. Saturates at 255 so
// a typed "300" can never wrap round to another polling address.
unsigned LeadingByte(const std::string& text);

}  // namespace tandrin
