#pragma once

#include <array>
#include <cstdint>

namespace tandrin {

// Transmit-phase (timer 1) and receive-phase (timer 2) periods per command,
// in milliseconds. Filled once; lookups never change it.
class CommandTiming {
  public:
    CommandTiming();

    // Periods for a command. A phase the table leaves open gets a fallback,
    // so every transaction still ends in bounded time: see docs/timing.md.
    std::uint32_t TransmitPeriod(std::uint8_t command, int frameLength) const;
    std::uint32_t ReceivePeriod(std::uint8_t command) const;

    bool HasTransmitEntry(std::uint8_t command) const { return transmitPeriods[command] != 0; }

    // Line time of `bytes` at 1200 baud, 11 bits a byte, rounded up.
    static std::uint32_t LineTimeMs(int bytes);

    static constexpr std::uint32_t kFallbackReceivePeriod = 350;

  private:
    std::array<std::uint32_t, 256> transmitPeriods{};  // 0 = no entry
    std::array<std::uint32_t, 256> receivePeriods{};   // 0 = no entry
};

}  // namespace tandrin
