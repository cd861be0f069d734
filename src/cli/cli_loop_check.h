#pragma once

namespace tandrin::cli {

class CliSession;

// loop-check: the as-found pass over the session's link. kExitOk when
// every point passed, kExitOutOfTolerance when one did not, kExitFailed
// when a command failed or the check did not complete.
int RunLoopCheck(CliSession& session);

}  // namespace tandrin::cli
