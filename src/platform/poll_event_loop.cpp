#include "platform/poll_event_loop.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <vector>

namespace tandrin {

TimerId PollEventLoop::StartTimer(std::uint32_t ms, Callback callback) {
    TimerId id = m_nextId++;
    if (m_nextId == 0) {
        m_nextId = 1;
    }
    const TimerKey key{Clock::now() + std::chrono::milliseconds(ms), m_order++};
    m_timers.emplace(key, Timer{id, std::move(callback)});
    m_timerKeys.emplace(id, key);
    return id;
}

void PollEventLoop::KillTimer(TimerId id) {
    const auto it = m_timerKeys.find(id);
    if (it == m_timerKeys.end()) {
        return;
    }
    m_timers.erase(it->second);
    m_timerKeys.erase(it);
}

std::uint32_t PollEventLoop::TickCount() {
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch());
    return static_cast<std::uint32_t>(ms.count());
}

void PollEventLoop::Post(Task task) {
    {
        std::lock_guard<std::mutex> lock(m_postedMutex);
        m_posted.push_back(std::move(task));
    }
    m_wake.Signal();
}

void PollEventLoop::RunPosted() {
    std::vector<Task> tasks;
    {
        std::lock_guard<std::mutex> lock(m_postedMutex);
        tasks.swap(m_posted);
    }
    for (Task& task : tasks) {
        task();
    }
}

void PollEventLoop::WatchFd(int fd, short events, FdCallback callback) {
    m_watches[fd] = Watch{events, std::move(callback)};
}

void PollEventLoop::UnwatchFd(int fd) {
    m_watches.erase(fd);
}

void PollEventLoop::Run() {
    while (!m_quit.load(std::memory_order_acquire)) {
        RunOnce(Clock::time_point::max());
    }
    m_quit.store(false, std::memory_order_release);
}

bool PollEventLoop::RunUntil(const std::function<bool()>& done, std::uint32_t timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done() && Clock::now() < deadline) {
        RunOnce(deadline);
    }
    return done();
}

void PollEventLoop::RunFor(std::uint32_t ms) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < deadline) {
        RunOnce(deadline);
    }
}

void PollEventLoop::Quit() {
    m_quit.store(true, std::memory_order_release);
    m_wake.Signal();
}

void PollEventLoop::RunOnce(Clock::time_point deadline) {
    Clock::time_point until = deadline;
    // After a timer has run, or when asked to quit, only look at the
    // descriptors: the caller's condition may hold now.
    if (FireDueTimers() || m_quit.load(std::memory_order_acquire)) {
        until = Clock::now();
    } else if (!m_timers.empty()) {
        until = std::min(until, m_timers.begin()->first.first);
    }
    WaitAndDispatch(until);
}

bool PollEventLoop::FireDueTimers() {
    // Only timers started before this pass: a callback that restarts itself
    // with 0 ms must not starve the descriptors.
    const std::uint64_t lastOrder = m_order;
    const Clock::time_point now = Clock::now();
    bool fired = false;
    while (!m_timers.empty()) {
        const auto first = m_timers.begin();
        if (first->first.first > now || first->first.second >= lastOrder) {
            break;
        }
        auto node = m_timers.extract(first);
        m_timerKeys.erase(node.mapped().id);
        node.mapped().callback(node.mapped().id);
        fired = true;
    }
    return fired;
}

void PollEventLoop::WaitAndDispatch(Clock::time_point until) {
    std::vector<pollfd> fds;
    fds.reserve(m_watches.size() + 1);
    fds.push_back({m_wake.ReadFd(), POLLIN, 0});
    for (const auto& [fd, watch] : m_watches) {
        fds.push_back({fd, watch.events, 0});
    }
    timespec wait{};
    const timespec* timeout = nullptr;
    if (until != Clock::time_point::max()) {
        const auto left = std::max(until - Clock::now(), Clock::duration::zero());
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        wait.tv_sec = static_cast<time_t>(ns / 1'000'000'000);
        wait.tv_nsec = static_cast<long>(ns % 1'000'000'000);
        timeout = &wait;
    }
    const int ready = ::ppoll(fds.data(), fds.size(), timeout, nullptr);
    if (ready <= 0) {
        return;  // timeout, or EINTR: the caller loops
    }
    if (fds[0].revents != 0) {
        m_wake.Drain();
        RunPosted();
    }
    for (std::size_t i = 1; i < fds.size(); ++i) {
        if (fds[i].revents == 0) {
            continue;
        }
        // An earlier callback of this pass may have removed the watch.
        const auto it = m_watches.find(fds[i].fd);
        if (it == m_watches.end()) {
            continue;
        }
        const FdCallback callback = it->second.callback;  // may unwatch itself
        callback(fds[i].revents);
    }
}

}  // namespace tandrin
