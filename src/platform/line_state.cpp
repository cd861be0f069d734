#include "platform/line_state.h"

#include <sys/ioctl.h>

#include "platform/modem_lines.h"

namespace tandrin {

namespace {

constexpr int kRestoredLines = TIOCM_DTR | TIOCM_RTS;

}  // namespace

bool SaveLineState(int fd, LineState& state) {
    if (::tcgetattr(fd, &state.settings) != 0) {
        return false;
    }
    state.hasModemLines = ModemLines().Get(fd, state.modemLines);
    return true;
}

void RestoreLineState(int fd, const LineState& state) {
    ::tcflush(fd, TCIOFLUSH);
    ::tcsetattr(fd, TCSANOW, &state.settings);
    if (!state.hasModemLines) {
        return;
    }
    ModemLines().Set(fd, state.modemLines & kRestoredLines, true);
    ModemLines().Set(fd, ~state.modemLines & kRestoredLines, false);
}

}  // namespace tandrin
