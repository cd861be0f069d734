#include "cli/cli_loop_check_options.h"

namespace tandrin::cli {

const char* const kLoopCheckHelp = R"(
Loop check (as-found test of the 4..20 mA output):
  loop-check [--points 0,25,50,75,100] [--tolerance 0.1] [--settle S]
             [--readings FILE|-] [--report FILE.html] [--csv FILE.csv]
             [--technician NAME] [--meter TEXT]
                        forces each point (percent of span, -1.25..103.125)
                        with command 40, waits S seconds (0..600, default 0),
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
                        --technician and --meter fill the report's fields
                        for who checked and with which reference meter.
                        Exit status: 0 every point passed, 3 a point failed,
                        1 a command failed or the check did not complete.
                        JSON: tag, long_address, software_version,
                        tolerance_percent, passed, rows (pass, point_percent,
                        expected_ma, reading_ma, transmitter_ma,
                        error_percent, result).
)";

ArgUse ParseLoopCheckArg(const std::vector<std::string>& args, std::size_t& i,
                         const std::string& command, LoopCheckOptions& options,
                         std::string& error) {
    const std::string& arg = args[i];
    // These options follow their command, as those of monitor and record.
    if (command != "loop-check" ||
        (arg != "--points" && arg != "--tolerance" && arg != "--settle" && arg != "--readings" &&
         arg != "--report" && arg != "--csv" && arg != "--technician" && arg != "--meter")) {
        return ArgUse::kNotMine;
    }
    if (i + 1 >= args.size()) {
        error = arg + " needs a value";
        return ArgUse::kBad;
    }
    const std::string& value = args[++i];
    LoopCheckSettings& settings = options.settings;
    if (arg == "--points") {
        const auto points = ParsePoints(value);
        if (!points) {
            error = "--points takes up to 21 numbers from -1.25 to 103.125, separated by commas";
            return ArgUse::kBad;
        }
        settings.points = *points;
    } else if (arg == "--tolerance") {
        const auto tolerance = ParseDecimal(value);
        if (!tolerance || !ToleranceValid(*tolerance)) {
            error = "--tolerance takes a number greater than 0 and at most 10 (% of span)";
            return ArgUse::kBad;
        }
        settings.tolerance = *tolerance;
    } else if (arg == "--settle") {
        const auto settle = ParseDecimal(value);
        if (!settle || !SettleValid(*settle)) {
            error = "--settle takes seconds from 0 to 600";
            return ArgUse::kBad;
        }
        settings.settleSeconds = *settle;
    } else if (arg == "--readings") {
        options.readings = value;
    } else if (arg == "--technician") {
        options.technician = value;
    } else if (arg == "--meter") {
        options.meter = value;
    } else if (arg == "--report") {
        options.report = value;
    } else {
        options.csv = value;
    }
    return ArgUse::kTaken;
}

}  // namespace tandrin::cli
