#include "cli/cli_setup_options.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

namespace tandrin::cli {

const char* const kSetupHelp = R"(
The Setup page (setup, set-setup):
  setup       reads 0, 15, 146, 147 and prints the measuring configuration;
              JSON keys: sensors (1 or 2), work_mode (backup, average,
              difference, independent; two sensors), output_sensor (1 or 2;
              independent mode), sensor1_type and sensor2_type (sensor
              codes), sensor1_name, sensor2_name, sensor1_wiring and
              sensor2_wiring (2, 3 or 4; resistance thermometers, the ohm
              inputs and the -10..75 mV input, code 24),
              sensor1_offset, sensor2_offset (in the output unit), unit,
              lower_range, upper_range, damping (s), display_mode (0..2),
              decimals (0..3), alarm (high: >=22 mA, low: <=3.6 mA)
  set-setup   reads as setup does, changes what the options say the way the
              Setup page does, writes 0, 35, 186, 187, 34, 42 (the device
              resets) and prints the configuration read back. The page's
              checks hold: span at least 10, no 4-wire sensor with two
              sensors, both sensors of one kind unless independent.
    --sensor1 CODE       sensor 1 type: its range and unit become the defaults
    --sensor2 CODE|none  sensor 2 type (two sensors), or none (one sensor)
                         codes: 0..9 thermocouples B E J K N R S T C D,
                         10..20 Pt100 Pt500 Pt1000 Cu50 Cu100 Ni100 Ni500
                         Ni1000 (5000 ppm/K) Ni100 Ni500 Ni1000 (6180 ppm/K),
                         21, 22 0..400 and 0..2000 Ohm, 24..28 -10..75,
                         -100..100, -100..500, -100..1000, -100..2000 mV
    --wiring1 N, --wiring2 N    2, 3 or 4 wires (codes 10..22 and 24: resistance
                         thermometers, ohm inputs and -10..75 mV)
    --mode M             backup, average, difference or independent
    --output-sensor N    1 or 2: the sensor driving the output (independent)
    --unit U             C, K or F: converts range and offsets
    --lower X, --upper X        range values at 4 mA and 20 mA, in the unit
    --offset1 X, --offset2 X    sensor offsets, in the unit
    --damping S          damping time in seconds
    --display N          display mode 0..2 (process value, loop current,
                         percent of range)
    --decimals N         decimals shown, 0..3
    --alarm high|low     alarm current >=22 mA or <=3.6 mA
)";

namespace {

bool IsNumber(const std::string& text) {
    const std::size_t start = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    if (start >= text.size() ||
        !(std::isdigit(static_cast<unsigned char>(text[start])) || text[start] == '.')) {
        return false;
    }
    double value = 0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data() + start, end, value);
    // The transmitter holds these as 4-byte floats: 1e39 would go out as
    // infinity.
    return result.ec == std::errc() && result.ptr == end && std::isfinite(value) &&
           std::fabs(value) <= std::numeric_limits<float>::max();
}

bool ParseInt(const std::string& text, int low, int high, int& value) {
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return !text.empty() && result.ec == std::errc() && result.ptr == end && value >= low &&
           value <= high;
}

bool ParseSensorCode(const std::string& text, int& code) {
    return ParseInt(text, 0, 28, code) && code != 23;
}

template <std::size_t N>
bool ParseName(const std::string& text, const std::array<const char*, N>& names, int& value) {
    for (std::size_t i = 0; i < N; ++i) {
        if (text == names[i]) {
            value = static_cast<int>(i);
            return true;
        }
    }
    return false;
}

constexpr std::array<const char*, 4> kModes{"backup", "average", "difference", "independent"};
constexpr std::array<const char*, 2> kAlarms{"high", "low"};

struct IntOption {
    const char* name;
    std::optional<int> SetupChanges::*field;
    int low;
    int high;
    const char* expected;
};

