#include "platform/wake_pipe.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace tandrin {

WakePipe::WakePipe() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
        m_read.Reset(fds[0]);
        m_write.Reset(fds[1]);
    }
}

void WakePipe::Signal() const {
    const char byte = 1;
    // A full pipe already wakes the reader; nothing is lost by EAGAIN.
    while (::write(m_write.Get(), &byte, 1) < 0 && errno == EINTR) {
    }
}

void WakePipe::Drain() const {
    char buffer[64];
    for (;;) {
        const ssize_t n = ::read(m_read.Get(), buffer, sizeof buffer);
        if (n > 0) {
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        return;
    }
}

}  // namespace tandrin
