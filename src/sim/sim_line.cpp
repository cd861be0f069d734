#include "sim/sim_line.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <cerrno>
#include <cstring>

#include "platform/hart_line_settings.h"
#include "platform/port_lock.h"
#include "platform/pty.h"
#include "platform/unique_fd.h"

namespace tandrin::sim {

namespace {

class PtyLine : public SimLine {
  public:
    explicit PtyLine(PtyPair pty) : m_pty(std::move(pty)) {}
    int Fd() const override { return m_pty.MasterFd(); }
    const std::string& Path() const override { return m_pty.SlavePath(); }
    bool PacedByDriver() const override { return false; }
    void HangUp() override { m_pty.Close(); }

  private:
    PtyPair m_pty;
};

class SerialLine : public SimLine {
  public:
    SerialLine(UniqueFd fd, std::string path) : m_fd(std::move(fd)), m_path(std::move(path)) {
        SetModemLines(m_fd.Get(), TIOCM_RTS, false);  // listen until we answer
    }
    ~SerialLine() override { HangUp(); }
    int Fd() const override { return m_fd.Get(); }
    const std::string& Path() const override { return m_path; }
    bool PacedByDriver() const override { return true; }
    void BeginAnswer() override { SetModemLines(m_fd.Get(), TIOCM_RTS, true); }
    void EndAnswer() override {
        ::tcdrain(m_fd.Get());  // the plan waited the line time; this is a last check
        SetModemLines(m_fd.Get(), TIOCM_RTS, false);
    }
    void HangUp() override {
        if (m_fd.Valid()) {
            UnlockPortExclusive(m_fd.Get());
            m_fd.Reset();
        }
    }

  private:
    UniqueFd m_fd;
    std::string m_path;
};

}  // namespace

std::unique_ptr<SimLine> OpenPtyLine(std::string& error) {
    PtyPair pty;
    if (!pty.Open(error)) {
        return nullptr;
    }
    return std::make_unique<PtyLine>(std::move(pty));
}

std::unique_ptr<SimLine> OpenSerialLine(const std::string& device, std::string& error) {
    UniqueFd fd(::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.Valid()) {
        error = device + ": " + std::strerror(errno);
        return nullptr;
    }
    if (!LockPortExclusive(fd.Get())) {
        error = device + ": in use by another program";
        return nullptr;
    }
    if (!ApplyHartLineSettings(fd.Get())) {
        UnlockPortExclusive(fd.Get());
        error = device + ": refuses 1200 baud 8O1";
        return nullptr;
    }
    FlushLine(fd.Get());
    return std::make_unique<SerialLine>(std::move(fd), device);
}

}  // namespace tandrin::sim
