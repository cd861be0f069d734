#include "link/receive_thread.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace tandrin {

bool ReceiveThread::StartThread(int fd, Sink sink, PortGoneFn portGone) {
    FinishThread();
    if (!m_stop.Valid()) {
        return false;
    }
    m_stop.Drain();
    m_fd = fd;
    m_sink = std::move(sink);
    m_portGone = std::move(portGone);
    m_bPortGone.store(false, std::memory_order_release);
    m_bFinished.store(false, std::memory_order_release);
    try {
        m_thread = std::thread([this] { Routine(); });
    } catch (const std::system_error&) {
        m_bFinished.store(true, std::memory_order_release);
        return false;
    }
    return true;
}

void ReceiveThread::FinishThread() {
    if (!m_thread.joinable()) {
        return;
    }
    m_stop.Signal();
    m_thread.join();
}

void ReceiveThread::CatchUp() {
    if (Finished()) {
        return;
    }
    // A lost port found here is left for the thread, whose poll sees it too.
    std::lock_guard<std::mutex> lock(m_readMutex);
    ReadAvailable(0);
}

void ReceiveThread::Routine() {
    Outcome outcome = Outcome::kContinue;
    while (outcome == Outcome::kContinue) {
        short revents = 0;
        outcome = Wait(revents);
        if (outcome == Outcome::kContinue) {
            std::lock_guard<std::mutex> lock(m_readMutex);
            outcome = ReadAvailable(revents);
        }
    }
    const bool gone = outcome == Outcome::kPortGone;
    m_bPortGone.store(gone, std::memory_order_release);
    m_bFinished.store(true, std::memory_order_release);
    if (gone && m_portGone) {
        m_portGone();
    }
}

ReceiveThread::Outcome ReceiveThread::Wait(short& revents) {
    pollfd fds[2] = {{m_fd, POLLIN, 0}, {m_stop.ReadFd(), POLLIN, 0}};
    int ready;
    do {
        ready = ::poll(fds, 2, -1);
    } while (ready < 0 && errno == EINTR);
    if (ready < 0) {
        return Outcome::kPortGone;
    }
    if (fds[1].revents != 0) {
        return Outcome::kStop;
    }
    if ((fds[0].revents & (POLLERR | POLLNVAL)) != 0) {
        return Outcome::kPortGone;
    }
    revents = fds[0].revents;
    return Outcome::kContinue;
}

ReceiveThread::Outcome ReceiveThread::ReadAvailable(short revents) {
    for (;;) {
        const ssize_t n = ::read(m_fd, m_abyBuffer, kChunkLimit);
        if (n > 0) {
            if (m_sink) {
                m_sink(m_abyBuffer, static_cast<std::size_t>(n));
            }
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno == EAGAIN && (revents & POLLHUP) == 0) {
            return Outcome::kContinue;
        }
        // 0 bytes, EIO, or nothing to read after a hang-up: the port is gone,
        // and polling it again would only spin.
        return Outcome::kPortGone;
    }
}

}  // namespace tandrin
