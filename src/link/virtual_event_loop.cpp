#include "link/virtual_event_loop.h"

#include <algorithm>

namespace tandrin {

TimerId VirtualEventLoop::StartTimer(std::uint32_t ms, Callback callback) {
    TimerId id = m_nextId++;
    if (m_nextId == 0) {
        m_nextId = 1;
    }
    m_timers.emplace(Key{m_now + ms, m_order++}, Entry{id, std::move(callback)});
    return id;
}

void VirtualEventLoop::KillTimer(TimerId id) {
    auto it = std::find_if(m_timers.begin(), m_timers.end(),
                           [id](const auto& item) { return item.second.id == id; });
    if (it != m_timers.end()) {
        m_timers.erase(it);
    }
}

void VirtualEventLoop::PumpingDelay(std::uint32_t ms) {
    RunFor(ms);
}

void VirtualEventLoop::Post(Task task) {
    std::lock_guard<std::mutex> lock(m_postedMutex);
    m_posted.push_back(std::move(task));
}

bool VirtualEventLoop::RunPosted() {
    std::vector<Task> tasks;
    {
        std::lock_guard<std::mutex> lock(m_postedMutex);
        tasks.swap(m_posted);
    }
    for (Task& task : tasks) {
        task();
    }
    return !tasks.empty();
}

bool VirtualEventLoop::FireNextDueBy(std::uint64_t limit) {
    if (RunPosted()) {
        return true;
    }
    if (m_timers.empty() || m_timers.begin()->first.due > limit) {
        return false;
    }
    auto node = m_timers.extract(m_timers.begin());
    m_now = std::max(m_now, node.key().due);
    node.mapped().callback(node.mapped().id);
    return true;
}

void VirtualEventLoop::RunFor(std::uint64_t ms) {
    const std::uint64_t end = m_now + ms;
    while (FireNextDueBy(end)) {
    }
    // A nested PumpingDelay may already have carried time past `end`.
    m_now = std::max(m_now, end);
}

bool VirtualEventLoop::RunUntilIdle(std::uint64_t limitMs) {
    const std::uint64_t end = m_now + limitMs;
    while (FireNextDueBy(end)) {
    }
    return m_timers.empty();
}

}  // namespace tandrin
