#pragma once

#include <optional>
#include <string>

#include "procedures/loop_check_points.h"

namespace CLI {
class App;
}

namespace tandrin::cli {

struct CliOptions;

// What loop-check takes beyond the common options.
struct LoopCheckOptions {
    LoopCheckSettings settings;
    std::optional<std::string> readings;  // a file, or "-" for standard input
    std::optional<std::string> report;    // FILE.html
    std::optional<std::string> csv;       // FILE.csv
    std::string technician;               // for the report, UTF-8
    std::string meter;
};

// Declares loop-check's options.
void AddLoopCheckOptions(CLI::App& command, CliOptions& all);

extern const char* const kLoopCheckHelp;

}  // namespace tandrin::cli
