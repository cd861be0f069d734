#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tandrin {

// Everything held about the one transmitter. HartMaster inherits it, so the
// values are plain members of the master (hartMaster.m_fPV). The request
// builders read them, the response parsers write them, and pages touch them
// only while no command is outstanding. Zero and empty until a response or
// a page fills them; nothing resets them afterwards.
//
// Texts are byte strings in the interface code page (GBK or Windows-1252).
struct DeviceData {
    // Addressing and identity
    std::uint8_t m_byPollAddr = 0;
    std::uint8_t m_byNewPollAddr = 0;
    std::array<std::uint8_t, 5> m_abyLongAddr{};
    std::string m_strFinalAssembly;  // six upper-case hex digits
    std::string m_strSoftwareVersion;

    // Tag, descriptor, message and date
    std::string m_strTag;
    std::string m_strDescriptor;
    std::string m_strMessage;
    std::uint16_t m_wDateYear = 0;  // full year
    std::uint8_t m_byDateMonth = 0;
    std::uint8_t m_byDateDay = 0;

    // The second status byte of the last reply taken (device status), and
    // the additional status of command 48 (up to 25 bytes).
    std::uint8_t m_byDeviceStatus = 0;
    std::array<std::uint8_t, 25> m_abyAdditionalStatus{};
    std::uint8_t m_byAdditionalStatusLength = 0;

    // Process values
    float m_fPV = 0;
    std::string m_strPVUnit;
    float m_fLoopCurrent = 0;
    float m_fPercentRange = 0;
    float m_fDynPV = 0;
    float m_fDynSV = 0;
    float m_fDynTV = 0;

    // Output and range
    float m_fLowerRange = 0;
    float m_fUpperRange = 0;
    float m_fDamping = 0;
    std::string m_strSensorLimitUnit;
    float m_fSensorUpperLimit = 0;
    float m_fSensorLowerLimit = 0;
    float m_fFixedCurrent = 0;
    float m_fTrimZeroCurrent = 0;
    float m_fTrimGainCurrent = 0;

    // Sensor configuration (commands 146 and 186)
    std::uint8_t m_bySensor1Type = 0;
    std::uint8_t m_bySensor2Type = 0;  // 29 and above: no second sensor
    std::uint8_t m_byWiring = 0;       // low nibble sensor 1, high nibble sensor 2
    std::uint8_t m_byWorkMode = 0;     // low nibble mode, high nibble output sensor
    float m_fSensor1Offset = 0;
    float m_fSensor2Offset = 0;

    // Display and alarm (commands 147 and 187)
    std::uint8_t m_byDisplayMode = 0;
    std::uint8_t m_byDecimals = 0;
    std::uint8_t m_byAlarmMode = 0;  // 0: >=22mA, 1: <=3.6mA

    // Device-specific values the command layer carries but no page shows
    std::array<std::uint8_t, 4> m_abyCmd161{};
    std::array<std::uint8_t, 5> m_abyCmd141{};
    std::uint8_t m_byCmd148A = 0;
    std::uint8_t m_byCmd148B = 0;
    float m_fCmd150 = 0;
    std::uint8_t m_byCmd150Steps = 0;  // wire value divided by 3
    float m_fCmd140A = 0;
    float m_fCmd140B = 0;
    std::int32_t m_bCmd160 = 0;
    std::array<std::uint8_t, 35> m_abyBlock{};
    std::uint8_t m_byBlockSelA = 0;
    std::uint8_t m_byBlockSelB = 0;
    std::uint8_t m_byCmd143Index = 0;
    std::array<std::uint8_t, 4> m_abyCmd143{};
    std::uint16_t m_wCmd143A = 0;
    std::uint16_t m_wCmd143B = 0;
    double m_dCmd143A = 0;
    double m_dCmd143B = 0;
    std::array<float, 3> m_afCmd144{};
    std::uint8_t m_byCmd184Select = 0;
    std::uint8_t m_byCmd138A = 0;
    std::uint8_t m_byCmd138B = 0;
    float m_fCmd137 = 0;
    float m_fCmd142 = 0;
    float m_fCmd145 = 0;

    bool operator==(const DeviceData&) const = default;
};

}  // namespace tandrin
