#include "cli/cli_loop_check_options.h"

#include "cli/cli_option_checks.h"
#include "cli/cli_options.h"

namespace tandrin::cli {

const char* const kLoopCheckHelp = R"(
Loop check (as-found test of the 4..20 mA output):
  loop-check [OPTIONS]  (its options: tandrin-cli loop-check --help)
                        forces each point (percent of span, -1.25..103.125)
                        with command 40, waits --settle seconds (default 0),
                        takes the reference meter's reading in mA and judges
                        |reading - expected| / 16 mA against the tolerance
                        (percent of span, default 0.1); reads the identity
                        first (0, 13, 15, 162) and the transmitter's own
                        current at each point (2). The loop is released
                        (40 with 0) at the end, after a failure and on Ctrl+C.
                        --readings takes one reading per line from FILE or
                        standard input ("-"): blank lines and lines starting
                        with # are skipped, "stop" stops the check. Without
                        it each reading is asked on the terminal.
                        Exit status: 0 every point passed, 3 a point failed,
                        1 a command failed or the check did not complete.
                        JSON: tag, long_address, software_version,
                        tolerance_percent, passed, rows (pass, point_percent,
                        expected_ma, reading_ma, transmitter_ma,
                        error_percent, result).
)";

namespace {

void AddDecimal(CLI::App& command, const char* name, double& target, bool (*valid)(double),
                const char* description, const char* type, const char* takes) {
    command
        .add_option_function<std::string>(
            name, [&target](const std::string& value) { target = *ParseDecimal(value); },
            description)
        ->check(Holds(
            [valid](const std::string& value) {
                const auto number = ParseDecimal(value);
                return number && valid(*number);
            },
            "", takes))
        ->type_name(type);
}

}  // namespace

void AddLoopCheckOptions(CLI::App& command, CliOptions& all) {
    auto& options = all.loopCheck;
    LoopCheckSettings& settings = options.settings;
    command
        .add_option_function<std::string>(
            "--points",
            [&settings](const std::string& value) { settings.points = *ParsePoints(value); },
            "points in percent of span, separated by commas (default 0,25,50,75,100)")
        ->check(Holds([](const std::string& value) { return ParsePoints(value).has_value(); }, "",
                      "up to 21 numbers from -1.25 to 103.125, separated by commas"))
        ->type_name("LIST");
    AddDecimal(command, "--tolerance", settings.tolerance, ToleranceValid,
               "percent of span (default 0.1)", "PERCENT",
               "a number greater than 0 and at most 10 (% of span)");
    AddDecimal(command, "--settle", settings.settleSeconds, SettleValid,
               "seconds waited at each point (default 0)", "SECONDS", "seconds from 0 to 600");
    AddOptional(command, "--readings", options.readings,
                "the readings, one a line, from FILE or standard input (-)");
    AddOptional(command, "--report", options.report, "write the report to FILE.html");
    AddOptional(command, "--csv", options.csv, "write the rows to FILE.csv");
    command.add_option("--technician", options.technician, "who checked, for the report");
    command.add_option("--meter", options.meter, "the reference meter, for the report");
}

}  // namespace tandrin::cli