constexpr std::array<IntOption, 5> kIntOptions{{
    {"--wiring1", &SetupChanges::wiring1, 2, 4, "2, 3 or 4"},
    {"--wiring2", &SetupChanges::wiring2, 2, 4, "2, 3 or 4"},
    {"--output-sensor", &SetupChanges::outputSensor, 1, 2, "1 or 2"},
    {"--display", &SetupChanges::displayMode, 0, 2, "0, 1 or 2"},
    {"--decimals", &SetupChanges::decimals, 0, 3, "0 to 3"},
}};

struct NumberOption {
    const char* name;
    std::optional<std::string> SetupChanges::*field;
};

constexpr std::array<NumberOption, 5> kNumberOptions{{
    {"--lower", &SetupChanges::lower},
    {"--upper", &SetupChanges::upper},
    {"--damping", &SetupChanges::damping},
    {"--offset1", &SetupChanges::offset1},
    {"--offset2", &SetupChanges::offset2},
}};

bool TakesValue(const std::string& arg) {
    for (const auto& option : kIntOptions) {
        if (arg == option.name) {
            return true;
        }
    }
    for (const auto& option : kNumberOptions) {
        if (arg == option.name) {
            return true;
        }
    }
    return arg == "--sensor1" || arg == "--sensor2" || arg == "--mode" || arg == "--unit" ||
           arg == "--alarm";
}

bool TakeValue(const std::string& arg, const std::string& value, SetupChanges& changes,
               std::string& error) {
    for (const auto& option : kIntOptions) {
        if (arg == option.name) {
            int number = 0;
            if (!ParseInt(value, option.low, option.high, number)) {
                error = arg + " takes " + option.expected;
                return false;
            }
            changes.*option.field = number;
            return true;
        }
    }
    for (const auto& option : kNumberOptions) {
        if (arg == option.name) {
            if (!IsNumber(value)) {
                error = arg + " takes a decimal number from -3.4e38 to 3.4e38";
                return false;
            }
            changes.*option.field = value;
            return true;
        }
    }
    int number = 0;
    if (arg == "--sensor1" || arg == "--sensor2") {
        if (arg == "--sensor2" && value == "none") {
            changes.sensor2 = -1;
            return true;
        }
        if (!ParseSensorCode(value, number)) {
            error = arg + " takes a sensor code 0..28 other than 23" +
                    (arg == "--sensor2" ? std::string(", or none") : std::string());
            return false;
        }
        (arg == "--sensor1" ? changes.sensor1 : changes.sensor2) = number;
        return true;
    }
    if (arg == "--mode") {
        if (!ParseName(value, kModes, number)) {
            error = "--mode takes backup, average, difference or independent";
            return false;
        }
        changes.workMode = number;
        return true;
    }
    if (arg == "--alarm") {
        if (!ParseName(value, kAlarms, number)) {
            error = "--alarm takes high or low";
            return false;
        }
        changes.alarm = number;
        return true;
    }
    if (value != "C" && value != "K" && value != "F") {
        error = "--unit takes C, K or F";
        return false;
    }
    changes.unit = value;
    return true;
}

}  // namespace

bool SetupChanges::Any() const {
    return sensor1 || sensor2 || wiring1 || wiring2 || workMode || outputSensor || unit || lower ||
           upper || damping || offset1 || offset2 || displayMode || decimals || alarm;
}

OptionTaken ParseSetupOption(const std::vector<std::string>& args, std::size_t& i,
                             SetupChanges& changes, std::string& error) {
    const std::string& arg = args[i];
    if (!TakesValue(arg)) {
        return OptionTaken::kNotMine;
    }
    if (i + 1 >= args.size()) {
        error = arg + " needs a value";
        return OptionTaken::kBad;
    }
    return TakeValue(arg, args[++i], changes, error) ? OptionTaken::kTaken : OptionTaken::kBad;
}

bool CheckSetupOptions(const std::string& command, const SetupChanges& changes,
                       std::string& error) {
    if (command == "set-setup" && !changes.Any()) {
        error = "set-setup needs at least one option saying what to change";
        return false;
    }
    if (command != "set-setup" && changes.Any()) {
        error = "the Setup page's options belong to set-setup";
        return false;
    }
    return true;
}

}  // namespace tandrin::cli
