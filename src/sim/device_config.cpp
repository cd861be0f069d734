#include "sim/device_config.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <string>

#include "sim/measurement.h"
#include "sim/option_values.h"

namespace tandrin::sim {

const char* const kDeviceKeysHelp =
    "  KEYS of a device are a comma-separated list of KEY=VALUE:\n"
    "    poll=0..15        polling address (default: 0, then the next free one)\n"
    "    id=HEX            24-bit device identification number (default 0A0000 + poll)\n"
    "    mfr=N type=N      manufacturer and device type codes (default 0x60, 0x5A)\n"
    "    tag=TEXT          8 characters      descriptor=TEXT  16 characters\n"
    "    message=TEXT      32 characters     date=YYYY-MM-DD\n"
    "    final=HEX         final assembly number (24 bits)\n"
    "    version=M.NP      software version (command 162), e.g. 1.23\n"
    "    sensor=0..28      sensor 1 code (default 10, PT100)\n"
    "    sensor2=0..28|none  second sensor (default none)\n"
    "    unit=C|F|K|R|mV|V|Ohm|kOhm|CODE   range unit (default: the sensor's own)\n"
    "    lower=X upper=X   range values in that unit (default 0..100 degrees, or the\n"
    "                      sensor's input range for ohm and millivolt sensors)\n"
    "    pv=X              centre of the live process value, in the sensor's unit;\n"
    "                      beyond the sensor's limits the output goes to alarm\n"
    "    damping=S         damping time in seconds, 0..60 (default 0.5)\n"
    "    preambles=5..20   preamble bytes in each answer (default 5)\n"
    "    protect=1         write protected: writes are refused with 7\n"
    "    status=HEX        device status bits set in every answer, e.g. 80; 40\n"
    "                      (configuration changed) until command 38 clears it\n"
    "    fixed=MA          starts in fixed-current mode at this current (3.8..20.5)\n";

namespace {

using Setter = std::function<bool(std::string_view value, DeviceConfig& config)>;

bool SetByte(std::string_view value, std::uint8_t& out, std::uint32_t min, std::uint32_t max) {
    const auto number = ParseUnsigned(value, max);
    if (!number || *number < min) {
        return false;
    }
    out = static_cast<std::uint8_t>(*number);
    return true;
}

// Packed ASCII carries only 0x20..0x5F: upper-case, then refuse the rest.
bool SetPackedText(std::string_view value, std::string& out, std::size_t width) {
    std::string text(value);
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    const bool packable = std::all_of(text.begin(), text.end(),
                                      [](unsigned char c) { return c >= 0x20 && c <= 0x5F; });
    if (text.size() > width || !packable) {
        return false;
    }
    out = text;
    return true;
}

bool SetDate(std::string_view value, DeviceConfig& config) {
    const auto parts = SplitList(value, '-');
    if (parts.size() != 3) {
        return false;
    }
    const auto year = ParseUnsigned(parts[0], 2155);
    const auto month = ParseUnsigned(parts[1], 12);
    const auto day = ParseUnsigned(parts[2], 31);
    if (!year || *year < 1900 || !month || *month < 1 || !day || *day < 1) {
        return false;
    }
    config.m_wDateYear = static_cast<std::uint16_t>(*year);
    config.m_byDateMonth = static_cast<std::uint8_t>(*month);
    config.m_byDateDay = static_cast<std::uint8_t>(*day);
    return true;
}

// "1.23" is major 1, minor 2, patch 3, as the tool shows it (V1.23).
bool SetVersion(std::string_view value, DeviceConfig& config) {
    const std::size_t dot = value.find('.');
    if (dot == std::string_view::npos || value.size() != dot + 3) {
        return false;
    }
    const auto major = ParseUnsigned(value.substr(0, dot), 255);
    const auto minor = ParseUnsigned(value.substr(dot + 1, 1), 9);
    const auto patch = ParseUnsigned(value.substr(dot + 2, 1), 9);
    if (!major || !minor || !patch) {
        return false;
    }
    config.m_abySoftwareVersion = {static_cast<std::uint8_t>(*major),
                                   static_cast<std::uint8_t>(*minor),
                                   static_cast<std::uint8_t>(*patch)};
    return true;
}

std::optional<std::uint8_t> UnitByName(std::string_view name) {
    struct Name {
        std::string_view text;
        std::uint8_t code;
    };
    static constexpr Name kNames[] = {
        {"C", kUnitCelsius},    {"F", kUnitFahrenheit}, {"K", kUnitKelvin}, {"R", kUnitRankine},
        {"mV", kUnitMillivolt}, {"V", kUnitVolt},       {"Ohm", kUnitOhm},  {"kOhm", kUnitKiloohm},
    };
    for (const Name& n : kNames) {
        if (n.text == name) {
            return n.code;
        }
    }
    const auto code = ParseUnsigned(name, 255);
    if (code && IsRangeUnit(static_cast<std::uint8_t>(*code))) {
        return static_cast<std::uint8_t>(*code);
    }
    return std::nullopt;
}

bool SetFloat(std::string_view value, std::optional<float>& out) {
    const auto number = ParseNumber(value);
    if (!number) {
        return false;
    }
    out = static_cast<float>(*number);
    return true;
}

const std::pair<std::string_view, Setter> kSetters[] = {
    {"poll", [](auto v, auto& c) { return SetByte(v, c.m_byPollAddr, 0, 15); }},
    {"id",
     [](auto v, auto& c) {
         const auto id = ParseHex(v, 0xFFFFFF);
         c.m_dwDeviceId = id;
         return id.has_value();
     }},
    {"mfr", [](auto v, auto& c) { return SetByte(v, c.m_byManufacturer, 0, 255); }},
    {"type", [](auto v, auto& c) { return SetByte(v, c.m_byDeviceType, 0, 255); }},
    {"tag", [](auto v, auto& c) { return SetPackedText(v, c.m_strTag, 8); }},
    {"descriptor", [](auto v, auto& c) { return SetPackedText(v, c.m_strDescriptor, 16); }},
    {"message", [](auto v, auto& c) { return SetPackedText(v, c.m_strMessage, 32); }},
    {"date", SetDate},
    {"final",
     [](auto v, auto& c) {
         const auto number = ParseHex(v, 0xFFFFFF);
         c.m_dwFinalAssembly = number.value_or(0);
         return number.has_value();
     }},
    {"version", SetVersion},
    {"sensor", [](auto v, auto& c) { return SetByte(v, c.m_bySensor1Type, 0, 28); }},
    {"sensor2",
     [](auto v, auto& c) {
         if (v == "none") {
             c.m_bySensor2Type = 0xFF;
             return true;
         }
         return SetByte(v, c.m_bySensor2Type, 0, 28);
     }},
    {"unit",
     [](auto v, auto& c) {
         c.m_byUnit = UnitByName(v);
         return c.m_byUnit.has_value();
     }},
    {"lower", [](auto v, auto& c) { return SetFloat(v, c.m_fLowerRange); }},
    {"upper", [](auto v, auto& c) { return SetFloat(v, c.m_fUpperRange); }},
    {"pv",
     [](auto v, auto& c) {
         c.m_dProcessCentre = ParseNumber(v);
         return c.m_dProcessCentre.has_value();
     }},
    {"damping",
     [](auto v, auto& c) {
         const auto seconds = ParseNumber(v);
         c.m_fDamping = static_cast<float>(seconds.value_or(0));
         return seconds && *seconds >= 0 && *seconds <= 60;
     }},
    {"preambles", [](auto v, auto& c) { return SetByte(v, c.m_byPreambles, 5, 20); }},
    {"protect",
     [](auto v, auto& c) {
         c.m_bWriteProtected = v == "1";
         return v == "1" || v == "0";
     }},
    {"status",
     [](auto v, auto& c) {
         const auto bits = ParseHex(v, 0xFF);
         c.m_byStatusBits = static_cast<std::uint8_t>(bits.value_or(0));
         return bits.has_value();
     }},
    {"fixed",
     [](auto v, auto& c) {
         const auto current = ParseNumber(v);
         c.m_fFixedCurrent = static_cast<float>(current.value_or(0));
         return current && *current >= 3.8 && *current <= 20.5;
     }},
};

}  // namespace

bool ParseDeviceKeys(std::string_view text, DeviceConfig& config, std::string& error) {
    for (std::string_view item : SplitList(text, ',')) {
        const KeyValue kv = SplitKeyValue(item);
        const auto setter = std::find_if(std::begin(kSetters), std::end(kSetters),
                                         [&](const auto& entry) { return entry.first == kv.key; });
        if (setter == std::end(kSetters)) {
            error = "unknown device key '" + std::string(kv.key) + "'";
            return false;
        }
        if (!kv.hasValue || !setter->second(kv.value, config)) {
            error = "bad value for device key '" + std::string(kv.key) + "': '" +
                    std::string(kv.value) + "'";
            return false;
        }
    }
    return true;
}

}  // namespace tandrin::sim
