#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "link/hart_master.h"

namespace tandrin {

// The transmitter's own words in the interface language.

// "lower range value too high (9)"; a code without a known meaning is
// shown as its number.
std::string ResponseMeaningText(std::uint8_t command, std::uint8_t code);
// "The transmitter refused the range (command 35): lower range value too
// high (9)".
std::string RefusalText(const ReplyOutcome& outcome);
// "The transmitter took the damping (command 34) with a warning: …".
std::string WarningText(const ReplyOutcome& outcome);
// What a command writes, "the range", or "command 35" when unnamed.
std::string CommandWhatText(std::uint8_t command);
// "Writes already taken: the range (command 35), …", or empty.
std::string TakenWritesText(const std::vector<std::uint8_t>& commands);

// The set device status bits in words, most serious first.
std::vector<std::string> DeviceStatusTexts(std::uint8_t status);

}  // namespace tandrin
