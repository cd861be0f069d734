#include "platform/pty.h"

#include <fcntl.h>
#include <stdlib.h>

#include <cerrno>
#include <cstring>

#include "platform/hart_line_settings.h"

namespace tandrin {

namespace {

std::string Failure(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

}  // namespace

bool PtyPair::Open(std::string& error) {
    Close();
    UniqueFd master(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK));
    if (!master.Valid()) {
        error = Failure("posix_openpt");
        return false;
    }
    char name[128];
    if (::grantpt(master.Get()) != 0 || ::unlockpt(master.Get()) != 0 ||
        ::ptsname_r(master.Get(), name, sizeof name) != 0) {
        error = Failure("pseudo-terminal set-up");
        return false;
    }
    UniqueFd slave(::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK));
    if (!slave.Valid()) {
        error = Failure(name);
        return false;
    }
    // Raw from the start: a cooked slave would echo our answers back to us.
    if (!ApplyHartLineSettings(slave.Get())) {
        error = Failure("raw mode on the pseudo-terminal");
        return false;
    }
    m_master = std::move(master);
    m_slave = std::move(slave);
    m_slavePath = name;
    return true;
}

void PtyPair::Close() {
    m_slave.Reset();
    m_master.Reset();
}

}  // namespace tandrin
