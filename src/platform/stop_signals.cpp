#include "platform/stop_signals.h"

#include <atomic>
#include <cerrno>
#include <iterator>

namespace tandrin {

namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Lock-free atomics are safe in a handler, on whichever thread it runs.
std::atomic<StopSignals*> installed{nullptr};
std::atomic<const WakePipe*> wakePipe{nullptr};
std::atomic<int> caught{0};

extern "C" void OnStopSignal(int signal) {
    const int savedErrno = errno;
    int none = 0;
    caught.compare_exchange_strong(none, signal);
    if (const WakePipe* pipe = wakePipe.load()) {
        pipe->Signal();
    }
    errno = savedErrno;
}

}  // namespace

StopSignals::StopSignals() {
    static_assert(std::size(kStopSignals) == kSignalCount);
    installed.store(this);
    wakePipe.store(&m_pipe);
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < kSignalCount; ++i) {
        ::sigaction(kStopSignals[i], &action, &m_previous[i]);
    }
}

StopSignals::~StopSignals() {
    for (int i = 0; i < kSignalCount; ++i) {
        ::sigaction(kStopSignals[i], &m_previous[i], nullptr);
    }
    wakePipe.store(nullptr);
    installed.store(nullptr);
}

StopSignals* StopSignals::Installed() {
    return installed.load();
}

int StopSignals::Caught() {
    return caught.load();
}

int StopSignals::ExitStatus(int status) {
    const int signal = Caught();
    return signal != 0 ? 128 + signal : status;
}

}  // namespace tandrin
