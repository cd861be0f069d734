#include "link/hart_ip_port.h"

#include <sys/socket.h>

#include <algorithm>
#include <cerrno>

#include "link/hart_frame.h"
#include "platform/inet_socket.h"

namespace tandrin {

namespace {

constexpr int kInitiateAttempts = 2;  // a lost datagram is not a missing server
constexpr std::uint32_t kNoPdu = 0x10000;
constexpr std::uint32_t kMinKeepAlivePeriod = 500;

PortOpenError OpenErrorOf(SocketError error) {
    switch (error) {
        case SocketError::kUnknownHost:
            return PortOpenError::kUnknownHost;
        case SocketError::kRefused:
        case SocketError::kUnreachable:
            return PortOpenError::kNoServer;
        default:
            return PortOpenError::kOther;
    }
}

PortOpenError RefusalOf(std::uint8_t status) {
    switch (status) {
        case kHartIpStatusSessionsInUse:
            return PortOpenError::kSessionsInUse;
        case kHartIpStatusVersionNotSupported:
            return PortOpenError::kVersionRefused;
        default:
            return PortOpenError::kSessionRefused;
    }
}

bool SendAll(int fd, const std::vector<std::uint8_t>& message) {
    std::size_t done = 0;
    while (done < message.size()) {
        const ssize_t n = ::send(fd, message.data() + done, message.size() - done, MSG_NOSIGNAL);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN && WaitWritable(fd, 100)) {
            continue;
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

HartIpPort::HartIpPort(std::uint32_t timeoutMs)
    : m_timeoutMs(timeoutMs != 0 ? timeoutMs : kDefaultTimeoutMs) {}

int HartIpPort::Open(const std::string& name) {
    Close();
    if (!ParseHartIpName(name, m_address)) {
        m_lastError = PortOpenError::kBadServerName;
        return 0;
    }
    SocketError socketError = SocketError::kNone;
    m_fd = ConnectInet(m_address.host, m_address.port, m_address.tcp, m_timeoutMs, socketError);
    if (!m_fd.Valid()) {
        m_lastError = OpenErrorOf(socketError);
        return 0;
    }
    m_reader = HartIpReader(m_address.tcp);
    m_bBroken = false;
    m_problem = PortOpenError::kNone;
    if (!Initiate()) {
        m_fd.Reset();
        return 0;
    }
    m_lastError = PortOpenError::kNone;
    m_lastHeard = NowMs();
    m_lastSent = NowMs();
    m_keepAliveSent = -1;
    return 1;
}

bool HartIpPort::Initiate() {
    const auto body = SessionInitiateBody(kHartIpPrimaryMaster, kInactivityCloseMs);
    for (int attempt = 0; attempt < kInitiateAttempts; ++attempt) {
        std::uint16_t sequence = 0;
        if (!Send(HartIpId::kSessionInitiate, body.data(), body.size(), sequence)) {
            break;
        }
        HartIpHeader answer;
        std::vector<std::uint8_t> answerBody;
        if (!AwaitAnswer(sequence, answer, answerBody)) {
            if (m_address.tcp || m_lastError == PortOpenError::kNoServer) {
                break;  // a stream loses nothing; a refused port stays refused
            }
            continue;
        }
        // Status 8 keeps the session with the server's own close time.
        const bool accepted =
            answer.type == HartIpType::kResponse && (answer.status == 0 || answer.status == 8);
        if (!accepted) {
            m_lastError = RefusalOf(answer.status);
            return false;
        }
        if (answerBody.size() >= 5) {
            m_closeTimeMs = (std::uint32_t{answerBody[1]} << 24) | (answerBody[2] << 16) |
                            (answerBody[3] << 8) | answerBody[4];
        }
        return true;
    }
    m_lastError = PortOpenError::kNoServer;
    return false;
}

bool HartIpPort::AwaitAnswer(std::uint16_t sequence, HartIpHeader& header,
                             std::vector<std::uint8_t>& body) {
    const auto end = Clock::now() + std::chrono::milliseconds(m_timeoutMs);
    bool found = false;
    while (!found) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
        if (left.count() <= 0 ||
            !WaitReadable(m_fd.Get(), static_cast<std::uint32_t>(left.count()))) {
            return false;
        }
        std::uint8_t buffer[kHartIpMaxMessage];
        const ssize_t n = ::recv(m_fd.Get(), buffer, sizeof buffer, 0);
        if (n <= 0) {
            if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
                continue;
            }
            m_lastError = PortOpenError::kNoServer;  // refused, or the stream closed
            return false;
        }
        m_reader.Feed(buffer, static_cast<std::size_t>(n),
                      [&](const HartIpHeader& h, const std::uint8_t* b, std::size_t length) {
                          if (m_headerTrace) {
                              m_headerTrace(false, DescribeHartIpHeader(h));
                          }
                          if (h.sequence == sequence && h.type != HartIpType::kRequest &&
                              h.type != HartIpType::kPublish) {
                              header = h;
                              body.assign(b, b + length);
                              found = true;
                          }
                      });
    }
    return true;
}

bool HartIpPort::Send(HartIpId id, const std::uint8_t* body, std::size_t length,
                      std::uint16_t& sequence) {
    HartIpHeader header;
    header.type = HartIpType::kRequest;
    header.id = id;
    header.sequence = sequence = m_nextSequence++;
    const auto message = HartIpMessage(header, body, length);
    if (m_headerTrace) {
        header.byteCount = static_cast<std::uint16_t>(message.size());
        m_headerTrace(true, DescribeHartIpHeader(header));
    }
    m_lastSent = NowMs();
    return SendAll(m_fd.Get(), message);
}

void HartIpPort::Close() {
    if (!m_fd.Valid()) {
        return;
    }
    if (!m_bBroken) {
        std::uint16_t sequence = 0;
        Send(HartIpId::kSessionClose, nullptr, 0, sequence);  // no wait for the answer
    }
    m_fd.Reset();
    m_pduSequence = kNoPdu;
}

int HartIpPort::Write(const std::uint8_t* data, std::size_t length) {
    if (!m_fd.Valid()) {
        return 0;
    }
    // The frame from the delimiter to the checksum: no preambles, nothing after.
    const auto frame = FindFrameHeader(data, length, kRequestShort, length, length);
    if (!frame || !FrameComplete(*frame, length)) {
        return 0;
    }
    m_problem = PortOpenError::kNone;
    m_bPduAnswered = false;
    std::uint16_t sequence = m_nextSequence;
    m_pduSequence = sequence;  // before the send: the reply may beat it back
    return Send(HartIpId::kTokenPassingPdu, data + frame->delimiter, frame->frameLength, sequence)
               ? 1
               : 0;
}

void HartIpPort::Unwrap(const std::uint8_t* bytes, std::size_t length, const ByteSink& toMaster) {
    const bool ok = m_reader.Feed(
        bytes, length, [&](const HartIpHeader& header, const std::uint8_t* body, std::size_t n) {
            OnMessage(header, body, n, toMaster);
        });
    if (!ok && m_address.tcp) {
        m_bBroken = true;  // the stream cannot be read in step any more
    }
}

void HartIpPort::OnMessage(const HartIpHeader& header, const std::uint8_t* body, std::size_t length,
                           const ByteSink& toMaster) {
    m_lastHeard = NowMs();
    if (m_headerTrace) {
        m_headerTrace(false, DescribeHartIpHeader(header));
    }
    if (header.id != HartIpId::kTokenPassingPdu || header.sequence != m_pduSequence.load() ||
        header.type == HartIpType::kRequest || header.type == HartIpType::kPublish) {
        return;  // keep-alive answers, late or foreign replies
    }
    if (m_bPduAnswered.exchange(true)) {
        return;  // a duplicate
    }
    if (header.type == HartIpType::kNak) {
        m_problem = PortOpenError::kServerNak;
        return;
    }
    if (header.type != HartIpType::kResponse || header.status != 0) {
        m_problem = PortOpenError::kServerError;
        return;
    }
    const std::size_t preambles =
        length + kReplyPreambles >= kReplyMinBytes ? kReplyPreambles : kReplyMinBytes - length;
    std::uint8_t framed[kReplyMinBytes + kHartIpMaxMessage];
    std::fill_n(framed, preambles, kPreambleByte);
    std::copy_n(body, length, framed + preambles);
    toMaster(framed, preambles + length);
}

void HartIpPort::ExpectReplyForTesting(bool stream, std::uint16_t sequence) {
    m_address.tcp = stream;
    m_reader = HartIpReader(stream);
    m_pduSequence = sequence;
    m_bPduAnswered = false;
    m_problem = PortOpenError::kNone;
}

std::uint32_t HartIpPort::KeepAlivePeriod() const {
    return std::max(kMinKeepAlivePeriod, std::min(m_closeTimeMs / 3, m_timeoutMs));
}

bool HartIpPort::KeepAlive() {
    if (!m_fd.Valid()) {
        return true;
    }
    if (m_bBroken) {
        return false;
    }
    const std::int64_t now = NowMs();
    if (m_keepAliveSent >= 0) {
        if (m_lastHeard.load() >= m_keepAliveSent) {
            m_keepAliveSent = -1;
        } else if (now - m_keepAliveSent > 2 * static_cast<std::int64_t>(m_timeoutMs)) {
            return false;  // asked twice, not a word back
        } else if (now - m_keepAliveSent > m_timeoutMs && now - m_lastSent >= m_timeoutMs) {
            std::uint16_t sequence = 0;
            return Send(HartIpId::kKeepAlive, nullptr, 0, sequence);  // a datagram may be lost
        } else {
            return true;
        }
    }
    // Well before the server's own timer would close the session.
    const std::int64_t quiet = now - std::max(m_lastSent, m_lastHeard.load());
    if (quiet < static_cast<std::int64_t>(m_closeTimeMs / 3)) {
        return true;
    }
    std::uint16_t sequence = 0;
    m_keepAliveSent = now;
    return Send(HartIpId::kKeepAlive, nullptr, 0, sequence);
}

std::int64_t HartIpPort::NowMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - m_origin).count();
}

std::unique_ptr<ISerialPort> MakeHartIpPort(std::uint32_t timeoutMs) {
    return std::make_unique<HartIpPort>(timeoutMs);
}

}  // namespace tandrin
