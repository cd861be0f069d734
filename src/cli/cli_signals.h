#pragma once

#include <functional>

#include "platform/poll_event_loop.h"

namespace tandrin::cli {

// Runs `onStop` on `loop` once SIGINT, SIGTERM or SIGHUP has come, through
// the StopSignals main installed (nothing without them). The command then
// ends like a Stop and the link closes on the normal way out.
void WatchStopSignals(PollEventLoop& loop, std::function<void()> onStop);

}  // namespace tandrin::cli
