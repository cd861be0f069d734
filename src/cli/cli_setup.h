#pragma once

#include <iosfwd>

#include "cli/cli_options.h"

namespace tandrin {
class MainDialog;
class PollEventLoop;
}  // namespace tandrin

namespace tandrin::cli {

class ConsoleShell;

// What a Setup page command needs of the command line's session: the
// main window's logic (through which the page reports), its shell and the
// loop to wait on. The port and polling address are already chosen.
struct SetupSession {
    const CliOptions& options;
    PollEventLoop& loop;
    ConsoleShell& shell;
    MainDialog& dialog;
    std::ostream& out;
    std::ostream& err;
};

bool IsSetupCommand(const std::string& command);
// `setup` or `set-setup`, run through the Setup page's own logic on
// in-memory controls. Returns the exit code.
int RunSetupCommand(const SetupSession& session);

}  // namespace tandrin::cli
