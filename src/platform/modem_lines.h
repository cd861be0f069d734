#pragma once

namespace tandrin {

// The modem control line calls (DTR, RTS) behind a seam: a pseudo-terminal
// has no modem lines, so tests put a recorder here to see what a port
// raises, drops and hands back at close.
class ModemLineControl {
  public:
    virtual ~ModemLineControl() = default;
    // The lines now up (TIOCM_* bits). False when the device has none.
    virtual bool Get(int fd, int& lines) = 0;
    // Raises (`on`) or drops `lines`. False when the device has none.
    virtual bool Set(int fd, int lines, bool on) = 0;
};

// The control in force: the system's ioctls unless a test replaced them.
ModemLineControl& ModemLines();

// Puts `control` in force for its lifetime (tests).
class ScopedModemLines {
  public:
    explicit ScopedModemLines(ModemLineControl& control);
    ~ScopedModemLines();
    ScopedModemLines(const ScopedModemLines&) = delete;
    ScopedModemLines& operator=(const ScopedModemLines&) = delete;

  private:
    ModemLineControl* m_previous;
};

}  // namespace tandrin
