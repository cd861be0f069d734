#pragma once

namespace tandrin {

// Takes a serial device for this open file alone, like a no-sharing open:
// TIOCEXCL refuses later opens by other programs (root bypasses it), and a
// non-blocking exclusive flock refuses a second Tandrin, root or not.
// False when someone else holds the flock.
bool LockPortExclusive(int fd);

// Clears TIOCEXCL before the close. The flag belongs to the terminal, not
// to this descriptor: left set, it would refuse our own next open for as
// long as anyone else (a simulator holding its pty) keeps the device open.
void UnlockPortExclusive(int fd);

}  // namespace tandrin
