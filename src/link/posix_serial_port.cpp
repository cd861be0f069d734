#include "link/posix_serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/hart_line_settings.h"
#include "platform/port_lock.h"

namespace tandrin {

namespace {

// How long Write waits for room in a full driver queue. The queue holds
// seconds of 1200 baud, so this only matters for a device that is stuck.
constexpr int kWriteRoomWaitMs = 100;

PortOpenError OpenErrorOf(int error) {
    switch (error) {
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return PortOpenError::kMissing;
        case EACCES:
        case EPERM:
            return PortOpenError::kNoPermission;
        case EBUSY:
            return PortOpenError::kBusy;  // TIOCEXCL held by another user
        case EISDIR:
            return PortOpenError::kNotTerminal;
        default:
            return PortOpenError::kOther;
    }
}

}  // namespace

int CSerialPort::Open(const std::string& path) {
    Close();
    m_lastError = PortOpenError::kNone;
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.Valid()) {
        m_lastError = OpenErrorOf(errno);
        return 0;
    }
    if (::isatty(fd.Get()) == 0) {
        m_lastError = PortOpenError::kNotTerminal;
        return 0;
    }
    if (!LockPortExclusive(fd.Get())) {
        m_lastError = PortOpenError::kBusy;
        return 0;
    }
    if (!SaveLineState(fd.Get(), m_found)) {
        UnlockPortExclusive(fd.Get());
        m_lastError = PortOpenError::kNotTerminal;
        return 0;
    }
    if (!ApplyHartLineSettings(fd.Get())) {
        RestoreLineState(fd.Get(), m_found);  // whatever part was taken
        UnlockPortExclusive(fd.Get());
        m_lastError = PortOpenError::kRefusedSettings;
        return 0;
    }
    FlushLine(fd.Get());  // nothing stale from an earlier user of the line
    SetModemLines(fd.Get(), TIOCM_DTR | TIOCM_RTS, true);
    m_fd = std::move(fd);
    m_bOpen = 1;
    return 1;
}

void CSerialPort::Close() {
    if (!m_fd.Valid()) {
        return;
    }
    RestoreLineState(m_fd.Get(), m_found);
    UnlockPortExclusive(m_fd.Get());
    m_fd.Reset();
    m_bOpen = 0;
}

void CSerialPort::RaiseRts() {
    if (m_fd.Valid()) {
        SetModemLines(m_fd.Get(), TIOCM_RTS, true);
    }
}

void CSerialPort::DropRts() {
    if (m_fd.Valid()) {
        SetModemLines(m_fd.Get(), TIOCM_RTS, false);
    }
}

int CSerialPort::Write(const std::uint8_t* data, std::size_t length) {
    if (!m_fd.Valid()) {
        return 0;
    }
    std::size_t done = 0;
    while (done < length) {
        const ssize_t n = ::write(m_fd.Get(), data + done, length - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN) {
            return 0;  // EIO: the device went away
        }
        pollfd room{m_fd.Get(), POLLOUT, 0};
        if (::poll(&room, 1, kWriteRoomWaitMs) <= 0 || (room.revents & POLLOUT) == 0) {
            return 0;
        }
    }
    return 1;
}

std::unique_ptr<ISerialPort> MakeSerialPort() {
    return std::make_unique<CSerialPort>();
}

}  // namespace tandrin
