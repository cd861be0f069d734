#include "cli/cli_monitor_options.h"

#include <algorithm>
#include <charconv>

namespace tandrin::cli {

namespace {

bool ParseNumber(const std::string& text, int low, int high, int& value) {
    int parsed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (error != std::errc{} || end != text.data() + text.size() || parsed < low || parsed > high) {
        return false;
    }
    value = parsed;
    return true;
}

}  // namespace

ArgUse ParseMonitorArg(const std::vector<std::string>& args, std::size_t& i,
                       const std::string& command, MonitorOptions& options, std::string& error) {
    const std::string& arg = args[i];
    // set-setup has a --mode of its own: these options follow their command.
    if (command != "monitor" && command != "record") {
        return ArgUse::kNotMine;
    }
    const bool takesValue =
        arg == "--mode" || arg == "--period" || arg == "--count" || arg == "--record";
    if (!takesValue && arg != "--csv") {
        if (command == "record" && options.file.empty() && !arg.empty() && arg[0] != '-') {
            options.file = arg;
            return ArgUse::kTaken;
        }
        return ArgUse::kNotMine;
    }
    if (arg == "--csv") {
        options.csv = true;
        return ArgUse::kTaken;
    }
    if (i + 1 >= args.size()) {
        error = arg + " needs a value";
        return ArgUse::kBad;
    }
    const std::string& value = args[++i];
    if (arg == "--mode") {
        const char* const modes[] = {"all", "pv", "current", "percent"};
        if (std::find(std::begin(modes), std::end(modes), value) == std::end(modes)) {
            error = "--mode takes all, pv, current or percent";
            return ArgUse::kBad;
        }
        options.mode = value;
    } else if (arg == "--period") {
        if (!ParseNumber(value, 1, 86'400, options.period)) {
            error = "--period takes whole seconds from 1 to 86400";
            return ArgUse::kBad;
        }
    } else if (arg == "--count") {
        if (!ParseNumber(value, 1, 10'000'000, options.count)) {
            error = "--count takes a number of samples from 1 to 10000000";
            return ArgUse::kBad;
        }
    } else {
        options.record = value;
    }
    return ArgUse::kTaken;
}

bool CheckMonitorOptions(const std::string& command, const MonitorOptions& options,
                         std::string& error) {
    if (command == "record" && options.file.empty()) {
        error = "record needs the record file to print";
        return false;
    }
    return true;
}

}  // namespace tandrin::cli
