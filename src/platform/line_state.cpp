#include "platform/line_state.h"

#include <sys/ioctl.h>

namespace tandrin {

namespace {

constexpr int kRestoredLines = TIOCM_DTR | TIOCM_RTS;

}  // namespace

bool SaveLineState(int fd, LineState& state) {
    if (::tcgetattr(fd, &state.settings) != 0) {
        return false;
    }
    state.hasModemLines = ::ioctl(fd, TIOCMGET, &state.modemLines) == 0;
    return true;
}

void RestoreLineState(int fd, const LineState& state) {
    ::tcflush(fd, TCIOFLUSH);
    ::tcsetattr(fd, TCSANOW, &state.settings);
    if (!state.hasModemLines) {
        return;
    }
    int raise = state.modemLines & kRestoredLines;
    int drop = ~state.modemLines & kRestoredLines;
    ::ioctl(fd, TIOCMBIS, &raise);
    ::ioctl(fd, TIOCMBIC, &drop);
}

}  // namespace tandrin
