#pragma once

#include <string>

namespace CLI {
class App;
}

namespace tandrin::cli {

struct CliOptions;

// Options of the monitor and record commands.
struct MonitorOptions {
    std::string mode = "all";  // all, pv, current, percent
    int period = 2;            // seconds between samples
    int count = 0;             // samples per recorded series; 0: until Ctrl-C
    std::string record;        // monitor: the record file written at the end
    std::string file;          // record: the record file to print
    bool csv = false;
};

// Declares monitor's options.
void AddMonitorOptions(CLI::App& command, CliOptions& all);
// Declares record's file and --csv.
void AddRecordOptions(CLI::App& command, CliOptions& all);
// After all arguments: record has its file.
bool CheckMonitorOptions(const std::string& command, const MonitorOptions& options,
                         std::string& error);

}  // namespace tandrin::cli
