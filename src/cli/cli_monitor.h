#pragma once

namespace tandrin::cli {

class CliSession;

// tandrin-cli monitor: the monitor page's own sequences and period over
// in-memory controls, one line (or JSON object) per sample as it comes,
// the record written when the recording ends, also on a stop signal.
int RunMonitor(CliSession& session);
// tandrin-cli record: prints a record file, as text, JSON or CSV.
int RunRecord(CliSession& session);

}  // namespace tandrin::cli
