#include "shell/qt/qt_event_loop.h"

#include <QEventLoop>
#include <QTimer>
#include <QTimerEvent>
#include <atomic>
#include <chrono>

namespace tandrin {

namespace {

// Unique across loops: a master that outlives one loop may still hold an
// identifier of it and kill it on the next; that must never hit a live timer.
std::atomic<TimerId> nextTimerId{1};

TimerId NewTimerId() {
    TimerId id = nextTimerId.fetch_add(1);
    while (id == 0) {
        id = nextTimerId.fetch_add(1);
    }
    return id;
}

}  // namespace

QtEventLoop::~QtEventLoop() {
    for (const auto& [qtId, pending] : m_timers) {
        killTimer(qtId);
    }
}

TimerId QtEventLoop::StartTimer(std::uint32_t ms, Callback callback) {
    const int qtId = startTimer(std::chrono::milliseconds(ms), Qt::PreciseTimer);
    if (qtId == 0) {
        return 0;
    }
    const TimerId id = NewTimerId();
    m_timers[qtId] = Pending{id, std::move(callback)};
    m_qtIds[id] = qtId;
    return id;
}

void QtEventLoop::KillTimer(TimerId id) {
    const auto found = m_qtIds.find(id);
    if (found == m_qtIds.end()) {
        return;
    }
    killTimer(found->second);
    m_timers.erase(found->second);
    m_qtIds.erase(found);
}

void QtEventLoop::timerEvent(QTimerEvent* event) {
    const auto found = m_timers.find(event->timerId());
    if (found == m_timers.end()) {
        return;
    }
    // One-shot: gone before the callback runs, which may start new timers.
    killTimer(found->first);
    Pending pending = std::move(found->second);
    m_timers.erase(found);
    m_qtIds.erase(pending.id);
    pending.callback(pending.id);
}

void QtEventLoop::PumpingDelay(std::uint32_t ms) {
    QEventLoop wait;
    QTimer::singleShot(std::chrono::milliseconds(ms), Qt::PreciseTimer, &wait, &QEventLoop::quit);
    wait.exec();
}

void QtEventLoop::Post(Task task) {
    QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection);
}

std::uint32_t QtEventLoop::TickCount() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

}  // namespace tandrin
