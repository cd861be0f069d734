#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "link/hart_master.h"
#include "link/serial_port.h"
#include "link/virtual_event_loop.h"

namespace tandrin::test {

// The far side of a fake serial line: what the master wrote, when, and the
// state of the modem lines. Outlives the port objects the master discards.
struct FakeLine {
    struct Write {
        std::uint64_t at;  // virtual milliseconds
        std::vector<std::uint8_t> bytes;
    };

    std::vector<Write> writes;
    bool rts = false;
    bool open = false;
    int opens = 0;
    int portsMade = 0;
    std::string openedPath;
    bool refuseOpen = false;
    // When set, only the paths it accepts open.
    std::function<bool(const std::string&)> acceptsPath;
    // Called with each frame the master writes; a scripted device answers.
    std::function<void(const std::vector<std::uint8_t>&)> onWrite;
};

PortFactory FakePortFactory(FakeLine& line, VirtualEventLoop& loop);

// Builds a response frame: `preambles` 0xFF bytes, a long (0x86) frame with
// the given address, command, response code, device status and data.
std::vector<std::uint8_t> LongResponse(const std::array<std::uint8_t, 5>& address,
                                       std::uint8_t command, const std::vector<std::uint8_t>& data,
                                       std::uint8_t responseCode = 0, std::size_t preambles = 5,
                                       std::uint8_t deviceStatus = 0);
// A short (0x06) command 0 response from `pollAddress` carrying the identity.
std::vector<std::uint8_t> Command0Response(std::uint8_t pollAddress, std::uint8_t manufacturer,
                                           std::uint8_t deviceType,
                                           const std::array<std::uint8_t, 3>& deviceId,
                                           std::size_t preambles = 5);

// Hands `bytes` to the master after `delayMs` of virtual time, in one chunk.
void DeliverLater(VirtualEventLoop& loop, HartMaster& master, std::uint32_t delayMs,
                  std::vector<std::uint8_t> bytes);

}  // namespace tandrin::test
