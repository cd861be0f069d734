#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/event_loop.h"

namespace tandrin {

// Deterministic event loop in virtual time: nothing waits, time only moves
// when the owner advances it. Timers due at the same instant fire in the
// order they were started.
class VirtualEventLoop : public EventLoop {
  public:
    TimerId StartTimer(std::uint32_t ms, Callback callback) override;
    void KillTimer(TimerId id) override;
    void PumpingDelay(std::uint32_t ms) override;
    std::uint32_t TickCount() override { return static_cast<std::uint32_t>(m_now); }
    // Posted tasks run before the next timer, without moving time.
    void Post(Task task) override;

    // Advances time by `ms`, firing every timer that falls due on the way.
    void RunFor(std::uint64_t ms);
    // Fires timers until none is pending or `limitMs` of virtual time passed.
    // Returns false when the limit was reached with timers still pending.
    bool RunUntilIdle(std::uint64_t limitMs = 3'600'000);

    std::uint64_t Now() const { return m_now; }
    std::size_t PendingTimers() const { return m_timers.size(); }

  private:
    struct Key {
        std::uint64_t due;
        std::uint64_t order;
        auto operator<=>(const Key&) const = default;
    };
    struct Entry {
        TimerId id;
        Callback callback;
    };

    bool FireNextDueBy(std::uint64_t limit);
    // True when a task ran.
    bool RunPosted();

    std::uint64_t m_now = 0;
    std::uint64_t m_order = 0;
    TimerId m_nextId = 1;
    std::map<Key, Entry> m_timers;
    std::mutex m_postedMutex;
    std::vector<Task> m_posted;
};

}  // namespace tandrin
