#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tandrin::cli {

// Options of the monitor and record commands.
struct MonitorOptions {
    std::string mode = "all";  // all, pv, current, percent
    int period = 2;            // seconds between samples
    int count = 0;             // samples per recorded series; 0: until Ctrl-C
    std::string record;        // monitor: the record file written at the end
    std::string file;          // record: the record file to print
    bool csv = false;
};

enum class ArgUse { kNotMine, kTaken, kBad };

// Takes args[i] (and its value, advancing i) when it belongs to monitor or
// record, or is the record command's file; kBad with `error` set for a bad
// value.
ArgUse ParseMonitorArg(const std::vector<std::string>& args, std::size_t& i,
                       const std::string& command, MonitorOptions& options, std::string& error);
// After all arguments: what the command needs is there.
bool CheckMonitorOptions(const std::string& command, const MonitorOptions& options,
                         std::string& error);

}  // namespace tandrin::cli
