#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "device/device_data.h"

namespace tandrin {

// Device > Device Status… and tandrin-cli status: the additional status of
// command 48 and the device status byte, laid out for reading, and the
// clearing of the configuration-changed flag (command 38).

struct StatusRow {
    std::string key;    // stable name, for JSON
    std::string label;  // interface code page
    std::string value;
    int byte = -1;  // a standard byte of command 48 as received; -1 for the others
};

// The eight device status bits, then what command 48 brought: extended
// device status, operating mode, standardized status 0 to 3 and the analog
// channel bytes where the reply holds them, the device-specific bytes in
// hexadecimal. Nothing of command 48 before it has been read.
std::vector<StatusRow> DeviceStatusRows(const DeviceData& device);

class DeviceStatusReader {
  public:
    // Starts [0, 48] after CheckLinkReady; false when refused.
    bool Read();
    // Asks first ("strResetConfigAsk"); on Yes starts [0, 38]. False when
    // declined or refused.
    bool ClearConfigChanged();

  private:
    static void StepDone(void* user, std::int32_t success, std::uint8_t command);
};

}  // namespace tandrin
