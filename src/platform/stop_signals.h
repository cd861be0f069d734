#pragma once

#include <signal.h>

#include "platform/wake_pipe.h"

namespace tandrin {

// Turns SIGINT, SIGTERM and SIGHUP into an orderly end. The handler only
// records the first signal and writes a byte to a pipe, both
// async-signal-safe; the program's event loop watches ReadFd() and winds
// down the normal way, closing the link (which restores the port and
// clears its exclusive flag) on the way out. One instance at a time.
class StopSignals {
  public:
    StopSignals();
    // Puts the earlier dispositions back.
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // The instance whose handlers are in place, if any.
    static StopSignals* Installed();

    // Readable once a stop signal has come.
    int ReadFd() const { return m_pipe.ReadFd(); }
    // The first stop signal caught, 0 while none came.
    static int Caught();
    // 128 + the signal caught (130 SIGINT, 143 SIGTERM, 129 SIGHUP), or
    // `status` when none came.
    static int ExitStatus(int status);

  private:
    static constexpr int kSignalCount = 3;
    WakePipe m_pipe;
    struct sigaction m_previous[kSignalCount] {};
};

}  // namespace tandrin
