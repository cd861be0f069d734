#pragma once

namespace tandrin {

// The HART modem's line: raw bytes, 1200 baud, 8 data bits, odd parity, one
// stop bit, no flow control, receiver on, modem status lines ignored.
// Reads the device's settings, changes only those, applies them and reads
// them back. False when the device is no terminal or refused a setting.
bool ApplyHartLineSettings(int fd);

// Discards whatever is queued in both directions.
void FlushLine(int fd);

// Raises (`on`) or drops modem control lines (TIOCM_RTS, TIOCM_DTR). False
// when the device has no such lines, as a pseudo-terminal.
bool SetModemLines(int fd, int lines, bool on);

}  // namespace tandrin
