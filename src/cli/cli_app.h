#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

#include "cli/cli_options.h"

namespace CLI {
class App;
}

namespace tandrin::cli {

class CliSession;

// One command of tandrin-cli.
struct CliCommand {
    std::string_view name;
    bool needsPort;  // opens the link (all but "ports")
    int (*run)(CliSession& session);
    const char* about;  // its --help's first line
    // Declares its operands and options, or null for none.
    void (*addOptions)(CLI::App& command, CliOptions& options) = nullptr;
};

// Every command, in the order --help lists them.
std::span<const CliCommand> CliCommands();
// The command called `name`, or null.
const CliCommand* FindCliCommand(std::string_view name);

// Runs one command of tandrin-cli through the main window's own workflow
// on the real port; prints UTF-8 to `out` and `err`. Returns the exit code.
// `err` also receives the frame trace, from the receive thread: give it a
// stream that may be written from two threads (std::cerr).
int RunCli(const CliOptions& options, std::ostream& out, std::ostream& err);

}  // namespace tandrin::cli
