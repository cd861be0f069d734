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
#include "cli/cli_survey.h"

namespace tandrin::cli {

namespace {

// Every command, one line each; kCliHelp, kPageCommandsHelp and kSetupHelp
// describe them, and each declares its own operands and options.
constexpr std::array kCommands{
    CliCommand{"ports", false, RunPorts, "The serial ports that can be opened"},
    CliCommand{"search", true, RunSearch,
               "Search polling addresses 0..15; the addresses that answered"},
    CliCommand{"survey", true, RunSurvey, "Every transmitter on the line: tag, PV, current, status",
               AddSurveyOptions},
    CliCommand{"online", true, RunOnLine, "Command 0 at the address; the long address"},
    CliCommand{"read", true, RunRead,
               "The value reading (0, 1, 2): PV with unit, loop current, percent of range"},
    CliCommand{"version", true, RunVersion, "Product information (0, 162): the software version"},
    CliCommand{"reset", true, RunReset, "Device reset (0, 42)"},
    CliCommand{"status", true, RunStatus,
               "The device status bits and the additional status (0, 48)"},
    CliCommand{"clear-config-changed", true, RunClearConfigChanged,
               "Clear the configuration-changed flag (0, 38)"},
    CliCommand{"setup", true, RunSetup,
               "The Setup page's measuring configuration (0, 15, 146, 147)"},
    CliCommand{"set-setup", true, RunSetSetup,
               "Change the measuring configuration as the Setup page does; the device resets",
               AddSetupOptions},
    CliCommand{"monitor", true, RunMonitor, "Record at a period, one line per sample as it comes",
               AddMonitorOptions},
    CliCommand{"record", false, RunRecord, "Print a trend record", AddRecordOptions},
    CliCommand{"info", true, RunInfo,
               "Tag, descriptor, message, date, final assembly number and polling address"},
    CliCommand{"set-info", true, RunSetInfo,
               "Write the device information with the values given (0, 12, 13; 0, 17, 18)",
               AddPageArguments},
    CliCommand{"set-address", true, RunSetAddress, "Give the transmitter a polling address (0, 6)",
               AddPageArguments},
    CliCommand{"set-final-assembly", true, RunSetFinalAssembly,
               "Write the final assembly number (0, 19)", AddPageArguments},
    CliCommand{"fix-current", true, RunFixCurrent,
               "Force the loop current, or leave fixed-current mode (0, 40)", AddPageArguments},
    CliCommand{"trim", true, RunTrim,
               "Trim the output with the currents measured at 4 and 20 mA (0, 45, 46, 40)",
               AddPageArguments},
    CliCommand{"set-lower-range", true, RunSetLowerRange,
               "Make the present input the lower range value, 4 mA (0, 37)"},
    CliCommand{"set-upper-range", true, RunSetUpperRange,
               "Make the present input the upper range value, 20 mA (0, 36)"},
    CliCommand{"snapshot", true, RunSnapshot, "Take, compare or restore a configuration snapshot",
               AddSnapshotArguments},
    CliCommand{"loop-check", true, RunLoopCheck, "As-found test of the 4..20 mA output",
               AddLoopCheckOptions},
};

}  // namespace

std::span<const CliCommand> CliCommands() {
    return kCommands;
}

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
