#pragma once

#include <cstddef>
#include <cstdint>

#include "device/device_data.h"

namespace tandrin {

constexpr std::size_t kMaxRequestData = 35;

// Writes the data bytes of `command`'s request, taken from the device model,
// into `data` (room for kMaxRequestData bytes) and returns how many there
// are. Returns -1 for a command the tool has no request for. Commands 17
// and 18 upper-case the texts they send in place.
int BuildRequestData(std::uint8_t command, DeviceData& device, std::uint8_t* data);

}  // namespace tandrin
