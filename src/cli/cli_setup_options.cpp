#include "cli/cli_setup_options.h"

#include "cli/cli_option_checks.h"
#include "cli/cli_options.h"

#include <algorithm>
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
              Its options: tandrin-cli set-setup --help.
)";

namespace {

const char* const kSensorCodes =
    "\nSensor codes: 0..9 thermocouples B E J K N R S T C D, 10..20 Pt100 Pt500\n"
    "Pt1000 Cu50 Cu100 Ni100 Ni500 Ni1000 (5000 ppm/K) Ni100 Ni500 Ni1000\n"
    "(6180 ppm/K), 21, 22 0..400 and 0..2000 Ohm, 24..28 -10..75, -100..100,\n"
    "-100..500, -100..1000, -100..2000 mV. Wiring applies to codes 10..22 and 24:\n"
    "resistance thermometers, ohm inputs and -10..75 mV.\n";

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

bool IsSensorCode(const std::string& text) {
    int code = 0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, code);
    return !text.empty() && result.ec == std::errc() && result.ptr == end && code >= 0 &&
           code <= 28 && code != 23;
}

const std::vector<std::string> kModes{"backup", "average", "difference", "independent"};
const std::vector<std::string> kAlarms{"high", "low"};

// A name's index in `names`; the check has let only those through.
void SetIndex(CLI::App& command, const char* name, const std::vector<std::string>& names,
              std::optional<int>& target, const char* description) {
    command
        .add_option_function<std::string>(
            name,
            [&names, &target](const std::string& value) {
                target =
                    static_cast<int>(std::find(names.begin(), names.end(), value) - names.begin());
            },
            description)
        ->check(OneOf(names));
}

void AddNumber(CLI::App& command, const char* name, std::optional<std::string>& target,
               const char* description) {
    AddOptional(command, name, target, description)
        ->check(Holds(IsNumber, "", "a decimal number from -3.4e38 to 3.4e38"))
        ->type_name("NUMBER");
}

}  // namespace

bool SetupChanges::Any() const {
    return sensor1 || sensor2 || wiring1 || wiring2 || workMode || outputSensor || unit || lower ||
           upper || damping || offset1 || offset2 || displayMode || decimals || alarm;
}

void AddSetupOptions(CLI::App& command, CliOptions& all) {
    auto& changes = all.setup;
    command.footer(kSensorCodes + command.get_footer());
    const auto code = Holds(IsSensorCode, "0..28", "a sensor code 0..28 other than 23");
    AddOptional(command, "--sensor1", changes.sensor1,
                "sensor 1 type: its range and unit become the defaults")
        ->check(code);
    command
        .add_option_function<std::string>(
            "--sensor2",
            [&changes](const std::string& value) {
                changes.sensor2 = value == "none" ? -1 : std::stoi(value);
            },
            "sensor 2 type (two sensors), or none (one sensor)")
        ->check(
            Holds([](const std::string& value) { return value == "none" || IsSensorCode(value); },
                  "", "a sensor code 0..28 other than 23, or none"))
        ->type_name("CODE|none");
    AddOptional(command, "--wiring1", changes.wiring1, "sensor 1 wires")
        ->check(WholeIn(2, 4, "2, 3 or 4"));
    AddOptional(command, "--wiring2", changes.wiring2, "sensor 2 wires")
        ->check(WholeIn(2, 4, "2, 3 or 4"));
    SetIndex(command, "--mode", kModes, changes.workMode, "work mode of two sensors");
    AddOptional(command, "--output-sensor", changes.outputSensor,
                "the sensor driving the output (independent)")
        ->check(WholeIn(1, 2, "1 or 2"));
    AddOptional(command, "--unit", changes.unit, "converts range and offsets")
        ->check(OneOf({"C", "K", "F"}));
    AddNumber(command, "--lower", changes.lower, "range value at 4 mA, in the unit");
    AddNumber(command, "--upper", changes.upper, "range value at 20 mA, in the unit");
    AddNumber(command, "--offset1", changes.offset1, "sensor 1 offset, in the unit");
    AddNumber(command, "--offset2", changes.offset2, "sensor 2 offset, in the unit");
    AddNumber(command, "--damping", changes.damping, "damping time in seconds");
    AddOptional(command, "--display", changes.displayMode,
                "display mode: process value, loop current, percent of range")
        ->check(WholeIn(0, 2, "0, 1 or 2"));
    AddOptional(command, "--decimals", changes.decimals, "decimals shown")
        ->check(WholeIn(0, 3, "0 to 3"));
    SetIndex(command, "--alarm", kAlarms, changes.alarm, "alarm current >=22 mA or <=3.6 mA");
}

bool CheckSetupOptions(const std::string& command, const SetupChanges& changes,
                       std::string& error) {
    if (command == "set-setup" && !changes.Any()) {
        error = "set-setup needs at least one option saying what to change";
        return false;
    }
    return true;
}

}  // namespace tandrin::cli
