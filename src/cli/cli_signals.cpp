#include "cli/cli_signals.h"

#include <poll.h>

#include "platform/stop_signals.h"
#include "shell/lang_text.h"

namespace tandrin::cli {

void StopOnSignals(PollEventLoop& loop, MainDialog& dialog, ConsoleShell& shell) {
    const StopSignals* signals = StopSignals::Installed();
    if (signals == nullptr) {
        return;
    }
    const int fd = signals->ReadFd();
    loop.WatchFd(fd, POLLIN, [&loop, &dialog, &shell, fd](short) {
        loop.UnwatchFd(fd);  // the pipe stays readable: once is enough
        dialog.StopSequence();
        shell.MessageBox(LangText("strBreak"), "HART", MessageIcon::kInformation);
    });
}

}  // namespace tandrin::cli
