#pragma once

#include <string>
#include <vector>

#include "cli/cli_monitor_options.h"

namespace tandrin::cli {

class CliSession;

// snapshot take|diff|restore FILE and its options.
struct SnapshotArguments {
    std::string action;  // take, diff, restore
    std::string file;
    bool dryRun = false;
    bool withAddress = false;
    bool withFinalAssembly = false;
    bool yes = false;
};

// Takes args[i] when it belongs to the snapshot command: its action, its
// file or one of its options.
ArgUse ParseSnapshotArg(const std::vector<std::string>& args, std::size_t& i,
                        const std::string& command, SnapshotArguments& snapshot,
                        std::string& error);
// After all arguments: an action and a file, options that fit the action.
bool CheckSnapshotArguments(const std::string& command, const SnapshotArguments& snapshot,
                            std::string& error);

extern const char* const kSnapshotHelp;

// Take, compare or restore a configuration snapshot through the pages'
// own sequences; the exit code.
int RunSnapshot(CliSession& session);

}  // namespace tandrin::cli
