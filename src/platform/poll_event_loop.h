#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/event_loop.h"
#include "platform/wake_pipe.h"

namespace tandrin {

// The real-time event loop of the programs without Qt (the command line, the
// simulator, the integration tests): one thread, timers and descriptors
// multiplexed with ppoll, sleeping whenever nothing is due.
//
// Everything except Quit() and Post() must be called on the thread that runs the loop.
// Callbacks may start and kill timers, watch and unwatch descriptors and
// run nested loops (PumpingDelay).
class PollEventLoop : public EventLoop {
  public:
    // Gets the poll result bits (POLLIN, POLLHUP, POLLERR…) for the fd.
    using FdCallback = std::function<void(short revents)>;

    PollEventLoop() = default;
    PollEventLoop(const PollEventLoop&) = delete;
    PollEventLoop& operator=(const PollEventLoop&) = delete;

    TimerId StartTimer(std::uint32_t ms, Callback callback) override;
    void KillTimer(TimerId id) override;
    void PumpingDelay(std::uint32_t ms) override { RunFor(ms); }
    std::uint32_t TickCount() override;
    void Post(Task task) override;

    // One watch per descriptor; watching it again replaces the watch. The
    // callback also runs on POLLHUP and POLLERR, which poll always reports:
    // a watcher must unwatch a descriptor that has gone bad.
    void WatchFd(int fd, short events, FdCallback callback);
    void UnwatchFd(int fd);

    // Runs until Quit() is called.
    void Run();
    // Runs until `done()` holds or `timeoutMs` have passed; returns done().
    bool RunUntil(const std::function<bool()>& done, std::uint32_t timeoutMs);
    // Runs for `ms`, then returns.
    void RunFor(std::uint32_t ms);
    // Makes Run() return after the callback in progress. Safe from any
    // thread; a Quit() before Run() makes the next Run() return at once.
    void Quit();

  private:
    using Clock = std::chrono::steady_clock;
    using TimerKey = std::pair<Clock::time_point, std::uint64_t>;
    struct Timer {
        TimerId id;
        Callback callback;
    };
    struct Watch {
        short events;
        FdCallback callback;
    };

    // Fires what is due, then dispatches the descriptors that are ready;
    // when no timer fired, waits for them at most until `deadline` or the
    // next timer.
    void RunOnce(Clock::time_point deadline);
    // True when a timer fired.
    bool FireDueTimers();
    void WaitAndDispatch(Clock::time_point until);
    void RunPosted();

    std::map<TimerKey, Timer> m_timers;
    std::unordered_map<TimerId, TimerKey> m_timerKeys;
    std::uint64_t m_order = 0;
    TimerId m_nextId = 1;
    std::map<int, Watch> m_watches;
    WakePipe m_wake;
    std::mutex m_postedMutex;
    std::vector<Task> m_posted;
    std::atomic<bool> m_quit{false};
};

}  // namespace tandrin
