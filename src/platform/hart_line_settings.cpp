#include "platform/hart_line_settings.h"

#include "platform/modem_lines.h"

#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>

namespace tandrin {

namespace {

void MakeHartLine(termios& t, bool pty) {
    // Raw: no line editing, echo, signals, output processing or character
    // translation. cfmakeraw leaves the parity checking flag as the device
    // had it, and clears parity generation, enabled again below.
    ::cfmakeraw(&t);
    t.c_iflag &= ~(IXON | IXOFF | IXANY);
    t.c_cflag &= ~(CSIZE | CSTOPB | CRTSCTS);
    t.c_cflag |= CS8 | PARODD | CREAD | CLOCAL;
    if (!pty) {
        t.c_cflag |= PARENB;  // a pty has no parity and may refuse the flag
    }
    // With O_NONBLOCK, an empty line then reads as EAGAIN. VMIN 0 would
    // read as 0 bytes, which is what a hang-up looks like.
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    ::cfsetispeed(&t, B1200);
    ::cfsetospeed(&t, B1200);
}

// Unix98 pty slaves: majors 136 to 143.
bool IsPseudoTerminal(int fd) {
    struct stat info {};
    return ::fstat(fd, &info) == 0 && S_ISCHR(info.st_mode) && major(info.st_rdev) >= 136 &&
           major(info.st_rdev) <= 143;
}

bool IsHartLine(const termios& t, bool pty) {
    const tcflag_t parity = pty ? 0 : PARENB;
    const tcflag_t frame = CSIZE | CSTOPB | parity | PARODD | CRTSCTS;
    return (t.c_cflag & frame) == (CS8 | parity | PARODD) && ::cfgetispeed(&t) == B1200 &&
           ::cfgetospeed(&t) == B1200 && (t.c_lflag & (ICANON | ECHO)) == 0 &&
           (t.c_iflag & (IXON | IXOFF)) == 0;
}

}  // namespace

bool ApplyHartLineSettings(int fd) {
    termios t{};
    if (::tcgetattr(fd, &t) != 0) {
        return false;
    }
    const bool pty = IsPseudoTerminal(fd);
    MakeHartLine(t, pty);
    if (::tcsetattr(fd, TCSANOW, &t) != 0) {
        return false;
    }
    // tcsetattr succeeds when any one change took; read back to be sure
    // the driver accepted the whole frame format.
    termios applied{};
    return ::tcgetattr(fd, &applied) == 0 && IsHartLine(applied, pty);
}

void FlushLine(int fd) {
    ::tcflush(fd, TCIOFLUSH);
}

bool SetModemLines(int fd, int lines, bool on) {
    return ModemLines().Set(fd, lines, on);
}

}  // namespace tandrin
