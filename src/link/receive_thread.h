#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <thread>

#include "platform/wake_pipe.h"

namespace tandrin {

// Reads one open port on a thread of its own and hands each chunk to a
// sink (HartMaster::AppendReceived) on that thread. A chunk ends when
// kChunkGapMs pass without a byte or kChunkLimit bytes have come.
//
// A hang-up, EIO, or a read of 0 bytes when poll said readable (a USB
// adapter pulled out, the far end of a pty closed) ends the thread
// quietly; the port is then left for the owner to close. FinishThread
// wakes the thread through its stop pipe and joins it.
class ReceiveThread {
  public:
    using Sink = std::function<void(const std::uint8_t* bytes, std::size_t length)>;

    static constexpr int kChunkGapMs = 50;
    static constexpr std::size_t kChunkLimit = 2048;

    ReceiveThread() = default;
    ~ReceiveThread() { FinishThread(); }
    ReceiveThread(const ReceiveThread&) = delete;
    ReceiveThread& operator=(const ReceiveThread&) = delete;

    // Starts reading `fd`, which must stay open until FinishThread has
    // returned. False when the stop pipe or the thread cannot be made.
    bool StartThread(int fd, Sink sink);
    // Stops the thread and waits for it. Harmless when none runs.
    void FinishThread();
    // Whether the thread routine has returned (stopped, or the port went).
    bool Finished() const { return m_bFinished.load(std::memory_order_acquire); }

  private:
    enum class Outcome { kContinue, kStop, kPortGone };

    void Routine();
    // Reads chunks until the port has nothing more; `revents` are the
    // poll bits that woke us.
    Outcome ReadChunk(short revents);
    // Waits up to `timeoutMs` (-1: forever) for the port or the stop pipe;
    // the port's poll bits land in `revents` (0 on a timeout).
    Outcome Wait(int timeoutMs, short& revents);
    void Deliver(std::size_t count);

    int m_fd = -1;
    Sink m_sink;
    WakePipe m_stop;
    std::thread m_thread;
    std::atomic<bool> m_bFinished{true};
    std::uint8_t m_abyBuffer[kChunkLimit];
};

}  // namespace tandrin
