#pragma once

#include "platform/unique_fd.h"

namespace tandrin {

// A pipe used as a wake-up signal for a thread blocked in poll(). Signal()
// is safe from any thread and from a signal handler.
class WakePipe {
  public:
    WakePipe();

    // False when the pipe could not be made (descriptors exhausted).
    bool Valid() const { return m_read.Valid() && m_write.Valid(); }
    // The descriptor to poll for POLLIN.
    int ReadFd() const { return m_read.Get(); }
    void Signal() const;
    // Empties the pipe so the next poll blocks again.
    void Drain() const;

  private:
    UniqueFd m_read;
    UniqueFd m_write;
};

}  // namespace tandrin
