#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "link/hart_ip_message.h"
#include "link/serial_port.h"
#include "platform/unique_fd.h"

namespace tandrin {

// A line to a HART-IP server, named "hart-ip://HOST[:PORT]" (UDP) or
// "hart-ip+tcp://HOST[:PORT]". Open initiates a session as primary
// master; each Write goes out as a token-passing PDU without preambles;
// the receive thread polls Descriptor() and Unwrap hands the reply to the
// request now out (matched by sequence number) to the master with
// preambles, as a modem would. Anything else is dropped. KeepAlive keeps
// the session open while idle and notices a server that went away; Close
// ends the session.
//
// Threads: Open, Close, Write and KeepAlive run on the UI thread, Unwrap
// on the receive thread; they share only atomics.
class HartIpPort : public ISerialPort {
  public:
    static constexpr std::uint32_t kDefaultTimeoutMs = 1500;
    // Asked of the server; it may answer with its own.
    static constexpr std::uint32_t kInactivityCloseMs = 60000;
    static constexpr std::size_t kReplyPreambles = 2;
    // The master scans no fewer bytes: a reply of status bytes only (a
    // refusal, a relay's "no device") gets as many more preambles.
    static constexpr std::size_t kReplyMinBytes = 16;

    explicit HartIpPort(std::uint32_t timeoutMs = kDefaultTimeoutMs);
    ~HartIpPort() override { Close(); }
    HartIpPort(const HartIpPort&) = delete;
    HartIpPort& operator=(const HartIpPort&) = delete;

    int Open(const std::string& name) override;
    bool IsOpen() const override { return m_fd.Valid(); }
    void Close() override;
    void RaiseRts() override {}
    void DropRts() override {}
    int Write(const std::uint8_t* data, std::size_t length) override;
    int Descriptor() const override { return m_fd.Get(); }
    PortOpenError LastOpenError() const override { return m_lastError; }

    std::uint32_t ReplyTimeout() const override { return m_timeoutMs; }
    void Unwrap(const std::uint8_t* bytes, std::size_t length, const ByteSink& toMaster) override;
    std::uint32_t KeepAlivePeriod() const override;
    bool KeepAlive() override;
    PortOpenError LineProblem() const override { return m_problem.load(); }
    void SetHeaderTrace(HeaderTrace trace) override { m_headerTrace = std::move(trace); }

    // The server's inactivity close time as agreed at Open.
    std::uint32_t CloseTime() const { return m_closeTimeMs; }
    // Unwrap as on an open line of that kind with the PDU `sequence` out,
    // without a server (the fuzzer, the tests of the reply matching).
    void ExpectReplyForTesting(bool stream, std::uint16_t sequence);

  private:
    using Clock = std::chrono::steady_clock;

    bool Initiate();
    // Waits for the answer to the request with `sequence`; false on
    // timeout. Runs before the receive thread starts.
    bool AwaitAnswer(std::uint16_t sequence, HartIpHeader& header, std::vector<std::uint8_t>& body);
    bool Send(HartIpId id, const std::uint8_t* body, std::size_t length, std::uint16_t& sequence);
    void OnMessage(const HartIpHeader& header, const std::uint8_t* body, std::size_t length,
                   const ByteSink& toMaster);
    std::int64_t NowMs() const;

    const std::uint32_t m_timeoutMs;
    HartIpAddress m_address;
    UniqueFd m_fd;
    PortOpenError m_lastError = PortOpenError::kNone;
    HeaderTrace m_headerTrace;
    HartIpReader m_reader{false};
    std::uint32_t m_closeTimeMs = kInactivityCloseMs;
    const Clock::time_point m_origin = Clock::now();

    std::uint16_t m_nextSequence = 0;                   // UI thread
    std::atomic<std::uint32_t> m_pduSequence{0x10000};  // the PDU out; above 16 bits: none
    std::atomic<bool> m_bPduAnswered{false};
    std::atomic<PortOpenError> m_problem{PortOpenError::kNone};
    std::atomic<bool> m_bBroken{false};  // a stream out of step
    std::atomic<std::int64_t> m_lastHeard{0};
    std::int64_t m_lastSent = 0;        // UI thread
    std::int64_t m_keepAliveSent = -1;  // unanswered keep-alive, -1 for none
};

std::unique_ptr<ISerialPort> MakeHartIpPort(std::uint32_t timeoutMs);

}  // namespace tandrin
