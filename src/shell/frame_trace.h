#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "link/hart_master.h"

namespace tandrin {

// Turns what the link writes and reads into one text line each:
// milliseconds since start, TX or RX, the bytes in hex, and once a whole
// frame is there its command, response code and device status. Lines go to
// `write`, one at a time (the receive thread reports too).
class FrameTrace {
  public:
    using LineSink = std::function<void(const std::string& line)>;
    using Clock = std::chrono::steady_clock;

    explicit FrameTrace(LineSink write, Clock::time_point start = Clock::now());

    void Sent(const std::uint8_t* bytes, std::size_t length);
    void Received(const std::uint8_t* bytes, std::size_t length);
    // A line's own message header (HART-IP), described.
    void Header(bool sent, const std::string& description);
    // A LinkTrace for HartMaster::SetTrace; this object must outlive its use.
    LinkTrace Hook();
    // The same for HartMaster::SetHeaderTrace.
    ISerialPort::HeaderTrace HeaderHook();

  private:
    std::string Prefix(const char* direction, const std::uint8_t* bytes, std::size_t length) const;

    LineSink m_write;
    Clock::time_point m_start;
    std::mutex m_mutex;
    std::vector<std::uint8_t> m_reply;  // bytes of the reply so far
};

// What a whole frame says: "cmd 13 request, 0 data bytes" for a request,
// "cmd 13 reply: response 0 success, status 0x00 ok" for a reply; empty
// when `frame` (delimiter through checksum) is not one.
std::string DescribeFrame(const std::uint8_t* frame, std::size_t length);

}  // namespace tandrin
