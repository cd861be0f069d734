#pragma once

#include <iosfwd>

#include "cli/cli_options.h"

namespace tandrin::cli {

// Runs one command of tandrin-cli through the main window's own workflow
// on the real port; prints UTF-8 to `out` and `err`. Returns the exit code.
int RunCli(const CliOptions& options, std::ostream& out, std::ostream& err);

}  // namespace tandrin::cli
