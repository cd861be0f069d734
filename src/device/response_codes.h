#pragma once

#include <cstdint>
#include <string>

namespace tandrin {

// The first status byte of a reply, as HART defines it. With bit 7 set it
// holds the transmitter's communication error flags for our request; else
// it is the response code of the command.
constexpr std::uint8_t kCommErrorFlag = 0x80;
constexpr std::uint8_t kCodeBusy = 32;
constexpr std::uint8_t kCodeNotImplemented = 64;

// What a reply's response code means for the transaction.
enum class ResponseClass : std::uint8_t {
    kSuccess,  // 0
    kWarning,  // taken, with something to say
    kRefusal,  // not taken: an answer, not worth asking again
    kRetry,    // our request was garbled, or the transmitter is busy: ask again
};

ResponseClass ClassifyResponse(std::uint8_t code);

// The language key ("String" section) of what `code` means for `command`:
// the command's own meaning where HART gives one, else the universal one;
// empty for a code without a known meaning.
std::string ResponseCodeKey(std::uint8_t command, std::uint8_t code);

// Whether a command changes what the transmitter holds or does (a write,
// a trim, a reset), as opposed to reading.
bool ChangesDevice(std::uint8_t command);

// The second status byte: device status, one bit a condition, most
// serious first.
struct DeviceStatusBit {
    std::uint8_t mask;
    const char* key;   // language key
    const char* name;  // stable name for JSON
};
inline constexpr DeviceStatusBit kDeviceStatusBits[] = {
    {0x80, "strDsMalfunction", "field_device_malfunction"},
    {0x08, "strDsCurrentFixed", "loop_current_fixed"},
    {0x04, "strDsCurrentSaturated", "loop_current_saturated"},
    {0x01, "strDsPvOutOfLimits", "primary_variable_out_of_limits"},
    {0x02, "strDsNonPvOutOfLimits", "non_primary_variable_out_of_limits"},
    {0x10, "strDsMoreStatus", "more_status_available"},
    {0x40, "strDsConfigChanged", "configuration_changed"},
    {0x20, "strDsColdStart", "cold_start"},
};
constexpr std::uint8_t kStatusCurrentFixed = 0x08;
constexpr std::uint8_t kStatusConfigChanged = 0x40;
constexpr std::uint8_t kStatusMalfunction = 0x80;

// The first set bit of kDeviceStatusBits, or nullptr when none is set.
const DeviceStatusBit* MostSeriousStatus(std::uint8_t status);

}  // namespace tandrin
