#include "cli/cli_monitor_options.h"

#include "cli/cli_option_checks.h"
#include "cli/cli_options.h"

namespace tandrin::cli {

void AddMonitorOptions(CLI::App& command, CliOptions& all) {
    auto& options = all.monitor;
    command.add_option("--mode", options.mode, "what is sampled")
        ->check(OneOf({"all", "pv", "current", "percent"}))
        ->capture_default_str();
    command.add_option("--period", options.period, "seconds between samples")
        ->check(WholeIn(1, 86'400, "whole seconds from 1 to 86400"))
        ->capture_default_str();
    command.add_option("--count", options.count, "samples per series (default: until Ctrl-C)")
        ->check(WholeIn(1, 10'000'000, "a number of samples from 1 to 10000000"));
    command.add_option("--record", options.record, "FILE.tdd written when the recording ends");
}

void AddRecordOptions(CLI::App& command, CliOptions& all) {
    auto& options = all.monitor;
    // Not required(): CLI11 would word it "FILE is required".
    command.add_option("FILE", options.file, "the trend record (.tdd) to print");
    command.add_flag("--csv", options.csv, "print CSV");
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
