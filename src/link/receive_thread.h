#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/wake_pipe.h"

namespace tandrin {

// Reads one open port on a thread of its own and hands every read to a
// sink (HartMaster::AppendReceived) at once, on that thread. Nothing is
// held back for a quiet gap: the engine judges at a fixed time, and an
// answer that ends just before it must already have been scanned.
//
// A hang-up, EIO, or a read of 0 bytes when poll said readable (a USB
// adapter pulled out, the far end of a pty closed) ends the thread
// quietly and calls the port-gone callback on this thread; the port is
// left for the owner to close. FinishThread wakes the thread through its
// stop pipe and joins it.
class ReceiveThread {
  public:
    using Sink = std::function<void(const std::uint8_t* bytes, std::size_t length)>;
    using PortGoneFn = std::function<void()>;

    static constexpr std::size_t kChunkLimit = 2048;

    ReceiveThread() = default;
    ~ReceiveThread() { FinishThread(); }
    ReceiveThread(const ReceiveThread&) = delete;
    ReceiveThread& operator=(const ReceiveThread&) = delete;

    // Starts reading `fd`, which must stay open until FinishThread has
    // returned. `portGone` runs on the thread as it ends on a lost port; it
    // must only hand the news over (it may not finish this thread). False
    // when the stop pipe or the thread cannot be made.
    bool StartThread(int fd, Sink sink, PortGoneFn portGone = {});
    // Stops the thread and waits for it. Harmless when none runs; never
    // call it from the sink or the port-gone callback.
    void FinishThread();
    // Whether the thread routine has returned (stopped, or the port went).
    bool Finished() const { return m_bFinished.load(std::memory_order_acquire); }
    // Whether it returned because the port went away.
    bool PortGone() const { return m_bPortGone.load(std::memory_order_acquire); }
    // Hands over, on the calling thread, whatever the driver holds right
    // now, so that bytes which arrived a moment ago are scanned before a
    // judgement. Ordered with the thread's own reads.
    void CatchUp();

  private:
    enum class Outcome { kContinue, kStop, kPortGone };

    void Routine();
    // Waits for the port or the stop pipe; the port's poll bits land in
    // `revents`.
    Outcome Wait(short& revents);
    // Reads until the driver has nothing more, handing each read over.
    // Expects m_readMutex held.
    Outcome ReadAvailable(short revents);

    int m_fd = -1;
    Sink m_sink;
    PortGoneFn m_portGone;
    WakePipe m_stop;
    std::thread m_thread;
    std::atomic<bool> m_bFinished{true};
    std::atomic<bool> m_bPortGone{false};
    // One reader at a time, so bytes reach the sink in line order.
    std::mutex m_readMutex;
    std::uint8_t m_abyBuffer[kChunkLimit];
};

}  // namespace tandrin
