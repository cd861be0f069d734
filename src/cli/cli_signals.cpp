#include "cli/cli_signals.h"

#include <poll.h>

#include "platform/stop_signals.h"

namespace tandrin::cli {

void WatchStopSignals(PollEventLoop& loop, std::function<void()> onStop) {
    const StopSignals* signals = StopSignals::Installed();
    if (signals == nullptr) {
        return;
    }
    const int fd = signals->ReadFd();
    loop.WatchFd(fd, POLLIN, [&loop, fd, onStop = std::move(onStop)](short) {
        loop.UnwatchFd(fd);  // the pipe stays readable: once is enough
        onStop();
    });
}

}  // namespace tandrin::cli
