#include "sim/sim_device.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "device/encodings.h"
#include "device/response_codes.h"
#include "sim/command_table.h"

namespace tandrin::sim {

namespace {

constexpr double kAlarmHigh = 22.0;
constexpr double kAlarmLow = 3.6;
constexpr double kSaturationLow = 3.8;
constexpr double kSaturationHigh = 20.5;
constexpr double kMultidropCurrent = 4.0;
constexpr double kSensor2Difference = 0.35;  // sensor 2 reads a little warmer

std::array<std::uint8_t, 3> Bytes24(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value)};
}

template <std::size_t N>
std::array<std::uint8_t, N> Packed(const std::string& text) {
    std::array<std::uint8_t, N> bytes{};
    PackText(text, N / 3 * 4, false, bytes.data());
    return bytes;
}

float DefaultRangeEnd(const DeviceConfig& config, bool upper, std::uint8_t unit) {
    const SensorFamily family = FamilyOfSensor(config.m_bySensor1Type);
    double native;
    if (family == SensorFamily::kTemperature) {
        native = upper ? 100.0 : 0.0;
    } else {
        const SensorLimits limits = LimitsOfSensor(config.m_bySensor1Type);
        native = upper ? limits.upper : limits.lower;
    }
    return static_cast<float>(ToUnit(native, family, unit));
}

}  // namespace

double DefaultProcessCentre(SensorFamily family) {
    switch (family) {
        case SensorFamily::kResistance:
            return 109.7;  // a PT100 at 25 degrees
        case SensorFamily::kVoltage:
            return 12.5;
        case SensorFamily::kTemperature:
            break;
    }
    return 21.5;
}

double ProcessSwing(SensorFamily family) {
    switch (family) {
        case SensorFamily::kResistance:
            return 0.6;
        case SensorFamily::kVoltage:
            return 0.3;
        case SensorFamily::kTemperature:
            break;
    }
    return 1.5;
}

SimDevice::SimDevice(const DeviceConfig& config)
    : m_byManufacturer(config.m_byManufacturer),
      m_byDeviceType(config.m_byDeviceType),
      m_dwDeviceId(config.DeviceId() & 0xFFFFFF),
      m_byPreambles(config.m_byPreambles),
      m_abySoftwareVersion(config.m_abySoftwareVersion),
      m_byPollAddr(config.m_byPollAddr),
      m_abyTag(Packed<6>(config.m_strTag)),
      m_abyDescriptor(Packed<12>(config.m_strDescriptor)),
      m_abyMessage(Packed<24>(config.m_strMessage)),
      m_abyDate{config.m_byDateDay, config.m_byDateMonth, YearToWire(config.m_wDateYear)},
      m_abyFinalAssembly(Bytes24(config.m_dwFinalAssembly)),
      m_bySensor1Type(config.m_bySensor1Type),
      m_bySensor2Type(config.m_bySensor2Type),
      m_byWiring(config.m_byWiring),
      m_byWorkMode(config.m_byWorkMode),
      m_byRangeUnit(config.m_byUnit.value_or(NativeUnit(FamilyOfSensor(config.m_bySensor1Type)))),
      m_fLowerRange(config.m_fLowerRange.value_or(DefaultRangeEnd(config, false, m_byRangeUnit))),
      m_fUpperRange(config.m_fUpperRange.value_or(DefaultRangeEnd(config, true, m_byRangeUnit))),
      m_fDamping(config.m_fDamping),
      m_fFixedCurrent(config.m_fFixedCurrent),
      m_bWriteProtected(config.m_bWriteProtected),
      // Configuration changed is a flag command 38 clears, not a condition.
      m_byStatusBits(static_cast<std::uint8_t>(config.m_byStatusBits & ~kStatusConfigChanged)),
      m_bConfigChanged((config.m_byStatusBits & kStatusConfigChanged) != 0),
      m_process1(config.m_dProcessCentre.value_or(DefaultProcessCentre(Family())),
                 ProcessSwing(Family()), m_dwDeviceId),
      m_process2(m_process1.Centre() + kSensor2Difference, ProcessSwing(Family()),
                 m_dwDeviceId ^ 0x5A5A5A) {}

bool SimDevice::IsAddressedBy(const SimRequest& request) const {
    if (!request.isLong) {
        return (request.address[0] & 0x3F) == m_byPollAddr;
    }
    const auto id = Bytes24(m_dwDeviceId);
    return (request.address[0] & 0x3F) == (m_byManufacturer & 0x3F) &&
           request.address[1] == m_byDeviceType &&
           std::equal(id.begin(), id.end(), &request.address[2]);
}

std::vector<std::uint8_t> SimDevice::ReplyAddress(const SimRequest& request) const {
    // Echo the request's address; this device does not burst.
    std::vector<std::uint8_t> address(request.address.begin(),
                                      request.address.begin() + (request.isLong ? 5 : 1));
    address[0] &= static_cast<std::uint8_t>(~0x40);
    return address;
}

std::array<std::uint8_t, 5> SimDevice::ToolLongAddress() const {
    const auto id = Bytes24(m_dwDeviceId);
    return {static_cast<std::uint8_t>(m_byManufacturer | 0x80), m_byDeviceType, id[0], id[1],
            id[2]};
}

