#pragma once

#include <atomic>
#include <string>

namespace tandrin {

// 1 while the interface language is "Simple Chinese". Atomic because the
// response parsers read it on the receive thread.
extern std::atomic<int> chineseUi;

// The Celsius unit in the interface code page: GBK "℃" (A1 E6) for the
// Chinese interface, else Windows-1252 "°C" (B0 43).
std::string DegreeText();

}  // namespace tandrin
