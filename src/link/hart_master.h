#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "device/device_data.h"
#include "link/command_timing.h"
#include "link/receive_thread.h"
#include "link/serial_port.h"
#include "platform/event_loop.h"

namespace tandrin {

// Called on the UI thread when a transaction ends: (user pointer,
// success 1 or 0, command number).
using CompletionFn = void (*)(void* user, std::int32_t success, std::uint8_t command);
// Sees every frame written (sent true) and every chunk read, the latter on
// the receive thread. Set it while the link is closed; empty costs nothing.
using LinkTrace = std::function<void(bool sent, const std::uint8_t* bytes, std::size_t length)>;

// How the last transaction ended, beyond the completion's success flag.
enum class ReplyKind : std::uint8_t {
    kNoAnswer,  // no acceptable reply after the retries (or none yet)
    kSuccess,
    kWarning,  // taken; the response code says something worth telling
    kRefused,  // the transmitter answered with a response code that refuses
};
struct ReplyOutcome {
    ReplyKind kind = ReplyKind::kNoAnswer;
    std::uint8_t command = 0;
    std::uint8_t code = 0;  // the response code
};

// The one HART master: owns the port, the receive side, the timing table,
// the frame buffers and (through DeviceData) the device model, and runs one
// transaction at a time. The program uses the global `hartMaster`; tests
// construct their own.
//
// Threads: the UI thread runs everything here except AppendReceived and
// what it calls (ScanResponse, DispatchResponse, the parsers), which run on
// the receive thread. m_rxMutex guards the receive state; the complete flag
// is set with release after the parsers stored their values, and the UI
// thread reads the device model only after seeing it with acquire. Ending
// reception takes m_rxMutex, so once it returns no parser is running and
// none will start: after that the UI thread may write the device model.
class HartMaster : public DeviceData {
  public:
    static constexpr std::size_t kFrameCapacity = 60;
    static constexpr std::uint8_t kRxLimit = 59;
    static constexpr int kMaxRetries = 5;
    static constexpr std::uint32_t kCommand0RetryPause = 100;

    HartMaster();
    ~HartMaster();
    HartMaster(const HartMaster&) = delete;
    HartMaster& operator=(const HartMaster&) = delete;

    // Wiring, done once before the first command.
    void SetEventLoop(EventLoop* loop) { m_pLoop = loop; }
    EventLoop* Loop() const { return m_pLoop; }
    void SetPortFactory(PortFactory factory) { m_portFactory = std::move(factory); }
    void SetTrace(LinkTrace trace) { m_trace = std::move(trace); }
    // Sees the message headers of a line that has its own (HART-IP).
    void SetHeaderTrace(ISerialPort::HeaderTrace trace) { m_headerTrace = std::move(trace); }
    // How long a request over HART-IP waits for its reply before it is
    // sent again; 0 for the line's default.
    void SetReplyTimeout(std::uint32_t ms) { m_nReplyTimeout = ms; }
    // A fresh, closed port of the kind this master opens (probing).
    std::unique_ptr<ISerialPort> MakePort() const {
        return m_portFactory ? m_portFactory() : nullptr;
    }

    // Link
    int EnsureOpen();
    int OpenLink(const std::string& portName);
    void CloseLink();
    bool IsLinkOpen() const { return m_bOpen != 0; }
    ISerialPort* Port() const { return m_pPort.get(); }
    // Why the last OpenLink failed; kNone after a success.
    PortOpenError LastOpenError() const { return m_lastOpenError; }
    // Set when the port went away under an open link (unplugged, the far
    // end of a pty closed); the link was then closed. Cleared by the next
    // successful OpenLink.
    bool PortLost() const { return m_bPortLost; }
    // Called on the UI thread after a lost port closed the link. A
    // transaction in flight then ends with a failure completion, unless
    // the handler cancelled it (cancelFlag).
    void SetLinkLostHandler(std::function<void()> handler) {
        m_linkLostHandler = std::move(handler);
    }

    // Transactions (UI thread)
    void SendCommand(void* user, CompletionFn completion, std::uint8_t command);
    // Ends the transaction in flight at once, without a completion: no byte
    // is taken any more (so no reply to it reaches the device model), its
    // timer is gone and RTS dropped. Stop and a port change call it along
    // with cancelFlag; every new command starts with it.
    void CancelTransaction();
    void SendFrame(const std::uint8_t* bytes, int length);
    void OnPhaseTimer(TimerId timer);
    const CommandTiming& Timing() const { return m_timing; }

