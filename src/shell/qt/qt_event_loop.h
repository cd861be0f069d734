#pragma once

#include <QObject>
#include <unordered_map>

#include "platform/event_loop.h"

namespace tandrin {

// The core's timers and waits on the Qt event loop of the UI thread.
// One-shot precise timers; PumpingDelay runs a nested QEventLoop, which
// sleeps in the event dispatcher until something is due.
class QtEventLoop : public QObject, public EventLoop {
  public:
    QtEventLoop() = default;
    ~QtEventLoop() override;

    TimerId StartTimer(std::uint32_t ms, Callback callback) override;
    void KillTimer(TimerId id) override;
    void PumpingDelay(std::uint32_t ms) override;
    std::uint32_t TickCount() override;
    // Queued to this object: dropped if the loop goes first.
    void Post(Task task) override;

    std::size_t PendingTimers() const { return m_timers.size(); }

  protected:
    void timerEvent(QTimerEvent* event) override;

  private:
    struct Pending {
        TimerId id;
        Callback callback;
    };
    std::unordered_map<int, Pending> m_timers;  // by Qt's timer id
    std::unordered_map<TimerId, int> m_qtIds;
};

}  // namespace tandrin
