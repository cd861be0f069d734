#include "link/receive_thread.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace tandrin {

bool ReceiveThread::StartThread(int fd, Sink sink) {
    FinishThread();
    if (!m_stop.Valid()) {
        return false;
    }
    m_stop.Drain();
    m_fd = fd;
    m_sink = std::move(sink);
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

void ReceiveThread::Routine() {
    for (;;) {
        short revents = 0;
        Outcome outcome = Wait(-1, revents);
        if (outcome == Outcome::kContinue) {
            outcome = ReadChunk(revents);
        }
        if (outcome != Outcome::kContinue) {
            break;
        }
    }
    m_bFinished.store(true, std::memory_order_release);
}

ReceiveThread::Outcome ReceiveThread::Wait(int timeoutMs, short& revents) {
    pollfd fds[2] = {{m_fd, POLLIN, 0}, {m_stop.ReadFd(), POLLIN, 0}};
    int ready;
    do {
        ready = ::poll(fds, 2, timeoutMs);
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

ReceiveThread::Outcome ReceiveThread::ReadChunk(short revents) {
    std::size_t count = 0;
    for (;;) {
        const ssize_t n = ::read(m_fd, m_abyBuffer + count, kChunkLimit - count);
        if (n > 0) {
            count += static_cast<std::size_t>(n);
            if (count == kChunkLimit) {
                Deliver(count);
                count = 0;
            }
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        // 0 bytes, EIO, or nothing to read after a hang-up: the port is gone,
        // and polling it again would only spin.
        if (n == 0 || errno != EAGAIN || (revents & POLLHUP) != 0) {
            Deliver(count);  // what came before the hang-up still counts
            return Outcome::kPortGone;
        }
        if (count == 0) {
            return Outcome::kContinue;
        }
        const Outcome outcome = Wait(kChunkGapMs, revents);
        if (outcome == Outcome::kPortGone) {
            Deliver(count);
        }
        if (outcome != Outcome::kContinue) {
            return outcome;
        }
        if (revents == 0) {
            Deliver(count);  // quiet for the whole gap: the chunk is done
            return Outcome::kContinue;
        }
    }
}

void ReceiveThread::Deliver(std::size_t count) {
    if (count > 0 && m_sink) {
        m_sink(m_abyBuffer, count);
    }
}

}  // namespace tandrin
