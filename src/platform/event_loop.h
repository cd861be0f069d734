#pragma once

#include <cstdint>
#include <functional>

namespace tandrin {

using TimerId = std::uint32_t;

// The only way the core learns about time. The GUI implements it over Qt,
// the command line and simulator over poll(), the tests in virtual time.
// Every callback runs on the thread that runs the loop (the UI thread).
class EventLoop {
  public:
    using Callback = std::function<void(TimerId)>;
    using Task = std::function<void()>;

    virtual ~EventLoop() = default;

    // One-shot: the callback runs once, no earlier than `ms` from now,
    // unless the timer is killed first. Never returns 0.
    virtual TimerId StartTimer(std::uint32_t ms, Callback callback) = 0;
    // Harmless for a timer that has fired or was never started.
    virtual void KillTimer(TimerId id) = 0;
    // Waits `ms` while still running other timers and events, without
    // spinning the CPU.
    virtual void PumpingDelay(std::uint32_t ms) = 0;
    // Milliseconds from an arbitrary origin; wraps like GetTickCount.
    virtual std::uint32_t TickCount() = 0;
    // Runs `task` on the loop's thread soon. The one call that is safe from
    // any thread: how the receive thread hands news to the UI thread.
    virtual void Post(Task task) = 0;
};

}  // namespace tandrin
