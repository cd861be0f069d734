#pragma once

#include <iosfwd>

#include "cli/cli_options.h"

namespace tandrin::cli {

// tandrin-cli monitor: the monitor page's own sequences and period over
// in-memory controls, one line (or JSON object) per sample as it comes,
// the record written when the recording ends, also on Ctrl-C.
// tandrin-cli record: prints a record file, as text, JSON or CSV.
int RunMonitorCli(const CliOptions& options, std::ostream& out, std::ostream& err);

}  // namespace tandrin::cli
