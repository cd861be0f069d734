#include "platform/modem_lines.h"

#include <sys/ioctl.h>

#include <atomic>

namespace tandrin {

namespace {

class SystemModemLines final : public ModemLineControl {
  public:
    bool Get(int fd, int& lines) override { return ::ioctl(fd, TIOCMGET, &lines) == 0; }
    bool Set(int fd, int lines, bool on) override {
        return ::ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &lines) == 0;
    }
};

SystemModemLines systemLines;
// The simulator's thread sets RTS too, so the pointer is atomic.
std::atomic<ModemLineControl*> current{&systemLines};

}  // namespace

ModemLineControl& ModemLines() {
    return *current.load(std::memory_order_acquire);
}

ScopedModemLines::ScopedModemLines(ModemLineControl& control)
    : m_previous(current.exchange(&control, std::memory_order_acq_rel)) {}

ScopedModemLines::~ScopedModemLines() {
    current.store(m_previous, std::memory_order_release);
}

}  // namespace tandrin
