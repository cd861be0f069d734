#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "cli/cli_options.h"
#include "cli/cli_output.h"
#include "platform/stop_signals.h"

int main(int argc, char** argv) {
    using namespace tandrin::cli;
    const tandrin::StopSignals stopSignals;  // Ctrl+C ends a search and still closes the port
    CliOptions options;
    std::string error;
    if (!ParseCliOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        return CliOutput(std::cout, std::cerr, options.json).UsageError(error);
    }
    if (options.help && !options.commandHelp.empty()) {
        std::cout << options.commandHelp << std::flush;
        return std::cout ? kExitOk : kExitFailed;
    }
    if (options.help) {
        std::cout << kCliHelp << kPageCommandsHelp << kSetupHelp << kSnapshotHelp << kLoopCheckHelp
                  << kSurveyHelp << std::flush;
        return std::cout ? kExitOk : kExitFailed;
    }
    return tandrin::StopSignals::ExitStatus(RunCli(options, std::cout, std::cerr));
}
