#pragma once

#include <string>

namespace CLI {
class App;
}

namespace tandrin::cli {

struct CliOptions;

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

// Declares snapshot's action, file and options.
void AddSnapshotArguments(CLI::App& command, CliOptions& all);
// After all arguments: options that fit the action.
bool CheckSnapshotArguments(const std::string& command, const SnapshotArguments& snapshot,
                            std::string& error);

extern const char* const kSnapshotHelp;

// Take, compare or restore a configuration snapshot through the pages'
// own sequences; the exit code.
int RunSnapshot(CliSession& session);

}  // namespace tandrin::cli
