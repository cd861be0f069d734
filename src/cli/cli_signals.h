#pragma once

#include "cli/console_shell.h"
#include "platform/poll_event_loop.h"
#include "shell/main_dialog.h"

namespace tandrin::cli {

// Once SIGINT, SIGTERM or SIGHUP has come (through the StopSignals main
// installed; nothing without them), stops the running sequence like the
// Stop button, so that the command ends with "strBreak" and the link closes
// on the normal way out.
void StopOnSignals(PollEventLoop& loop, MainDialog& dialog, ConsoleShell& shell);

}  // namespace tandrin::cli