    // Request frames
    void BuildShortFrame();
    void BuildLongHeader();
    void FinishFrame(int end);
    void BuildRequest(std::uint8_t command);

    // Response frames (receive thread)
    void AppendReceived(const std::uint8_t* bytes, std::size_t length);
    // Expects m_rxMutex held; AppendReceived takes it.
    bool ScanResponse();
    bool DispatchResponse();

    // Valid in a completion function: a refusal completes with success 0
    // and kind kRefused, a warning with success 1 and kind kWarning.
    const ReplyOutcome& LastOutcome() const { return m_outcome; }

    bool Receiving() const { return m_bReceiving.load(std::memory_order_acquire) != 0; }
    bool ResponseComplete() const { return m_bResponseOK.load(std::memory_order_acquire) != 0; }

    // Port to open, a device path such as "/dev/ttyUSB0".
    std::string m_strPortName;

    // Transmit side
    std::array<std::uint8_t, kFrameCapacity> m_abyTxFrame{};
    std::int32_t m_nTxLength = 0;
    std::uint8_t m_byRequestCmd = 0;

    // Receive side (guarded by m_rxMutex)
    std::array<std::uint8_t, kFrameCapacity> m_abyRxBuffer{};
    std::uint8_t m_byRxCount = 0;
    std::uint8_t m_byResponseCmd = 0;
    std::uint8_t m_byRxByteCount = 0;
    std::array<std::uint8_t, kFrameCapacity> m_abyRxFrame{};

    // Transaction state (UI thread)
    std::int32_t m_nRetry = 0;
    std::int32_t m_nPhase = 0;

  private:
    void StartPhaseTimer(std::uint32_t period);
    // A line that ends a transaction on its reply, not at the timers.
    bool RepliesEndTransactions() const { return m_pPort && m_pPort->ReplyTimeout() != 0; }
    void OnReplyTaken(std::uint64_t transaction);
    // Ends the transaction on a reply taken, else resends or gives up.
    void CompleteOrRetry();
    void StartKeepAlive();
    void OnKeepAliveTimer(TimerId timer);
    void LoseLink();
    void KillPhaseTimer();
    void OnPortGone();
    void StopReception();
    void ResetReception(std::uint8_t receiving);
    void DropRtsIfOpen();
    void Complete(std::int32_t success, std::uint8_t command);
    // Judges the status bytes of a reply to the outstanding command and
    // hands a taken one to its parser (receive thread, m_rxMutex held).
    bool JudgeReply(std::size_t statusAt);
    bool StartReceiving();

    EventLoop* m_pLoop = nullptr;
    PortFactory m_portFactory;
    LinkTrace m_trace;
    ISerialPort::HeaderTrace m_headerTrace;
    std::uint32_t m_nReplyTimeout = 0;
    TimerId m_nKeepAliveTimer = 0;
    std::unique_ptr<ISerialPort> m_pPort;
    // Reads a port that has a descriptor; joined before the port closes.
    std::unique_ptr<ReceiveThread> m_pReceiveThread;
    std::int32_t m_bOpen = 0;
    PortOpenError m_lastOpenError = PortOpenError::kNone;
    const CommandTiming m_timing;

    void* m_pUser = nullptr;
    CompletionFn m_pfnCompletion = nullptr;
    TimerId m_nTimer = 0;              // the phase timer now pending, 0 for none
    std::uint64_t m_nTransaction = 0;  // bumped by every SendCommand
    // The transaction whose request went out last, for the receive thread.
    std::atomic<std::uint64_t> m_nTransactionSent{0};
    bool m_bPortLost = false;
    std::function<void()> m_linkLostHandler;
    // Lets news posted by the receive thread find out whether this master
    // is still there when it arrives.
    std::shared_ptr<char> m_lifeToken = std::make_shared<char>();

    std::mutex m_rxMutex;
    // Written with the reply under m_rxMutex before the complete flag.
    ReplyOutcome m_outcome;
    std::atomic<std::uint8_t> m_bReceiving{0};
    std::atomic<std::int32_t> m_bResponseOK{0};
};

extern HartMaster hartMaster;

}  // namespace tandrin
