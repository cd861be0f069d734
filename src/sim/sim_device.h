#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "sim/device_config.h"
#include "sim/measurement.h"
#include "sim/process_model.h"
#include "sim/sim_request.h"
#include "sim/specific_state.h"

namespace tandrin::sim {

// Status bytes and data of one answer, before framing.
struct SimReply {
    std::uint8_t responseCode = 0;
    std::uint8_t deviceStatus = 0;
    std::vector<std::uint8_t> data;
};

// Device status bits (second status byte).
constexpr std::uint8_t kStatusPvOutOfLimits = 0x01;
constexpr std::uint8_t kStatusOutputSaturated = 0x04;
constexpr std::uint8_t kStatusOutputFixed = 0x08;
constexpr std::uint8_t kStatusColdStart = 0x20;
constexpr std::uint8_t kStatusConfigChanged = 0x40;

// Response codes shared by several commands.
constexpr std::uint8_t kCodeInvalidSelection = 2;
constexpr std::uint8_t kCodeTooLarge = 3;
constexpr std::uint8_t kCodeTooSmall = 4;
constexpr std::uint8_t kCodeTooFewBytes = 5;
constexpr std::uint8_t kCodeWriteProtected = 7;
constexpr std::uint8_t kCodeNotImplemented = 64;

// What the transmitter puts out at one moment.
struct OutputSnapshot {
    double pv = 0;       // in the range unit
    double sensor1 = 0;  // in the range unit, offset applied
    double sensor2 = 0;
    double terminal = 0;  // terminal temperature, degrees Celsius
    double percent = 0;   // of range, not clamped
    double current = 0;   // mA on the loop
    std::uint8_t status = 0;
};

// One simulated HART temperature transmitter: identity, the values the tool
// reads and writes, a live process value and the 4-20 mA output derived
// from it. Time is given in seconds by the caller, so tests control it.
class SimDevice {
  public:
    explicit SimDevice(const DeviceConfig& config);

    // A short frame addresses the polling address, a long frame the 38-bit
    // unique address; the master and burst bits do not take part.
    bool IsAddressedBy(const SimRequest& request) const;
    // The answer, or nothing when the device keeps silent: while it
    // restarts after command 42, or for a command other than 0 in a short
    // frame.
    std::optional<SimReply> Handle(const SimRequest& request, double now);
    // The additional status of command 48: device-specific bytes 0..5,
    // extended device status, operating mode, standardized status 0 and 1,
    // analog channels saturated, standardized status 2 and 3, analog
    // channels fixed.
    std::vector<std::uint8_t> AdditionalStatus(double now);
    // The address field of the answer to `request`.
    std::vector<std::uint8_t> ReplyAddress(const SimRequest& request) const;

    OutputSnapshot Output(double now);
    // The long address as the tool builds it from command 0 (manufacturer
    // code with bit 7 set, type, identification number).
    std::array<std::uint8_t, 5> ToolLongAddress() const;
    SensorFamily Family() const { return FamilyOfSensor(m_bySensor1Type); }
    // Where the process wanders around, in the sensor's own unit.
    double ProcessCentre() const;
    void SetProcessCentre(double centre);
    // A reset: silent for kRestartSeconds, out of the fixed-current mode,
    // the damping starting afresh, cold start reported again.
    void Restart(double now);
    // A write changed the configuration (status bit, command 161 counter).
    void NoteConfigWrite() {
        m_bConfigChanged = true;
        ++m_wConfigWrites;
    }
    // Answers resume after a restart at this time.
    double RestartUntil() const { return m_dRestartUntil; }

    // Identity
    std::uint8_t m_byManufacturer;
    std::uint8_t m_byDeviceType;
    std::uint32_t m_dwDeviceId;
    std::uint8_t m_byPreambles;
    std::array<std::uint8_t, 3> m_abySoftwareVersion;
    std::uint8_t m_byPollAddr;

    // Texts as the device keeps them: packed ASCII
    std::array<std::uint8_t, 6> m_abyTag{};
    std::array<std::uint8_t, 12> m_abyDescriptor{};
    std::array<std::uint8_t, 24> m_abyMessage{};
    std::array<std::uint8_t, 3> m_abyDate{};  // day, month, year - 1900
    std::array<std::uint8_t, 3> m_abyFinalAssembly{};

    // Measuring configuration
    std::uint8_t m_bySensor1Type;
    std::uint8_t m_bySensor2Type;
    std::uint8_t m_byWiring;
    std::uint8_t m_byWorkMode;
    float m_fSensor1Offset = 0;  // in the sensor's own unit
    float m_fSensor2Offset = 0;
    std::uint8_t m_byRangeUnit;
    float m_fLowerRange;
    float m_fUpperRange;
    float m_fDamping;
    std::uint8_t m_byDisplayMode = 0;
    std::uint8_t m_byDecimals = 1;
    std::uint8_t m_byAlarmMode = 0;  // 0: high (22 mA), 1: low (3.6 mA)

    // Output
    float m_fFixedCurrent = 0;  // 0: the output follows the process
    float m_fTrimZero = 4.0f;   // last readings of the output trims
    float m_fTrimGain = 20.0f;

    // Status and counters
    bool m_bWriteProtected = false;
    std::uint8_t m_byStatusBits = 0;  // set in every answer
    bool m_bColdStart = true;
    bool m_bConfigChanged;
    std::uint16_t m_wResets = 0;
    std::uint16_t m_wConfigWrites = 0;
    double m_dRestartUntil = 0;

    SpecificState m_specific;

    // How long the transmitter stays silent after a reset.
    static constexpr double kRestartSeconds = 0.3;

  private:
    double SensorValue(ProcessModel& process, float offset, double now);
    std::uint8_t DeviceStatus(double now);

    ProcessModel m_process1;
    ProcessModel m_process2;
    DampingFilter m_damping;
};

// Where a sensor of this family sits when nothing else is asked for, and
// how far it wanders.
double DefaultProcessCentre(SensorFamily family);
double ProcessSwing(SensorFamily family);

}  // namespace tandrin::sim
