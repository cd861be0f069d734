// The transaction engine and the link's life cycle.
#include "link/hart_master.h"

#include "link/command_flags.h"
#include "link/hart_ip_message.h"
#include "link/hart_ip_port.h"
#include "link/posix_serial_port.h"

namespace tandrin {

HartMaster::HartMaster() : m_portFactory(MakeSerialPort) {}

HartMaster::~HartMaster() {
    // A timer left behind must not call into a destroyed master.
    KillPhaseTimer();
    CloseLink();
}

int HartMaster::EnsureOpen() {
    if (m_bOpen != 0) {
        return 1;
    }
    return OpenLink(m_strPortName);
}

int HartMaster::OpenLink(const std::string& portName) {
    if (m_bOpen != 0) {
        CloseLink();  // never orphan a running receive side
    }
    m_pPort = IsHartIpName(portName) ? MakeHartIpPort(m_nReplyTimeout) : MakePort();
    m_lastOpenError = PortOpenError::kOther;
    if (!m_pPort) {
        return 0;
    }
    m_pPort->SetHeaderTrace(m_headerTrace);
    if (m_pPort->Open(portName) == 0) {
        m_lastOpenError = m_pPort->LastOpenError();
        return 0;  // the port object stays until CloseLink discards it
    }
    if (!StartReceiving()) {
        // A link that could never receive would fail every command after
        // its retries; refuse it now instead.
        m_pPort->Close();
        return 0;
    }
    m_lastOpenError = PortOpenError::kNone;
    m_bPortLost = false;
    m_bOpen = 1;
    StartKeepAlive();
    return 1;
}

bool HartMaster::StartReceiving() {
    const int fd = m_pPort->Descriptor();
    if (fd < 0) {
        return true;  // a port that delivers its bytes by other means
    }
    m_pReceiveThread = std::make_unique<ReceiveThread>();
    // The thread cannot close the link it reads: it posts the news to the
    // UI thread, where the master may be gone by the time it arrives.
    const std::weak_ptr<char> alive = m_lifeToken;
    EventLoop* loop = m_pLoop;
    auto portGone = [this, alive, loop] {
        if (loop != nullptr) {
            loop->Post([this, alive] {
                if (!alive.expired()) {
                    OnPortGone();
                }
            });
        }
    };
    ISerialPort* port = m_pPort.get();
    const bool repliesEnd = RepliesEndTransactions();
    const ISerialPort::ByteSink toMaster = [this](const std::uint8_t* bytes, std::size_t length) {
        AppendReceived(bytes, length);
    };
    auto sink = [this, port, repliesEnd, toMaster, alive, loop](const std::uint8_t* bytes,
                                                                std::size_t length) {
        const bool wasReceiving = Receiving();
        const std::uint64_t transaction = m_nTransactionSent.load(std::memory_order_acquire);
        port->Unwrap(bytes, length, toMaster);
        // A frame taken ends reception: on a line whose replies end
        // transactions, judge it now rather than at the timeout.
        if (repliesEnd && wasReceiving && !Receiving() && loop != nullptr) {
            loop->Post([this, alive, transaction] {
                if (!alive.expired()) {
                    OnReplyTaken(transaction);
                }
            });
        }
    };
    return m_pReceiveThread->StartThread(fd, std::move(sink), std::move(portGone));
}

void HartMaster::OnPortGone() {
    // News about a link that has since been closed or reopened is stale.
    if (!m_pReceiveThread || !m_pReceiveThread->PortGone()) {
        return;
    }
    LoseLink();
}

void HartMaster::LoseLink() {
    const bool inFlight = m_nPhase != 0;
    KillPhaseTimer();
    m_nPhase = 0;
    CloseLink();
    m_bPortLost = true;
    if (m_linkLostHandler) {
        m_linkLostHandler();
    }
    // At once, not after every retry over a port that is not there.
    if (inFlight && cancelFlag == 0) {
        Complete(0, m_byRequestCmd);
    }
}

void HartMaster::CloseLink() {
    if (!m_pPort) {
        return;
    }
    // The thread reads the port's descriptor: stop it before the close.
    if (m_pReceiveThread) {
        m_pReceiveThread->FinishThread();
        m_pReceiveThread.reset();
    }
    if (m_nKeepAliveTimer != 0 && m_pLoop != nullptr) {
        m_pLoop->KillTimer(m_nKeepAliveTimer);
    }
    m_nKeepAliveTimer = 0;
    if (m_pPort->IsOpen()) {
        m_pPort->Close();
    }
    m_pPort.reset();
    m_bOpen = 0;
}

void HartMaster::SendCommand(void* user, CompletionFn completion, std::uint8_t command) {
    // The request is built from the device values: no reply to an earlier
    // transaction may be parsed into them meanwhile.
    KillPhaseTimer();
    StopReception();
    m_pUser = user;
    m_pfnCompletion = completion;
    BuildRequest(command);
    m_byRequestCmd = command;
    m_outcome = {ReplyKind::kNoAnswer, command, 0};
    m_nRetry = 0;
    ++m_nTransaction;
    SendFrame(m_abyTxFrame.data(), m_nTxLength);
}

void HartMaster::CancelTransaction() {
    KillPhaseTimer();
    // A raised RTS would keep a half-duplex modem talking on the loop.
    StopReception();
    DropRtsIfOpen();
    m_nPhase = 0;
}

void HartMaster::SendFrame(const std::uint8_t* bytes, int length) {
    if (length <= 0) {
        // Nothing the tool could send: fail on the next turn of the loop
        // instead of timing out six times over an empty line.
        ResetReception(0);
        m_nRetry = kMaxRetries;
        m_nPhase = 2;
        StartPhaseTimer(0);
        return;
    }
    if (RepliesEndTransactions()) {
        // No line turn-around to time: wait for the reply, or retry.
        ResetReception(1);
        m_nTransactionSent.store(m_nTransaction, std::memory_order_release);
        m_nPhase = 2;
        StartPhaseTimer(m_pPort->ReplyTimeout());
    } else {
        if (m_pPort) {
            m_pPort->RaiseRts();
        }
        ResetReception(1);
        m_nPhase = 1;
        StartPhaseTimer(m_timing.TransmitPeriod(m_byRequestCmd, length));
    }
    if (m_pPort) {
        if (m_trace) {
            m_trace(true, bytes, static_cast<std::size_t>(length));
        }
        m_pPort->Write(bytes, static_cast<std::size_t>(length));
    }
}

void HartMaster::StartPhaseTimer(std::uint32_t period) {
    // Only one phase timer may be pending: one left over from a cancelled
    // transaction would otherwise drive the new one's phases.
    KillPhaseTimer();
    m_nTimer = m_pLoop->StartTimer(period, [this](TimerId id) { OnPhaseTimer(id); });
}

void HartMaster::KillPhaseTimer() {
    if (m_nTimer != 0 && m_pLoop != nullptr) {
        m_pLoop->KillTimer(m_nTimer);
    }
    m_nTimer = 0;
}

void HartMaster::OnPhaseTimer(TimerId timer) {
    m_pLoop->KillTimer(timer);
    if (timer != m_nTimer) {
        return;
    }
    m_nTimer = 0;
    if (cancelFlag != 0) {
        CancelTransaction();  // in case the canceller left that to us
        return;
    }
    if (m_nPhase == 1) {
        m_nPhase = 2;
        StartPhaseTimer(m_timing.ReceivePeriod(m_byRequestCmd));
        DropRtsIfOpen();
        return;
    }
    if (m_nPhase != 2) {
        return;
    }
    if (m_pReceiveThread) {
        m_pReceiveThread->CatchUp();  // what arrived a moment ago still counts
    }
    CompleteOrRetry();
}

void HartMaster::OnReplyTaken(std::uint64_t transaction) {
    if (transaction != m_nTransaction || m_nPhase != 2 || cancelFlag != 0) {
        return;  // judged already, or another transaction's
    }
    KillPhaseTimer();
    CompleteOrRetry();
}

void HartMaster::CompleteOrRetry() {
    if (ResponseComplete()) {
        StopReception();
        // The dispatch accepted only this command; a refusal is an answer.
        Complete(m_outcome.kind == ReplyKind::kRefused ? 0 : 1, m_byRequestCmd);
        return;
    }
    if (m_nRetry >= kMaxRetries) {
        StopReception();
        Complete(0, m_byRequestCmd);
        return;
    }
    ++m_nRetry;
    const std::uint64_t transaction = m_nTransaction;
    if (m_byRequestCmd == 0) {
        m_pLoop->PumpingDelay(kCommand0RetryPause);
        // The pause runs other events: a Stop, a lost port or a new command
        // may have ended this transaction or taken over the engine.
        if (transaction != m_nTransaction || m_nPhase != 2) {
            return;
        }
        if (cancelFlag != 0) {
            CancelTransaction();
            return;
        }
    }
    const bool answered = ResponseComplete();
    SendFrame(m_abyTxFrame.data(), m_nTxLength);
    if (answered) {
        m_bResponseOK.store(1, std::memory_order_release);
    }
}

void HartMaster::StartKeepAlive() {
    const std::uint32_t period = m_pPort->KeepAlivePeriod();
    if (period != 0 && m_pLoop != nullptr) {
        m_nKeepAliveTimer =
            m_pLoop->StartTimer(period, [this](TimerId id) { OnKeepAliveTimer(id); });
    }
}

void HartMaster::OnKeepAliveTimer(TimerId timer) {
    m_pLoop->KillTimer(timer);
    if (timer != m_nKeepAliveTimer) {
        return;
    }
    m_nKeepAliveTimer = 0;
    if (!m_pPort || m_bOpen == 0) {
        return;
    }
    if (!m_pPort->KeepAlive()) {
        LoseLink();  // the server no longer answers
        return;
    }
    StartKeepAlive();
}

void HartMaster::Complete(std::int32_t success, std::uint8_t command) {
    m_nPhase = 0;
    if (m_pfnCompletion != nullptr) {
        m_pfnCompletion(m_pUser, success, command);
    }
}

void HartMaster::StopReception() {
    std::lock_guard<std::mutex> lock(m_rxMutex);
    m_bReceiving.store(0, std::memory_order_release);
}

void HartMaster::ResetReception(std::uint8_t receiving) {
    std::lock_guard<std::mutex> lock(m_rxMutex);
    m_byRxCount = 0;
    m_bResponseOK.store(0, std::memory_order_relaxed);
    m_bReceiving.store(receiving, std::memory_order_release);
}

void HartMaster::DropRtsIfOpen() {
    if (m_pPort && m_pPort->IsOpen()) {
        m_pPort->DropRts();
    }
}

}  // namespace tandrin
