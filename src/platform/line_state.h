#pragma once

#include <termios.h>

namespace tandrin {

// A terminal's settings and modem control lines as we found them, so that
// a port configured for HART (probing opens every serial port of the
// machine) is handed back as it was.
struct LineState {
    termios settings{};
    int modemLines = 0;
    bool hasModemLines = false;  // a pseudo-terminal has none
};

// False when the device is no terminal.
bool SaveLineState(int fd, LineState& state);
// Discards what is still queued (it was meant for the HART line), then puts
// the settings and DTR and RTS back.
void RestoreLineState(int fd, const LineState& state);

}  // namespace tandrin
