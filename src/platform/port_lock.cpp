#include "platform/port_lock.h"

#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <cerrno>

namespace tandrin {

bool LockPortExclusive(int fd) {
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        return false;
    }
    // Not every device honours TIOCEXCL; the flock above still holds.
    ::ioctl(fd, TIOCEXCL);
    return true;
}

void UnlockPortExclusive(int fd) {
    ::ioctl(fd, TIOCNXCL);
    ::flock(fd, LOCK_UN);
}

}  // namespace tandrin
