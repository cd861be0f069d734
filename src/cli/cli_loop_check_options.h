#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/cli_monitor_options.h"
#include "procedures/loop_check_points.h"

namespace tandrin::cli {

// What loop-check takes beyond the common options.
struct LoopCheckOptions {
    LoopCheckSettings settings;
    std::optional<std::string> readings;  // a file, or "-" for standard input
    std::optional<std::string> report;    // FILE.html
    std::optional<std::string> csv;       // FILE.csv
    std::string technician;               // for the report, UTF-8
    std::string meter;
};

// Takes args[i] and its value (advancing i) when `command` is loop-check and
// it is one of its options; kBad with `error` set for a bad value.
ArgUse ParseLoopCheckArg(const std::vector<std::string>& args, std::size_t& i,
                         const std::string& command, LoopCheckOptions& options, std::string& error);

extern const char* const kLoopCheckHelp;

}  // namespace tandrin::cli
