#include "cli/cli_app.h"

#include <array>

#include "cli/cli_commands.h"
#include "cli/cli_loop_check.h"
#include "cli/cli_monitor.h"
#include "cli/cli_pages.h"
#include "cli/cli_session.h"
#include "cli/cli_setup.h"
#include "cli/cli_snapshot.h"
#include "cli/cli_status.h"

namespace tandrin::cli {

namespace {

// Every command, one line each; kCliHelp, kPageCommandsHelp and kSetupHelp
// describe them.
constexpr std::array kCommands{
    CliCommand{"ports", false, RunPorts},
    CliCommand{"search", true, RunSearch},
    CliCommand{"online", true, RunOnLine},
    CliCommand{"read", true, RunRead},
    CliCommand{"version", true, RunVersion},
    CliCommand{"reset", true, RunReset},
    CliCommand{"status", true, RunStatus},
    CliCommand{"clear-config-changed", true, RunClearConfigChanged},
    CliCommand{"setup", true, RunSetup},
    CliCommand{"set-setup", true, RunSetSetup},
    CliCommand{"monitor", true, RunMonitor},
    CliCommand{"record", false, RunRecord},
    CliCommand{"info", true, RunInfo},
    CliCommand{"set-info", true, RunSetInfo},
    CliCommand{"set-address", true, RunSetAddress},
    CliCommand{"set-final-assembly", true, RunSetFinalAssembly},
    CliCommand{"fix-current", true, RunFixCurrent},
    CliCommand{"trim", true, RunTrim},
    CliCommand{"set-lower-range", true, RunSetLowerRange},
    CliCommand{"set-upper-range", true, RunSetUpperRange},
    CliCommand{"snapshot", true, RunSnapshot},
    CliCommand{"loop-check", true, RunLoopCheck},
};

}  // namespace

const CliCommand* FindCliCommand(std::string_view name) {
    for (const CliCommand& command : kCommands) {
        if (command.name == name) {
            return &command;
        }
    }
    return nullptr;
}

int RunCli(const CliOptions& options, std::ostream& out, std::ostream& err) {
    const CliCommand* command = FindCliCommand(options.command);
    CliSession session(options, out, err);
    if (command == nullptr) {
        return session.Output().UsageError("unknown command " + options.command);
    }
    return session.Run(command->run, command->needsPort);
}

}  // namespace tandrin::cli
