// Universal and common-practice commands, with the standard HART layouts.
#include <algorithm>
#include <cmath>
#include <utility>

#include "device/encodings.h"
#include "device/sensor_types.h"
#include "sim/command_table.h"
#include "sim/sim_device.h"

namespace tandrin::sim {

namespace {

// Command-specific response codes.
constexpr std::uint8_t kCodeLowerTooHigh = 9;  // also: applied process too high
constexpr std::uint8_t kCodeLowerTooLow = 10;  // also: applied process too low
constexpr std::uint8_t kCodeUpperTooHigh = 11;
constexpr std::uint8_t kCodeMultidrop = 11;  // command 40
constexpr std::uint8_t kCodeUpperTooLow = 12;
constexpr std::uint8_t kCodeUpperPushed = 14;
constexpr std::uint8_t kCodeInvalidUnits = 28;
constexpr std::uint8_t kCodeInvalidSpan = 29;

constexpr std::uint8_t kUniversalRevision = 5;
constexpr std::uint8_t kSpecificRevision = 1;
constexpr std::uint8_t kHardwareRevision = 1;
constexpr float kMaxDamping = 60.0f;
constexpr float kMinFixedCurrent = 3.5f;
constexpr float kMaxFixedCurrent = 23.0f;

// Range values may sit a little beyond the sensor's limits: unit
// conversions on the way (273.16 against 273.15) must not refuse the
// limits themselves.
double Tolerance(const SensorLimits& limits) {
    return std::max(1.0, (limits.upper - limits.lower) * 0.001);
}

// Where a value in the range unit lies against the sensor limits:
// -1 below, 1 above, 0 within.
int AgainstLimits(const SimDevice& d, double value, std::uint8_t unit) {
    const SensorFamily family = d.Family();
    if (!UnitFitsFamily(unit, family)) {
        return 0;  // nothing to compare with until the sensor matches
    }
    const SensorLimits limits = LimitsOfSensor(d.m_bySensor1Type);
    const double native = FromUnit(value, family, unit);
    if (native < limits.lower - Tolerance(limits)) {
        return -1;
    }
    return native > limits.upper + Tolerance(limits) ? 1 : 0;
}

// The widest limits of any sensor of the family the range unit belongs to.
// A configuration write sends the range (35) before the sensor (186), so
// the range of a sensor about to be fitted must not be judged by the
// present one's limits.
int AgainstFamilyLimits(double value, std::uint8_t unit) {
    for (const SensorFamily family :
         {SensorFamily::kTemperature, SensorFamily::kResistance, SensorFamily::kVoltage}) {
        if (!UnitFitsFamily(unit, family)) {
            continue;
        }
        static const std::size_t kSensorCodes = SensorTypeTable().size();
        SensorLimits widest{1e300, -1e300};
        for (std::size_t i = 0; i < kSensorCodes; ++i) {
            const auto code = static_cast<std::uint8_t>(i);
            if (FamilyOfSensor(code) == family) {
                const SensorLimits limits = LimitsOfSensor(code);
                widest = {std::min(widest.lower, limits.lower),
                          std::max(widest.upper, limits.upper)};
            }
        }
        const double native = FromUnit(value, family, unit);
        if (native < widest.lower - Tolerance(widest)) {
            return -1;
        }
        return native > widest.upper + Tolerance(widest) ? 1 : 0;
    }
    return 0;
}

std::uint8_t ReadIdentity(SimDevice& d, const SimRequest&, SimReply& r, double) {
    r.data = {254,
              d.m_byManufacturer,
              d.m_byDeviceType,
              d.m_byPreambles,
              kUniversalRevision,
              kSpecificRevision,
              d.m_abySoftwareVersion[0],
              static_cast<std::uint8_t>(kHardwareRevision << 3),  // Bell 202 current
              0,
              static_cast<std::uint8_t>(d.m_dwDeviceId >> 16),
              static_cast<std::uint8_t>(d.m_dwDeviceId >> 8),
              static_cast<std::uint8_t>(d.m_dwDeviceId)};
    return 0;
}

std::uint8_t ReadPv(SimDevice& d, const SimRequest&, SimReply& r, double now) {
    r.data.push_back(d.m_byRangeUnit);
    PutFloat(r.data, static_cast<float>(d.Output(now).pv));
    return 0;
}

std::uint8_t ReadCurrentAndPercent(SimDevice& d, const SimRequest&, SimReply& r, double now) {
    const OutputSnapshot out = d.Output(now);
    PutFloat(r.data, static_cast<float>(out.current));
    PutFloat(r.data, static_cast<float>(out.percent));
    return 0;
}

std::uint8_t ReadDynamicVariables(SimDevice& d, const SimRequest&, SimReply& r, double now) {
    const OutputSnapshot out = d.Output(now);
    PutFloat(r.data, static_cast<float>(out.current));
    r.data.push_back(d.m_byRangeUnit);
    PutFloat(r.data, static_cast<float>(out.pv));
    // Second variable: sensor 2 when there is one, else sensor 1 itself;
    // third: the terminal temperature.
    r.data.push_back(d.m_byRangeUnit);
    PutFloat(r.data,
             static_cast<float>(IsSensorCode(d.m_bySensor2Type) ? out.sensor2 : out.sensor1));
    r.data.push_back(kUnitCelsius);
    PutFloat(r.data, static_cast<float>(out.terminal));
    return 0;
}

std::uint8_t WritePollAddress(SimDevice& d, const SimRequest& q, SimReply& r, double) {
    if (q.data[0] > 15) {
        return kCodeInvalidSelection;
    }
    d.m_byPollAddr = q.data[0];
    d.NoteConfigWrite();
    r.data.push_back(d.m_byPollAddr);
    return 0;
}

std::uint8_t ReadMessage(SimDevice& d, const SimRequest&, SimReply& r, double) {
    PutBytes(r.data, d.m_abyMessage);
    return 0;
}

std::uint8_t ReadTagDescriptorDate(SimDevice& d, const SimRequest&, SimReply& r, double) {
    PutBytes(r.data, d.m_abyTag);
    PutBytes(r.data, d.m_abyDescriptor);
    PutBytes(r.data, d.m_abyDate);
    return 0;
}

std::uint8_t ReadSensorInfo(SimDevice& d, const SimRequest&, SimReply& r, double) {
    const SensorFamily family = d.Family();
    const SensorLimits limits = LimitsOfSensor(d.m_bySensor1Type);
    const auto serial = d.m_dwDeviceId ^ 0x100000;
    r.data = {static_cast<std::uint8_t>(serial >> 16), static_cast<std::uint8_t>(serial >> 8),
              static_cast<std::uint8_t>(serial), d.m_byRangeUnit};
    PutFloat(r.data, static_cast<float>(ToUnit(limits.upper, family, d.m_byRangeUnit)));
    PutFloat(r.data, static_cast<float>(ToUnit(limits.lower, family, d.m_byRangeUnit)));
    PutFloat(r.data,
             static_cast<float>(SpanToUnit(10.0, family, d.m_byRangeUnit)));  // minimum span
    return 0;
}

std::uint8_t ReadOutputInfo(SimDevice& d, const SimRequest&, SimReply& r, double) {
    r.data = {static_cast<std::uint8_t>(d.m_byAlarmMode == 1 ? 1 : 0),  // alarm: high 0, low 1
              0,                                                        // linear
              d.m_byRangeUnit};
    PutFloat(r.data, d.m_fUpperRange);
    PutFloat(r.data, d.m_fLowerRange);
    PutFloat(r.data, d.m_fDamping);
    r.data.push_back(0);  // not write protected
    r.data.push_back(d.m_byManufacturer);
    return 0;
}

std::uint8_t ReadFinalAssembly(SimDevice& d, const SimRequest&, SimReply& r, double) {
    PutBytes(r.data, d.m_abyFinalAssembly);
    return 0;
}

std::uint8_t WriteMessage(SimDevice& d, const SimRequest& q, SimReply& r, double) {
    std::copy_n(q.data.begin(), d.m_abyMessage.size(), d.m_abyMessage.begin());
    d.NoteConfigWrite();
    PutBytes(r.data, d.m_abyMessage);
    return 0;
}

std::uint8_t WriteTagDescriptorDate(SimDevice& d, const SimRequest& q, SimReply& r, double) {
    auto in = q.data.begin();
    std::copy_n(in, 6, d.m_abyTag.begin());
    std::copy_n(in + 6, 12, d.m_abyDescriptor.begin());
    std::copy_n(in + 18, 3, d.m_abyDate.begin());
    d.NoteConfigWrite();
    return ReadTagDescriptorDate(d, q, r, 0);
}

std::uint8_t WriteFinalAssembly(SimDevice& d, const SimRequest& q, SimReply& r, double) {
    std::copy_n(q.data.begin(), 3, d.m_abyFinalAssembly.begin());
    d.NoteConfigWrite();
    PutBytes(r.data, d.m_abyFinalAssembly);
    return 0;
}

std::uint8_t WriteDamping(SimDevice& d, const SimRequest& q, SimReply& r, double) {
    const float damping = FloatAt(q.data, 0);
    if (std::isnan(damping) || damping > kMaxDamping) {
        return kCodeTooLarge;
    }
    if (damping < 0) {
        return kCodeTooSmall;
    }
    d.m_fDamping = damping;
    d.NoteConfigWrite();
    PutFloat(r.data, d.m_fDamping);
    return 0;
}

std::uint8_t WriteRange(SimDevice& d, const SimRequest& q, SimReply& r, double) {
    const std::uint8_t unit = q.data[0];
    const float upper = FloatAt(q.data, 1);
    const float lower = FloatAt(q.data, 5);
    if (!IsRangeUnit(unit)) {
        return kCodeInvalidUnits;
    }
    if (!std::isfinite(upper) || !std::isfinite(lower) || upper == lower) {
        return kCodeInvalidSpan;
    }
    if (const int at = AgainstFamilyLimits(lower, unit); at != 0) {
        return at > 0 ? kCodeLowerTooHigh : kCodeLowerTooLow;
    }
    if (const int at = AgainstFamilyLimits(upper, unit); at != 0) {
        return at > 0 ? kCodeUpperTooHigh : kCodeUpperTooLow;
    }
    d.m_byRangeUnit = unit;
    d.m_fUpperRange = upper;
    d.m_fLowerRange = lower;
    d.NoteConfigWrite();
    r.data.push_back(unit);
    PutFloat(r.data, upper);
    PutFloat(r.data, lower);
    return 0;
}

// The present process value becomes the 20 mA point; the 4 mA point stays.
std::uint8_t SetUpperToPv(SimDevice& d, const SimRequest&, SimReply&, double now) {
    const float pv = static_cast<float>(d.Output(now).pv);
    if (const int at = AgainstLimits(d, pv, d.m_byRangeUnit); at != 0) {
        return at > 0 ? kCodeLowerTooHigh : kCodeLowerTooLow;
    }
    if (pv == d.m_fLowerRange) {
        return kCodeInvalidSpan;
    }
    if (pv < d.m_fLowerRange) {
        // A falling range is written as one (35), never made by accident
        // from the process value.
        return kCodeLowerTooLow;  // applied process too low
    }
    d.m_fUpperRange = pv;
    d.NoteConfigWrite();
    return 0;
}

// The present process value becomes the 4 mA point and the span is kept,
// like a zero button; an upper end pushed past the sensor limit stops
// there and the answer warns about it.
std::uint8_t SetLowerToPv(SimDevice& d, const SimRequest&, SimReply&, double now) {
    const float pv = static_cast<float>(d.Output(now).pv);
    if (const int at = AgainstLimits(d, pv, d.m_byRangeUnit); at != 0) {
        return at > 0 ? kCodeLowerTooHigh : kCodeLowerTooLow;
    }
    const float span = d.m_fUpperRange - d.m_fLowerRange;
    d.m_fLowerRange = pv;
    d.m_fUpperRange = pv + span;
    d.NoteConfigWrite();
    if (AgainstLimits(d, d.m_fUpperRange, d.m_byRangeUnit) > 0) {
        const SensorLimits limits = LimitsOfSensor(d.m_bySensor1Type);
        d.m_fUpperRange = static_cast<float>(ToUnit(limits.upper, d.Family(), d.m_byRangeUnit));
        return kCodeUpperPushed;
    }
    return 0;
}

std::uint8_t ResetConfigChanged(SimDevice& d, const SimRequest&, SimReply&, double) {
    d.m_bConfigChanged = false;
    return 0;
}

std::uint8_t ReadAdditionalStatus(SimDevice& d, const SimRequest&, SimReply& r, double now) {
    r.data = d.AdditionalStatus(now);
    return 0;
}

std::uint8_t FixCurrent(SimDevice& d, const SimRequest& q, SimReply& r, double) {
    const float current = FloatAt(q.data, 0);
    if (d.m_byPollAddr != 0) {
        return kCodeMultidrop;
    }
    if (current != 0) {
        if (std::isnan(current) || current > kMaxFixedCurrent) {
            return kCodeTooLarge;
        }
        if (current < kMinFixedCurrent) {
            return kCodeTooSmall;
        }
    }
    d.m_fFixedCurrent = current;  // 0 leaves the fixed-current mode
    PutFloat(r.data, d.m_fFixedCurrent);
    return 0;
}

std::uint8_t Reset(SimDevice& d, const SimRequest&, SimReply&, double now) {
    d.Restart(now);  // the answer goes out first, from before the restart
    return 0;
}

std::uint8_t TrimZero(SimDevice& d, const SimRequest& q, SimReply& r, double) {
    const float reading = FloatAt(q.data, 0);
    if (std::isnan(reading) || reading > 6.0f) {
        return kCodeTooLarge;
    }
    if (reading < 3.0f) {
        return kCodeTooSmall;
    }
    d.m_fTrimZero = reading;
    d.NoteConfigWrite();
    PutFloat(r.data, reading);
    return 0;
}

std::uint8_t TrimGain(SimDevice& d, const SimRequest& q, SimReply& r, double) {
    const float reading = FloatAt(q.data, 0);
    if (std::isnan(reading) || reading > 22.0f) {
        return kCodeTooLarge;
    }
    if (reading < 18.0f) {
        return kCodeTooSmall;
    }
    d.m_fTrimGain = reading;
    d.NoteConfigWrite();
    PutFloat(r.data, reading);
    return 0;
}

constexpr CommandHandler kUniversal[] = {
    {0, 0, ReadIdentity},
    {1, 0, ReadPv},
    {2, 0, ReadCurrentAndPercent},
    {3, 0, ReadDynamicVariables},
    {6, 1, WritePollAddress},
    {12, 0, ReadMessage},
    {13, 0, ReadTagDescriptorDate},
    {14, 0, ReadSensorInfo},
    {15, 0, ReadOutputInfo},
    {16, 0, ReadFinalAssembly},
    {17, 24, WriteMessage},
    {18, 21, WriteTagDescriptorDate},
    {19, 3, WriteFinalAssembly},
    {34, 4, WriteDamping},
    {35, 9, WriteRange},
    {36, 0, SetUpperToPv},
    {37, 0, SetLowerToPv},
    {38, 0, ResetConfigChanged},
    {40, 4, FixCurrent},
    {42, 0, Reset},
    {45, 4, TrimZero},
    {46, 4, TrimGain},
    {48, 0, ReadAdditionalStatus},
};

}  // namespace

std::span<const CommandHandler> UniversalCommands() {
    return kUniversal;
}

}  // namespace tandrin::sim