std::optional<SimReply> SimDevice::Handle(const SimRequest& request, double now) {
    if (now < m_dRestartUntil || (!request.isLong && request.command != 0)) {
        return std::nullopt;
    }
    // The first answer after power-up or reset says so; the reset's own
    // answer still comes from before it.
    const bool coldStart = std::exchange(m_bColdStart, false);
    SimReply reply;
    const CommandHandler* handler = FindCommand(request.command);
    if (handler == nullptr) {
        reply.responseCode = kCodeNotImplemented;
    } else if (request.data.size() < handler->requestBytes) {
        reply.responseCode = kCodeTooFewBytes;
    } else if (m_bWriteProtected && ChangesDevice(request.command) && request.command != 42) {
        reply.responseCode = kCodeWriteProtected;
    } else {
        reply.responseCode = handler->handle(*this, request, reply, now);
    }
    if (ClassifyResponse(reply.responseCode) != ResponseClass::kSuccess &&
        ClassifyResponse(reply.responseCode) != ResponseClass::kWarning) {
        reply.data.clear();  // a warning still carries the command's data
    }
    reply.deviceStatus =
        static_cast<std::uint8_t>(DeviceStatus(now) | (coldStart ? kStatusColdStart : 0));
    return reply;
}

double SimDevice::ProcessCentre() const {
    return m_process1.Centre();
}

void SimDevice::SetProcessCentre(double centre) {
    m_process1.SetCentre(centre, ProcessSwing(Family()));
    m_process2.SetCentre(centre + kSensor2Difference, ProcessSwing(Family()));
    m_damping.Reset();
}

void SimDevice::Restart(double now) {
    m_dRestartUntil = now + kRestartSeconds;
    m_fFixedCurrent = 0;
    m_bColdStart = true;
    ++m_wResets;
    m_damping.Reset();
}

double SimDevice::SensorValue(ProcessModel& process, float offset, double now) {
    return process.ValueAt(now) + offset;
}

OutputSnapshot SimDevice::Output(double now) {
    const SensorFamily family = Family();
    const bool dual = IsSensorCode(m_bySensor2Type);
    const double s1 = SensorValue(m_process1, m_fSensor1Offset, now);
    const double s2 = dual ? SensorValue(m_process2, m_fSensor2Offset, now) : s1;

    double native = s1;
    bool difference = false;
    if (dual) {
        switch (m_byWorkMode & 0x0F) {
            case 1:
                native = (s1 + s2) / 2;
                break;
            case 2:
                native = s1 - s2;
                difference = true;
                break;
            case 3:
                native = (m_byWorkMode >> 4) == 1 ? s2 : s1;
                break;
            default:
                break;  // backup: sensor 1 while it is sound
        }
    }
    native = m_damping.Apply(native, now, m_fDamping);

    OutputSnapshot out;
    const auto outside = [](double value, std::uint8_t code) {
        const SensorLimits limits = LimitsOfSensor(code);
        return value < limits.lower || value > limits.upper;
    };
    const bool outOfLimits = outside(s1, m_bySensor1Type) || (dual && outside(s2, m_bySensor2Type));
    out.pv = difference ? SpanToUnit(native, family, m_byRangeUnit)
                        : ToUnit(native, family, m_byRangeUnit);
    out.sensor1 = ToUnit(s1, family, m_byRangeUnit);
    out.sensor2 = ToUnit(s2, family, m_byRangeUnit);
    out.terminal = 24.6 + 0.2 * std::sin(now / 300.0);
    const double span = static_cast<double>(m_fUpperRange) - m_fLowerRange;
    out.percent = span == 0 ? 0 : (out.pv - m_fLowerRange) / span * 100.0;
    if (outOfLimits) {
        out.status |= kStatusPvOutOfLimits;
    }
    if (m_byPollAddr != 0) {
        out.current = kMultidropCurrent;  // a multidrop device parks its loop
        out.status |= kStatusOutputFixed;
    } else if (m_fFixedCurrent != 0) {
        out.current = m_fFixedCurrent;
        out.status |= kStatusOutputFixed;
    } else if (outOfLimits) {
        out.current = m_byAlarmMode == 1 ? kAlarmLow : kAlarmHigh;
    } else {
        const double current = 4.0 + 0.16 * out.percent;
        out.current = std::clamp(current, kSaturationLow, kSaturationHigh);
        if (out.current != current) {
            out.status |= kStatusOutputSaturated;
        }
    }
    return out;
}

std::uint8_t SimDevice::DeviceStatus(double now) {
    std::uint8_t status = Output(now).status;
    if (m_bConfigChanged) {
        status |= kStatusConfigChanged;
    }
    return static_cast<std::uint8_t>(status | m_byStatusBits);
}

std::vector<std::uint8_t> SimDevice::AdditionalStatus(double now) {
    const std::uint8_t status = Output(now).status;
    std::vector<std::uint8_t> bytes(14, 0);
    bytes[0] = (status & kStatusPvOutOfLimits) != 0 ? 0x01 : 0x00;  // sensor fault
    bytes[6] = (status & kStatusPvOutOfLimits) != 0 ? 0x02 : 0x00;  // device variable alert
    bytes[10] = (status & kStatusOutputSaturated) != 0 ? 0x01 : 0x00;
    bytes[13] = (status & kStatusOutputFixed) != 0 ? 0x01 : 0x00;
    return bytes;
}

}  // namespace tandrin::sim
