#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/cli_loop_check_options.h"
#include "cli/cli_monitor_options.h"
#include "cli/cli_pages.h"
#include "cli/cli_setup_options.h"
#include "cli/cli_snapshot.h"
#include "cli/cli_survey.h"

namespace tandrin::cli {

struct CliOptions {
    std::string command;  // ports, search, online, read, version, reset
    std::optional<std::string> port;
    int address = 0;
    std::string language = "English";
    bool json = false;
    bool demo = false;
    bool trace = false;           // every frame on stderr
    std::uint32_t timeoutMs = 0;  // HART-IP reply timeout; 0: the line's default
    bool help = false;
    std::string commandHelp;  // COMMAND --help: that command's help; empty: the whole
    PageArguments page;       // the device page commands
    SetupChanges setup;       // set-setup
    MonitorOptions monitor;
    SnapshotArguments snapshot;
    LoopCheckOptions loopCheck;
    SurveyOptions survey;
};

// False with `error` set, naming the option, for an unknown option or
// command, a missing or bad value, --demo with --port, or no command
// (unless --help). Options may stand before or after the command, as
// --name value or --name=value. `json` is set whenever --json is among
// `args`, so that even a usage error can be printed as JSON.
bool ParseCliOptions(const std::vector<std::string>& args, CliOptions& options, std::string& error);

extern const char* const kCliHelp;

}  // namespace tandrin::cli
