#pragma once

#include <cstdint>

#include "device/device_data.h"

namespace tandrin {

// Runs the parser of `command` over a response record (the accepted frame
// from its delimiter, zero-filled to at least 60 bytes). Checks the byte
// count, then stores the fields in the device model. Returns false, storing
// nothing, when the response is not acceptable or the command has no parser.
bool ParseResponse(std::uint8_t command, std::uint8_t byteCount, const std::uint8_t* record,
                   DeviceData& device);

}  // namespace tandrin
