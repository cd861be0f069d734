#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tandrin::sim {

// How one simulated transmitter starts: identity, texts and measuring
// configuration. Everything the tool can write is state of the device
// afterwards; this is only the power-up picture.
struct DeviceConfig {
    std::uint8_t m_byPollAddr = 0;
    std::uint8_t m_byManufacturer = 0x60;
    std::uint8_t m_byDeviceType = 0x5A;
    std::optional<std::uint32_t> m_dwDeviceId;  // default: from the polling address
    std::string m_strTag = "TT101";
    std::string m_strDescriptor = "SIMULATED TT";
    std::string m_strMessage = "TANDRIN TRANSMITTER SIMULATOR";
    std::uint8_t m_byDateDay = 15;
    std::uint8_t m_byDateMonth = 1;
    std::uint16_t m_wDateYear = 2024;
    std::uint32_t m_dwFinalAssembly = 0x000001;
    std::array<std::uint8_t, 3> m_abySoftwareVersion{1, 2, 3};
    std::uint8_t m_byPreambles = 5;  // preamble bytes in each answer

    std::uint8_t m_bySensor1Type = 10;    // PT100
    std::uint8_t m_bySensor2Type = 0xFF;  // single sensor
    std::uint8_t m_byWiring = 0x11;       // 3-wire
    std::uint8_t m_byWorkMode = 0;
    std::optional<std::uint8_t> m_byUnit;  // default: the sensor's own unit
    std::optional<float> m_fLowerRange;
    std::optional<float> m_fUpperRange;
    float m_fDamping = 0.5f;
    std::optional<double> m_dProcessCentre;  // in the sensor's unit

    // Writes refused with "in write-protect mode" (7).
    bool m_bWriteProtected = false;
    // Device status bits set in every answer (a malfunction that stays).
    std::uint8_t m_byStatusBits = 0;
    // Powers up in fixed-current mode at this current (mA), as if another
    // tool had left it so; 0 for a loop that follows the process.
    float m_fFixedCurrent = 0;

    std::uint32_t DeviceId() const { return m_dwDeviceId.value_or(0x0A0000u + m_byPollAddr); }
};

// Applies a --device KEYS: comma-separated KEY=VALUE pairs over `config`.
// False with `error` set when a key is unknown or a value is out of range.
bool ParseDeviceKeys(std::string_view text, DeviceConfig& config, std::string& error);

// The text --help shows for --device KEYS.
extern const char* const kDeviceKeysHelp;

}  // namespace tandrin::sim
