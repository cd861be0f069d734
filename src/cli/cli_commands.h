#pragma once

namespace tandrin::cli {

class CliSession;

// The link commands of tandrin-cli, each through the main window's own
// sequence. The exit code.
int RunPorts(CliSession& session);
int RunSearch(CliSession& session);
int RunOnLine(CliSession& session);
int RunRead(CliSession& session);
int RunVersion(CliSession& session);
int RunReset(CliSession& session);

}  // namespace tandrin::cli
